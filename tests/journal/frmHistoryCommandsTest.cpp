#include "journal/widgets/frmHistory.h"

#include "app/HistoryModule.h"
#include "journal/JournalModel.h"
#include "platform/Twips.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/RecordingNavigator.h"
#include "support/TestSuite.h"

#include "platform/widgets/MessageBoxMessenger.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

class frmHistoryCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.addCodes();
        for (int account : {1, 2, 3}) {
            suite.addAccount(account, account * 10);
            add(account, "[tbl bill detail]", {{"date", "2017-01-01"}, {"code", "WA"}, {"amount", 10 * account}});
        }
        add(1, "[tbl reading]",
            {{"billdate", "2017-01-01"},
             {"readdate", "2016-12-28"},
             {"code", "WA"},
             {"previous", 120},
             {"present", 135},
             {"usage", 15},
             {"multiplier", 10},
             {"chgout", -1},
             {"mrcomment", "note"}});
        add(1, "[tbl payment detail]",
            {{"date", "2017-02-01"}, {"code", "WA"}, {"pmttype", "CHECK"}, {"docno", "5"}, {"amount", 4}});
        add(1, "[tbl payment detail]",
            {{"date", "2017-02-01"}, {"code", "SW"}, {"pmttype", "CHECK"}, {"docno", "5"}, {"amount", 1}});
        add(1, "histcomments", {{"edate", "2017-03-01"}, {"comment", "called"}});
        add(1, "acctedits", {{"chgdate", "2017-03-02"}, {"chgfield", "phone"}, {"chgfrom", "1"}, {"chgto", "2"}});
        add(1, "[tbl balance]", {{"code", "WA"}});
        add(1, "[tbl balance]", {{"code", "SW"}});
        suite.prepare(module, 1, 10);
    }

    void add(int account, const char* table, const Row& row)
    {
        Row full{{"custkey", account}, {"lockey", account * 10}};
        full.insert(full.end(), row.begin(), row.end());
        suite.insert(QString::fromLatin1(table), full);
    }

    void makeSearchList(const QList<std::pair<int, int>>& entries)
    {
        SqlConnection work = SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::CreateIfMissing);
        work.exec("create table histsrch (srchtext text, custkey long, lockey long)");
        for (const auto& [cust, loc] : entries)
            work.exec("insert into histsrch values ('x', ?, ?)", {cust, loc});
    }

    std::unique_ptr<frmHistory> open(Messenger* speaker = nullptr)
    {
        auto window = std::make_unique<frmHistory>(module, speaker ? *speaker : messenger, navigator);
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        return window;
    }

    QStringList descriptions(frmHistory& window)
    {
        QStringList values;
        for (const JournalRow& row : window.journal().rows())
            values << row.descr;
        return values;
    }

    void click(frmHistory& window, const char* button)
    {
        QTest::mouseClick(control<QPushButton>(&window, button), Qt::LeftButton);
    }

    QString caption(frmHistory& window, const char* button) { return control<QPushButton>(&window, button)->text(); }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    RecordingNavigator navigator;
};

TEST_F(frmHistoryCommandsTest, CommentsSwitchHidesCommentsAndEditsAlike)
{
    auto window = open();
    EXPECT_EQ(window->journal().rowCount(), 6);
    click(*window, "cmdHideCom");
    EXPECT_EQ(caption(*window, "cmdHideCom"), "Show Comments");
    EXPECT_EQ(window->flags().HideComments, -1);
    EXPECT_FALSE(descriptions(*window).contains("called"));
    EXPECT_FALSE(descriptions(*window).contains("phone changed from 1 to 2"));
    click(*window, "cmdHideCom");
    EXPECT_EQ(caption(*window, "cmdHideCom"), "Hide Comments");
    EXPECT_EQ(window->journal().rowCount(), 6);
}

TEST_F(frmHistoryCommandsTest, PaymentsSwitchKeepsTheMultiplierApplied)
{
    auto window = open();
    click(*window, "cmdApplyMult");
    EXPECT_EQ(caption(*window, "cmdApplyMult"), "Remove Multiplier from Readings");
    EXPECT_EQ(window->journal().rows()[0].prev, " 1200");
    EXPECT_EQ(window->journal().rows()[0].descr, "WATER note");

    click(*window, "cmdPmts");
    EXPECT_EQ(caption(*window, "cmdPmts"), "Distribute Payments");
    EXPECT_TRUE(descriptions(*window).contains("CHECK 5"));
    EXPECT_EQ(window->journal().rowCount(), 5);
    EXPECT_EQ(window->journal().rows()[0].prev, " 1200");
    EXPECT_EQ(caption(*window, "cmdApplyMult"), "Remove Multiplier from Readings");

    // The rebuild cut the description before the code's name was put in front.
    click(*window, "cmdApplyMult");
    EXPECT_EQ(window->journal().rows()[0].prev, " 120");
    EXPECT_EQ(window->journal().rows()[0].descr, "note MULT:10");
}

