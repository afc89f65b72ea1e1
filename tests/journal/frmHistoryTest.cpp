#include "journal/widgets/frmHistory.h"

#include "app/HistoryModule.h"
#include "journal/JournalModel.h"
#include "platform/Twips.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/RecordingNavigator.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QFileInfo>
#include <QScrollBar>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class frmHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.addCodes();
        suite.addAccount(1, 10);
        suite.prepare(module, 1, 10);
        module.JournalIsStartWindow = 1;
    }

    void addHistory()
    {
        for (int month = 1; month <= 3; ++month) {
            const QString day = QStringLiteral("2017-%1-01").arg(month, 2, 10, QLatin1Char('0'));
            suite.insert(
                "[tbl bill detail]", {{"custkey", 1}, {"lockey", 10}, {"date", day}, {"code", "WA"}, {"amount", 10}});
            suite.insert("[tbl reading]",
                         {{"custkey", 1},
                          {"lockey", 10},
                          {"billdate", day},
                          {"code", "WA"},
                          {"previous", month * 10},
                          {"present", month * 10 + 10},
                          {"usage", 10},
                          {"multiplier", 1}});
        }
    }

    std::unique_ptr<frmHistory> open()
    {
        auto window = std::make_unique<frmHistory>(module, messenger, navigator);
        checkModels(window.get());
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        return window;
    }

    int twips(int pixels, QWidget* w) const { return Twips::fromPixels(pixels, w->logicalDpiX()); }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    RecordingNavigator navigator;
};

TEST_F(frmHistoryTest, ShowsTheJournalWithHeaderColumnsAndLastRowCurrent)
{
    addHistory();
    auto window = open();
    EXPECT_TRUE(messenger.messages.isEmpty());
    EXPECT_EQ(window->windowTitle(), "TEST UTILITY   HISTORY JOURNAL for Account: A1 John Smith");
    auto* label = control<QLabel>(window.get(), "Label2");
    EXPECT_TRUE(label->text().startsWith("Account: A1   John Smith\r\n"));

    auto* grid = control<QTableView>(window.get(), "grd");
    ASSERT_EQ(grid->model()->rowCount(), 6);
    EXPECT_EQ(grid->currentIndex().row(), 5);
    const QStringList captions{"POST DATE", "READ DATE", "CODE",   "DESCRIPTION", "PREVIOUS",
                               "READING",   "USAGE",     "CHARGE", "PAYMENT",     "BALANCE"};
    const int widths[] = {1000, 1000, 800, 3100, 0, 900, 800, 900, 900, 900, 0};
    for (int column = 0; column < JournalModel::ColumnCount; ++column) {
        if (column < captions.size()) {
            EXPECT_EQ(grid->model()->headerData(column, Qt::Horizontal).toString(), captions[column]);
        }
        if (widths[column] == 0) {
            EXPECT_TRUE(grid->isColumnHidden(column)) << column;
        } else {
            EXPECT_EQ(grid->columnWidth(column), Twips::toPixels(widths[column], grid->logicalDpiX())) << column;
        }
    }
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "1/1/2017");
    EXPECT_EQ(grid->model()->index(5, JournalModel::Balance).data().toString(), "30.00");
    EXPECT_EQ(grid->model()->index(0, JournalModel::Code).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter,
              Qt::AlignHCenter);

    EXPECT_FALSE(control<QPushButton>(window.get(), "cmdPrev")->isVisible());
    EXPECT_FALSE(control<QPushButton>(window.get(), "cmdNext")->isVisible());
    EXPECT_FALSE(control<QTableView>(window.get(), "grdbal")->isVisible());
    EXPECT_EQ(control<QPushButton>(window.get(), "cmdShowPrev")->text(), "Show Previous Readings");
    EXPECT_EQ(control<QPushButton>(window.get(), "cmdPmts")->text(), "Consolidate Payments");
    EXPECT_EQ(control<QPushButton>(window.get(), "cmdApplyMult")->text(), "Apply Multiplier to Readings");
    EXPECT_EQ(control<QPushButton>(window.get(), "cmdHideCom")->text(), "Hide Comments");
    EXPECT_GE(twips(window->width(), window.get()), 11380 - 15);

    // The buttons line up with the grid's right edge.
    auto* exit = control<QPushButton>(window.get(), "cmdExit");
    EXPECT_NEAR(exit->geometry().right() + 1, grid->geometry().right() + 1, 2);
}

TEST_F(frmHistoryTest, SettingsFileShapesTheWindowAndIsRewrittenAtClose)
{
    addHistory();
    suite.writeFile("VIEWLED.INI", "-1\r\n0\r\n1\r\n0\r\n13000\r\n");
    auto window = open();
    auto* grid = control<QTableView>(window.get(), "grd");
    // DESCRIPTION at its narrower width, plus what the window has beyond its design width.
    const int dpi = grid->logicalDpiX();
    EXPECT_EQ(grid->columnWidth(3), Twips::toPixels(2200, dpi) + window->width() - Twips::toPixels(11380, dpi));
    EXPECT_EQ(grid->columnWidth(4), Twips::toPixels(900, dpi));
    EXPECT_FALSE(grid->isColumnHidden(4));
    EXPECT_EQ(control<QPushButton>(window.get(), "cmdShowPrev")->text(), "Hide Previous Readings");
    EXPECT_EQ(control<QPushButton>(window.get(), "cmdApplyMult")->text(), "Remove Multiplier from Readings");
    EXPECT_EQ(control<QPushButton>(window.get(), "cmdPmts")->text(), "Consolidate Payments");
    EXPECT_NEAR(twips(window->width(), window.get()), 13000, 15);
    EXPECT_EQ(grid->model()->index(0, JournalModel::Reading).data().toString(), " 20");

    window->resize(Twips::toPixels(9000, window->logicalDpiX()), window->height());
    QTest::mouseClick(control<QPushButton>(window.get(), "cmdExit"), Qt::LeftButton);
    EXPECT_EQ(suite.readFile("VIEWLED.INI"), QByteArray("-1\r\n 0\r\n-1\r\n 0\r\n 11380\r\n"));
    EXPECT_FALSE(QFileInfo::exists(module.WorkDbPath));
}

