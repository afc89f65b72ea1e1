#include "journal/JournalWindowFixture.h"

#include "platform/widgets/MessageBoxMessenger.h"

#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>

namespace {

// Accounts 1 to 3 with a charge each; account 1 also with a reading under a multiplier,
// one check paid to two codes, a comment, an account edit and two code balances.
class frmHistoryCommandsTest : public JournalWindowFixture {
protected:
    void SetUp() override
    {
        JournalWindowFixture::SetUp();
        for (int account : {1, 2, 3}) {
            if (account > 1)
                suite.addAccount(account, account * 10);
            bill("2017-01-01", "WA", 10 * account, {}, account);
        }
        reading("2017-01-01", 120, 135, 15, 10, {{"readdate", "2016-12-28"}, {"chgout", -1}, {"mrcomment", "note"}});
        for (const auto& [code, amount] : {std::pair{"WA", 4}, {"SW", 1}})
            pay("2017-02-01", code, amount, {{"pmttype", "CHECK"}, {"docno", "5"}});
        add("histcomments", {{"edate", "2017-03-01"}, {"comment", "called"}});
        add("acctedits", {{"chgdate", "2017-03-02"}, {"chgfield", "phone"}, {"chgfrom", "1"}, {"chgto", "2"}});
        add("[tbl balance]", {{"code", "WA"}});
        add("[tbl balance]", {{"code", "SW"}});
    }