TEST_F(frmHistoryCommandsTest, PreviousReadingsSwitchResizesTheColumns)
{
    auto window = open();
    auto* grid = control<QTableView>(window.get(), "grd");
    const int dpi = grid->logicalDpiX();
    click(*window, "cmdShowPrev");
    EXPECT_EQ(grid->columnWidth(3), Twips::toPixels(2200, dpi));
    EXPECT_EQ(grid->columnWidth(4), Twips::toPixels(900, dpi));
    click(*window, "cmdShowPrev");
    EXPECT_EQ(grid->columnWidth(3), Twips::toPixels(3100, dpi));
    EXPECT_TRUE(grid->isColumnHidden(4));
    EXPECT_EQ(caption(*window, "cmdShowPrev"), "Show Previous Readings");
}

TEST_F(frmHistoryCommandsTest, CaptionsAndFlagsAgreeAfterAReload)
{
    suite.writeFile("VIEWLED.INI", " 0\r\n-1\r\n 0\r\n 0\r\n 11380\r\n");
    makeSearchList({{1, 10}, {2, 20}});
    auto window = open();
    EXPECT_EQ(caption(*window, "cmdPmts"), "Distribute Payments");
    click(*window, "cmdPmts");
    EXPECT_EQ(window->flags().ConsolidatePayments, 0);
    click(*window, "cmdNext");
    const bool consolidated = window->flags().ConsolidatePayments != 0;
    EXPECT_EQ(caption(*window, "cmdPmts"), consolidated ? "Distribute Payments" : "Consolidate Payments");
}

TEST_F(frmHistoryCommandsTest, PagingFollowsTheStoredListAndStopsAtBothEnds)
{
    makeSearchList({{2, 20}, {1, 10}, {3, 30}});
    auto window = open();
    auto* header = control<QLabel>(window.get(), "Label2");
    click(*window, "cmdNext");
    EXPECT_EQ(module.CustKey, 3);
    EXPECT_TRUE(header->text().startsWith("Account: A3"));
    click(*window, "cmdNext");
    EXPECT_EQ(module.CustKey, 3);
    EXPECT_TRUE(messenger.messages.isEmpty());

    click(*window, "cmdPrev");
    click(*window, "cmdPrev");
    EXPECT_EQ(module.CustKey, 2);
    EXPECT_TRUE(header->text().startsWith("Account: A2"));
    click(*window, "cmdPrev");
    EXPECT_EQ(module.CustKey, 2);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, "You have reached the first customer account history.");
    EXPECT_EQ(messenger.messages[0].title, "FIRST RECORD");
    EXPECT_TRUE(window->isVisible());
}

TEST_F(frmHistoryCommandsTest, PagingOntoAnAccountWithoutHistoryKeepsTheWindow)
{
    suite.addAccount(4, 40);
    makeSearchList({{1, 10}, {4, 40}});
    auto window = open();
    click(*window, "cmdNext");
    QTest::qWait(20);
    EXPECT_EQ(messenger.texts(), QStringList{"No history records exist for this customer."});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->journal().rowCount(), 0);
    click(*window, "cmdHideCom");
    click(*window, "cmdPrev");
    EXPECT_EQ(module.CustKey, 1);
    EXPECT_GT(window->journal().rowCount(), 0);
}

TEST_F(frmHistoryCommandsTest, BalancesFollowTheCurrentRow)
{
    add(1, "[tbl bill detail]", {{"date", "2017-04-01"}, {"code", "SW"}, {"amount", 2.5}});
    auto window = open();
    auto* grid = control<QTableView>(window.get(), "grd");
    auto* balances = control<QTableView>(window.get(), "grdbal");
    auto* balanceCaption = control<QLabel>(window.get(), "grdbalCaption");
    EXPECT_EQ(balanceCaption->text(), "Code balances on 4/1/2017");
    click(*window, "cmdBals");
    EXPECT_EQ(caption(*window, "cmdBals"), "Hide Balances");
    EXPECT_TRUE(balances->isVisible());
    EXPECT_EQ(balanceCaption->text(), "Code balance on 4/1/2017  TOTAL: $7.50");
    int codeColumn = 0;
    while (balances->model()->headerData(codeColumn, Qt::Horizontal).toString() != "code")
        ++codeColumn;
    ASSERT_EQ(balances->model()->rowCount(), 3);
    EXPECT_EQ(balances->model()->index(0, codeColumn).data().toString(), "SW");
    EXPECT_EQ(balances->model()->index(2, codeColumn).data().toString(), "TOTAL");
    // The TOTAL row names the account as the code rows do.
    QStringList keys;
    for (int column = 0; column < balances->model()->columnCount(); ++column) {
        const QString name = balances->model()->headerData(column, Qt::Horizontal).toString().toLower();
        if (name == "custkey" || name == "lockey")
            keys << balances->model()->index(2, column).data().toString();
    }
    EXPECT_EQ(keys, (QStringList{"1", "10"}));

    grid->setCurrentIndex(grid->model()->index(0, 0));
    EXPECT_EQ(balanceCaption->text(), "Code balance on 1/1/2017  TOTAL: $10.00");

    click(*window, "cmdBals");
    EXPECT_FALSE(balances->isVisible());
    EXPECT_EQ(caption(*window, "cmdBals"), "View Balances");
}

