#include "journal/frmHistory.h"

#include "app/HistoryModule.h"
#include "journal/JournalGrid.h"
#include "journal/JournalModel.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QTest>

namespace {

class frmHistoryPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.addCodes();
        suite.addAccount(1, 10);
        for (int day = 1; day <= 12; ++day)
            suite.insert("[tbl bill detail]", {{"custkey", 1}, {"lockey", 10}, {"code", "WA"}, {"amount", day},
                                               {"date", QDate(2017, 3, day).toString(Qt::ISODate)}});
        suite.prepare(module, 1, 10);
        window = std::make_unique<frmHistory>(module, messenger);
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        grid = control<JournalGrid>(window.get(), "grd");
    }

    // Clicks a row selector, as the operator selects whole rows.
    void selectRow(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QHeaderView* selectors = grid->verticalHeader();
        const QPoint at(selectors->width() / 2, selectors->sectionViewportPosition(row) + selectors->sectionSize(row) / 2);
        QTest::mouseClick(selectors->viewport(), Qt::LeftButton, modifiers, at);
    }

    // Prints, closing the preview as soon as it shows; true when a preview showed.
    bool print()
    {
        previewed = false;
        // A member timer: a preview that never opens leaves nothing pending behind the test.
        closer.setSingleShot(true);
        closer.callOnTimeout([this] {
            if (auto* preview = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                previewed = true;
                preview->reject();
            }
        });
        closer.start(50);
        QTest::mouseClick(control<QPushButton>(window.get(), "cmdPrint"), Qt::LeftButton);
        closer.stop();
        closer.disconnect();
        return previewed;
    }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    std::unique_ptr<frmHistory> window;
    JournalGrid* grid = nullptr;
    QTimer closer;
    bool previewed = false;
};

TEST_F(frmHistoryPrintTest, CellClicksMoveTheCurrentRowWithoutSelecting)
{
    const QRect cell = grid->visualRect(grid->model()->index(3, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(grid->currentIndex().row(), 3);
    EXPECT_TRUE(grid->selectedRowsInOrder().empty());
    EXPECT_TRUE(print());
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(frmHistoryPrintTest, SelectedRowsAskFirstAndKeepTheirOrder)
{
    grid->scrollToTop();
    selectRow(9);
    selectRow(2, Qt::ControlModifier);
    EXPECT_EQ(grid->selectedRowsInOrder(), (std::vector<int>{9, 2}));

    messenger.answers.push_back(Messenger::Answer::Cancel);
    EXPECT_FALSE(print());
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, "Print just the selected history records?");
    EXPECT_EQ(messenger.messages[0].title, "WHAT DO YOU WANT TO PRINT?");
    EXPECT_EQ(messenger.messages[0].buttons, Messenger::Buttons::YesNoCancel);

    messenger.answers.push_back(Messenger::Answer::Yes);
    EXPECT_TRUE(print());
    EXPECT_EQ(grid->currentIndex().row(), 2);
}

} // namespace