    QTableView* grid() { return control<QTableView>(window.get(), "grd"); }
    const JournalRow& first() { return window->journal().rows()[0]; }
};

TEST_F(frmHistoryCommandsTest, BalancesSwitchesAndDoubleClickOnOneWindow)
{
    bill("2017-04-01", "SW", 2.5);
    open();
    auto* balances = control<QTableView>(window.get(), "grdbal");
    auto* balanceCaption = control<QLabel>(window.get(), "grdbalCaption");
    EXPECT_EQ(balanceCaption->text(), "Code balances on 4/1/2017");
    click("cmdBals");
    EXPECT_TRUE(balances->isVisible());
    // Shown over the journal, not behind it.
    for (QWidget* shown : {static_cast<QWidget*>(balances), static_cast<QWidget*>(balanceCaption)}) {
        const QWidget* top = window->childAt(shown->mapTo(window.get(), shown->rect().center()));
        EXPECT_TRUE(top == shown || shown->isAncestorOf(top)) << shown->objectName().toStdString();
    }
    EXPECT_EQ(balanceCaption->text(), "Code balance on 4/1/2017  TOTAL: $7.50");
    EXPECT_EQ(balances->model()->rowCount(), 3); // the two codes, then TOTAL
    grid()->setCurrentIndex(grid()->model()->index(0, 0));
    EXPECT_EQ(balanceCaption->text(), "Code balance on 1/1/2017  TOTAL: $10.00");
    click("cmdBals");
    EXPECT_FALSE(balances->isVisible());

    click("cmdHideCom");
    click("cmdHideCom");
    EXPECT_EQ(window->journal().rowCount(), 7);

    const int description = grid()->columnWidth(JournalModel::Description);
    click("cmdShowPrev");
    ASSERT_FALSE(grid()->isColumnHidden(JournalModel::Previous));
    EXPECT_LT(grid()->columnWidth(JournalModel::Description), description);
    EXPECT_GT(grid()->columnWidth(JournalModel::Previous), 0);
    click("cmdShowPrev");
    EXPECT_EQ(grid()->columnWidth(JournalModel::Description), description);
    EXPECT_TRUE(grid()->isColumnHidden(JournalModel::Previous));

    // The payments switch keeps the multiplier applied.
    click("cmdApplyMult");
    EXPECT_EQ(first().prev, " 1200");
    EXPECT_EQ(first().descr, "WATER note");
    click("cmdPmts");
    EXPECT_TRUE(descriptions().contains("CHECK 5"));
    EXPECT_EQ(window->journal().rowCount(), 6);
    EXPECT_EQ(first().prev, " 1200");
    EXPECT_EQ(caption("cmdApplyMult"), "Remove Multiplier from Readings");
    // The rebuild cut the description before the code's name was put in front.
    click("cmdApplyMult");
    EXPECT_EQ(first().prev, " 120");
    EXPECT_EQ(first().descr, "note MULT:10");

    int opened = 0;
    recorder.whileOpen = [&](HistoryModule& m) {
        ++opened;
        EXPECT_EQ(suite.readFile("rdgsacct.txt"), QByteArray("A1\r\nSMITH JOHN\r\n"));
        bill("2018-01-01", "WA", 1, {}, m.CustKey);
    };
    // A charge row opens nothing; the reading row opens the readings, and the journal reloads.
    for (const auto& [row, times] : {std::pair{1, 0}, {0, 1}}) {
        grid()->scrollToTop();
        const QPoint cell = grid()->visualRect(grid()->model()->index(row, 3)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cell);
        EXPECT_EQ(opened, times) << row;
    }
    EXPECT_EQ(window->journal().rowCount(), 7);
    EXPECT_EQ(grid()->currentIndex().row(), 6);
}

TEST_F(frmHistoryCommandsTest, PagingFollowsTheStoredListOverAccountsWithoutHistoryAndStopsAtBothEnds)
{
    suite.addAccount(4, 40);
    suite.addAccount(5, 50);
    suite.writeFile("VIEWLED.INI", " 0\r\n-1\r\n 0\r\n 0\r\n 11380\r\n");
    { // the stored list the window pages through, as the account list leaves it
        SqlConnection work = SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::CreateIfMissing);
        work.exec("create table histsrch (srchtext text, custkey long, lockey long)");
        for (const auto& [cust, loc] : {std::pair{2, 20}, {1, 10}, {4, 40}, {5, 50}, {3, 30}})
            work.exec("insert into histsrch values ('x', ?, ?)", {cust, loc});
    }
    MessageBoxMessenger boxes;
    open(&boxes);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QStringList told;
    // Clicks `button` and answers the message box it raises.
    auto answered = [&](const char* button) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            told << box->windowTitle() + ": " + box->text();
            // A window manager may hand the journal an activation while the box is up.
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(window.get(), &activate);
            QTest::qWait(20);
            box->accept();
        });
        click(button);
        QTest::qWait(50);
        EXPECT_TRUE(window->isVisible()) << button;
    };
    EXPECT_TRUE(control<QWidget>(window.get(), "cmdPrev")->isVisible());
    auto* header = control<QLabel>(window.get(), "Label2");
    // The payments caption and flag still agree after the other accounts' reloads.
    click("cmdPmts");
    EXPECT_EQ(window->flags().ConsolidatePayments, 0);
    answered("cmdNext");
    answered("cmdNext");
    EXPECT_EQ(module.CustKey, 5);
    EXPECT_EQ(window->journal().rowCount(), 0);
    EXPECT_TRUE(control<QLabel>(window.get(), "Data1")->text().isEmpty());
    EXPECT_TRUE(module.SelectedDate.isNull());
    EXPECT_TRUE(module.SelectedDescr.isEmpty());
    click("cmdNext");
    EXPECT_EQ(caption("cmdPmts"), window->flags().ConsolidatePayments ? "Distribute Payments" : "Consolidate Payments");
    EXPECT_TRUE(header->text().startsWith("Account: A3"));
    click("cmdNext");
    EXPECT_EQ(module.CustKey, 3);
    click("cmdHideCom");
    answered("cmdPrev");
    answered("cmdPrev");
    click("cmdPrev");
    EXPECT_EQ(module.CustKey, 1);
    EXPECT_EQ(window->journal().rowCount(), 3); // comments still hidden, the check in one row
    click("cmdPrev");
    EXPECT_TRUE(header->text().startsWith("Account: A2"));
    answered("cmdPrev");
    EXPECT_EQ(module.CustKey, 2);
    const QString none = "NOTHING TO DO: No history records exist for this customer.";
    EXPECT_EQ(
        told,
        (QStringList{none, none, none, none, "FIRST RECORD: You have reached the first customer account history."}));
    // Opened from the list, the window leaves the list's scratch file in place.
    window->close();
    EXPECT_TRUE(QFileInfo::exists(module.WorkDbPath));
}

} // namespace