TEST_F(frmHistoryTest, AccountWithoutHistoryTellsAndClosesItself)
{
    auto window = open();
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, "No history records exist for this customer.");
    EXPECT_EQ(messenger.messages[0].title, "NOTHING TO DO");
    EXPECT_EQ(messenger.messages[0].icon, Messenger::Icon::Information);
    QTest::qWait(50);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(QFileInfo::exists(module.WorkDbPath));
}

TEST_F(frmHistoryTest, OpenedFromTheListTheScratchFileStaysAndPagingShows)
{
    addHistory();
    module.JournalIsStartWindow = 0;
    {
        SqlConnection work = SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::CreateIfMissing);
        work.exec("create table histsrch (srchtext text, custkey long, lockey long)");
        work.exec("insert into histsrch values ('a', 1, 10), ('b', 2, 20)");
    }
    auto window = open();
    EXPECT_TRUE(control<QPushButton>(window.get(), "cmdPrev")->isVisible());
    EXPECT_TRUE(control<QPushButton>(window.get(), "cmdNext")->isVisible());
    window->close();
    EXPECT_TRUE(QFileInfo::exists(module.WorkDbPath));
}

TEST_F(frmHistoryTest, InactiveAccountHasARedHeader)
{
    suite.exec("update [tbl customer] set active = 0");
    addHistory();
    auto window = open();
    auto* label = control<QLabel>(window.get(), "Label2");
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_TRUE(label->text().contains("  -  INACTIVE\r\n"));
}

TEST_F(frmHistoryTest, StoredTextShowsAsTextInAFourLineHeader)
{
    suite.exec("update [tbl customer] set fname = 'O''BRIEN <b>JR</b>', lname = null");
    addHistory();
    auto window = open();
    auto* label = control<QLabel>(window.get(), "Label2");
    EXPECT_TRUE(label->text().startsWith("Account: A1   O'BRIEN <b>JR</b>\r\n"));
    const QFontMetrics metrics(label->font());
    EXPECT_GE(label->sizeHint().height(), 4 * metrics.lineSpacing());
    EXPECT_GE(label->sizeHint().width(), metrics.horizontalAdvance("Account: A1   O'BRIEN <b>JR</b>"));
}

TEST_F(frmHistoryTest, EveryDigitOfTheLargestAmountIsShown)
{
    addHistory();
    suite.insert("[tbl bill detail]",
                 {{"custkey", 1}, {"lockey", 10}, {"date", "2017-04-01"}, {"code", "WA"}, {"amount", 12110600.25}});
    suite.insert("[tbl payment detail]",
                 {{"custkey", 1}, {"lockey", 10}, {"date", "2017-04-02"}, {"code", "WA"}, {"amount", 99999999.99}});
    auto window = open();
    auto* grid = control<QTableView>(window.get(), "grd");
    QStyleOptionViewItem option;
    option.initFrom(grid);
    option.font = grid->font();
    for (const int column : {JournalModel::Charge, JournalModel::Payment, JournalModel::Balance}) {
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QModelIndex index = grid->model()->index(row, column);
            EXPECT_LE(grid->itemDelegate()->sizeHint(option, index).width(), grid->columnWidth(column))
                << index.data().toString().toStdString();
        }
    }
    // DESCRIPTION makes room: BALANCE stays in view without scrolling sideways.
    EXPECT_LE(grid->columnViewportPosition(JournalModel::Balance) + grid->columnWidth(JournalModel::Balance),
              grid->viewport()->width());
}

TEST_F(frmHistoryTest, DescriptionTakesTheExtraWidthAndButtonsNeverOverlap)
{
    addHistory();
    auto window = open();
    auto* grid = control<QTableView>(window.get(), "grd");
    const int designWidth = grid->columnWidth(JournalModel::Description);
    window->resize(window->width() + 300, window->height());
    EXPECT_EQ(grid->columnWidth(JournalModel::Description), designWidth + 300);

    window->resize(Twips::toPixels(4000, window->logicalDpiX()), Twips::toPixels(1500, window->logicalDpiX()));
    const QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
    for (const QPushButton* a : buttons) {
        EXPECT_TRUE(window->rect().contains(a->geometry())) << a->objectName().toStdString();
        for (const QPushButton* b : buttons) {
            if (a != b && a->isVisible() && b->isVisible()) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " " << b->objectName().toStdString();
            }
        }
    }
}

TEST_F(frmHistoryTest, AMissingKindOfRowIsToldOnceAndTheRestShown)
{
    addHistory();
    suite.exec("drop table acctedits");
    suite.exec("drop table histcomments");
    auto window = open();
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text,
              "The billing database " + suite.billingPath()
                  + " has no table histcomments, acctedits: the journal is shown "
                    "without history comments, account edits.");
    EXPECT_EQ(window->journal().rowCount(), 6);
    window->Form_Load();
    EXPECT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(window->isVisible());
}

} // namespace