TEST_F(frmHistoryCommandsTest, RowChangeNamesTheCommentCommand)
{
    auto window = open();
    auto* grid = control<QTableView>(window.get(), "grd");
    const auto& rows = window->journal().rows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        grid->setCurrentIndex(grid->model()->index(i, 0));
        EXPECT_EQ(caption(*window, "cmdComment"), rows[i].tcode.isEmpty() ? "Delete Comment" : "Add New Comment");
        EXPECT_EQ(module.SelectedDescr, rows[i].descr);
    }
}

TEST_F(frmHistoryCommandsTest, ReadingDoubleClickOpensTheReadingsAndReloads)
{
    auto window = open();
    int opened = 0;
    navigator.whileOpen = [&](HistoryModule& m) {
        ++opened;
        EXPECT_EQ(suite.readFile("rdgsacct.txt"), QByteArray("A1\r\nSMITH JOHN\r\n"));
        suite.insert(
            "[tbl bill detail]",
            {{"custkey", m.CustKey}, {"lockey", m.LocKey}, {"date", "2018-01-01"}, {"code", "WA"}, {"amount", 1}});
    };
    auto* grid = control<QTableView>(window.get(), "grd");
    const int rowsBefore = window->journal().rowCount();

    const QRect chargeCell = grid->visualRect(grid->model()->index(1, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, chargeCell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, chargeCell.center());
    EXPECT_EQ(opened, 0);

    grid->scrollToTop();
    const QRect readingCell = grid->visualRect(grid->model()->index(0, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, readingCell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, readingCell.center());
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(window->journal().rowCount(), rowsBefore + 1);
    EXPECT_EQ(grid->currentIndex().row(), rowsBefore);
}

TEST_F(frmHistoryCommandsTest, PagingOntoAccountsWithoutHistoryInARowKeepsTheWindow)
{
    suite.addAccount(4, 40);
    suite.addAccount(5, 50);
    makeSearchList({{1, 10}, {4, 40}, {5, 50}});
    MessageBoxMessenger boxes;
    auto window = open(&boxes);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QStringList told;
    for (int step = 0; step < 2; ++step) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            told << box->text();
            // A window manager may hand the journal an activation while the box is up.
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(window.get(), &activate);
            QTest::qWait(20);
            box->accept();
        });
        click(*window, "cmdNext");
        QTest::qWait(50);
        EXPECT_TRUE(window->isVisible()) << step;
    }
    EXPECT_EQ(told, QStringList(2, "No history records exist for this customer."));
    EXPECT_EQ(module.CustKey, 5);
    EXPECT_TRUE(control<QLabel>(window.get(), "Data1")->text().isEmpty());
    EXPECT_TRUE(module.SelectedDate.isNull());
    EXPECT_TRUE(module.SelectedDescr.isEmpty());
}

TEST_F(frmHistoryCommandsTest, NewestRowsStayInViewWhenRowHeightsChange)
{
    for (int day = 1; day <= 28; ++day)
        add(1, "[tbl bill detail]",
            {{"date", QString("2017-06-%1").arg(day, 2, 10, QChar('0'))},
             {"code", "WA"},
             {"comment", "A COMMENT LONG ENOUGH TO NEED TWO LINES IN A NARROWER COLUMN"},
             {"amount", day}});
    auto window = open();
    auto* grid = control<QTableView>(window.get(), "grd");
    auto lastRowShown = [&] {
        QApplication::processEvents();
        const QModelIndex last = grid->model()->index(grid->model()->rowCount() - 1, 0);
        return grid->viewport()->rect().contains(grid->visualRect(last));
    };
    ASSERT_TRUE(lastRowShown());
    const int rowHeight = grid->rowHeight(0);
    click(*window, "cmdShowPrev");
    ASSERT_GT(grid->rowHeight(0), rowHeight);
    EXPECT_TRUE(lastRowShown());
    window->resize(window->width(), window->height() - 60);
    EXPECT_TRUE(lastRowShown());
    click(*window, "cmdShowPrev");
    EXPECT_TRUE(lastRowShown());
}

} // namespace
