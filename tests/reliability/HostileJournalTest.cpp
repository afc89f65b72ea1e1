// The journal window and its commands on an account whose every value is hostile.
#include "HostileSuite.h"

#include "program/ProgramNavigator.h"
#include "journal/JournalModel.h"
#include "journal/widgets/frmHistory.h"
#include "journal/widgets/frmHistoryComment.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>

namespace {

// The comment dialog is under test here, the readings window is not.
class CommentsOnlyNavigator : public ProgramNavigator {
public:
    using ProgramNavigator::ProgramNavigator;
    void openReadings(HistoryModule&, QWidget*) override { readingsOpened = true; }
    bool readingsOpened = false;
};

class HostileJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.prepareHostile(module);
        window = std::make_unique<frmHistory>(module, messenger, navigator);
        window->Form_Load();
        window->show();
        QApplication::processEvents();
    }

    void clickComment()
    {
        operateNextModal<frmHistoryComment>(operate);
        click("cmdComment");
    }

    void click(const char* button) { QTest::mouseClick(control<QPushButton>(window.get(), button), Qt::LeftButton); }

    QStringList descriptions() const
    {
        QStringList values;
        for (const JournalRow& row : window->journal().rows())
            values << row.descr;
        return values;
    }

    // The comment row of that text (a charge may carry the same text).
    int commentRow(const QString& description) const
    {
        const auto& rows = window->journal().rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].descr == description && rows[i].tcode.isEmpty())
                return static_cast<int>(i);
        }
        return -1;
    }

    void selectRow(int row)
    {
        auto* grid = control<QTableView>(window.get(), "grd");
        grid->setCurrentIndex(grid->model()->index(row, 0));
    }

    // Messages other than the ones the commands are expected to give.
    QStringList unexpectedMessages() const
    {
        QStringList texts;
        for (const auto& message : messenger.messages) {
            if (message.title != "NOTHING TO DO" && message.title != "FIRST RECORD")
                texts << message.title + ": " + message.text;
        }
        return texts;
    }

    int billingComments(const QString& text)
    {
        return suite.billing().scalar("select count(*) from histcomments where comment = ?", {text}).toInt();
    }

    HostileSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    CommentsOnlyNavigator navigator{messenger};
    std::unique_ptr<frmHistory> window;
    std::function<void(frmHistoryComment&)> operate;
};

// One sequence over the hostile account: shown, printed, toggled, double-clicked, commented.
TEST_F(HostileJournalTest, EveryStoredValueIsShownAndEveryCommandWorks)
{
    EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
    const QStringList shown = descriptions();
    // Each text is a comment of its own, so each is a whole description.
    const QStringList texts = HostileSuite::visibleTexts() << HostileData::longText().trimmed();
    for (const QString& text : texts)
        EXPECT_TRUE(shown.contains(text)) << text.toStdString();
    QStringList charges;
    for (const JournalRow& row : window->journal().rows())
        charges << row.chg;
    for (const char* amount :
         {"12.34", "-125.50", "1000000000000000.00", "-1000000000000000.00", "0.01", "999999999999.99", "12.50", "n/a"})
        EXPECT_TRUE(charges.contains(amount)) << amount;
    EXPECT_TRUE(window->windowTitle().endsWith("H'1[%] Seán O'Brien")) << window->windowTitle().toStdString();

    // The print preview lays out every row.
    bool previewed = false;
    QTimer::singleShot(50, [&] {
        if (auto* preview = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            previewed = true;
            preview->reject();
        }
    });
    click("cmdPrint");
    EXPECT_TRUE(previewed);

    const int rowCount = window->journal().rowCount();
    for (const char* button : {"cmdHideCom", "cmdPmts", "cmdApplyMult", "cmdShowPrev"}) {
        click(button);
        EXPECT_GT(window->journal().rowCount(), 0) << button;
        click(button);
        EXPECT_EQ(window->journal().rowCount(), rowCount) << button;
    }
    // The balances grid follows the current row through every row, dated or not.
    click("cmdBals");
    for (int row = 0; row < rowCount; ++row)
        selectRow(row);
    click("cmdBals");

    // A reading's double-click hands the hostile names on to the readings window.
    const auto& rows = window->journal().rows();
    const auto reading = std::find_if(rows.begin(), rows.end(), [](const JournalRow& r) { return !r.rdate.isEmpty(); });
    ASSERT_NE(reading, rows.end());
    auto* grid = control<QTableView>(window.get(), "grd");
    const QModelIndex index = grid->model()->index(static_cast<int>(reading - rows.begin()), JournalModel::Description);
    grid->scrollTo(index, QAbstractItemView::PositionAtTop);
    // A 1,000-character description makes rows taller than the view: aim at what shows.
    const QPoint at = grid->visualRect(index).intersected(grid->viewport()->rect()).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(navigator.readingsOpened);
    EXPECT_EQ(suite.readFile("rdgsacct.txt"), QString("H'1[%]\r\nO'BRIEN [&] \"SONS\" 100% *?# \\ é中\r\n").toUtf8());

    // A typed comment is stored as typed but for its apostrophes; deleting matches the
    // text exactly: wildcards and quotes in it delete that row alone.
    const QString typed = "50% off [promo] *not* a wildcard? #2 \\ \"quoted\" é中 x'); drop table histcomments; --";
    operate = [&](frmHistoryComment& dialog) {
        control<QLineEdit>(&dialog, "txt0")->setText("05/01/2017");
        control<QPlainTextEdit>(&dialog, "txt1")->setPlainText(typed);
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdSave"), Qt::LeftButton);
    };
    clickComment();
    QString stored = typed;
    stored.replace('\'', '`');
    EXPECT_EQ(billingComments(stored), 1);
    EXPECT_TRUE(descriptions().contains(stored));

    for (const char* text : {"100% _under_", "*star* ?any #1", "[bracket] ]close [!neg] [a-z", "O'Brien's"}) {
        SCOPED_TRACE(text);
        const int before = suite.billing().scalar("select count(*) from histcomments").toInt();
        const int row = commentRow(text);
        ASSERT_GE(row, 0);
        selectRow(row);
        EXPECT_EQ(control<QPushButton>(window.get(), "cmdComment")->text(), "Delete Comment");
        operate = [](frmHistoryComment& dialog) {
            QTest::mouseClick(control<QPushButton>(&dialog, "cmdDelete"), Qt::LeftButton);
        };
        clickComment();
        EXPECT_EQ(billingComments(text), 0);
        EXPECT_EQ(suite.billing().scalar("select count(*) from histcomments").toInt(), before - 1);
        EXPECT_EQ(commentRow(text), -1);
    }
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

} // namespace
