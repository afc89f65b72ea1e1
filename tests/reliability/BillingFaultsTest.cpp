// The billing and scratch databases failing under the windows: locked by another
// program, damaged, gone, full. Each failure is told with the file and the reason,
// nothing typed is lost, nothing is half-written, and a retry works.
#include "program/ProgramNavigator.h"
#include "journal/JournalModel.h"
#include "journal/widgets/frmHistory.h"
#include "journal/widgets/frmHistoryComment.h"
#include "readings/ReadingColumns.h"
#include "readings/widgets/ReadingsGrid.h"
#include "readings/widgets/frmUncomputedReadings.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

class BillingFaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.addCodes();
        suite.addAccount(1, 10);
        suite.insert("[tbl bill detail]",
                     {{"custkey", 1}, {"lockey", 10}, {"date", "2017-01-01"}, {"code", "WA"}, {"amount", 10}});
        suite.insert("[tbl reading]",
                     {{"ReadingKey", 1},
                      {"CustKey", 1},
                      {"LocKey", 10},
                      {"Code", "WA"},
                      {"BillDate", "2017-01-01"},
                      {"Previous", 100},
                      {"Present", 150},
                      {"MSN", "OLD"}});
        suite.prepare(module, 1, 10);
    }

    std::unique_ptr<frmHistory> openJournal()
    {
        auto window = std::make_unique<frmHistory>(module, messenger, navigator);
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        return window;
    }

    // The one message told, which must name the file and say why.
    void expectToldAbout(const QString& title, const QString& file, const QString& reason)
    {
        ASSERT_EQ(messenger.messages.size(), 1) << messenger.texts().join("\n").toStdString();
        EXPECT_EQ(messenger.messages[0].title, title);
        EXPECT_TRUE(messenger.messages[0].text.contains(file)) << messenger.messages[0].text.toStdString();
        EXPECT_TRUE(messenger.messages[0].text.contains(reason)) << messenger.messages[0].text.toStdString();
        messenger.messages.clear();
    }

    int count(SqlConnection& db, const QString& table, const QString& text)
    {
        return db.scalar(QString("select count(*) from %1 where comment = ?").arg(table), {text}).toInt();
    }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    ProgramNavigator navigator{messenger};
};

// Another program writing the whole file (an exclusive lock) keeps us from reading
// it: the journal says so after the busy wait and loads once the lock is gone.
TEST_F(BillingFaultsTest, JournalReadLockedOutSaysSoAndLoadsOnRetry)
{
    SqlConnection other = SqlConnection::open(suite.billingPath());
    ASSERT_TRUE(other.exec("begin exclusive"));
    auto window = openJournal();
    expectToldAbout("CANNOT CONTINUE", suite.billingPath(), "locked");
    EXPECT_EQ(window->journal().rowCount(), 0);

    ASSERT_TRUE(other.exec("commit"));
    window->Form_Load();
    EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
    EXPECT_EQ(window->journal().rowCount(), 2);
}

// A write lock (another program in the middle of its own writes) leaves reading
// alone; a comment saved meanwhile is refused with its text kept, then saved once.
TEST_F(BillingFaultsTest, CommentSavedUnderAWriteLockIsKeptAndSavedOnRetry)
{
    SqlConnection other = SqlConnection::open(suite.billingPath());
    ASSERT_TRUE(other.exec("begin immediate"));
    auto window = openJournal();
    ASSERT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
    ASSERT_EQ(window->journal().rowCount(), 2);

    bool closedAfterRetry = false;
    operateNextModal<frmHistoryComment>([&](frmHistoryComment& dialog) {
        control<QLineEdit>(&dialog, "txt0")->setText("02/01/2017");
        control<QPlainTextEdit>(&dialog, "txt1")->setPlainText("called about the leak");
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdSave"), Qt::LeftButton);
        expectToldAbout("COMMENT NOT SAVED", suite.billingPath(), "locked");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(control<QPlainTextEdit>(&dialog, "txt1")->toPlainText(), "called about the leak");

        EXPECT_TRUE(other.exec("commit"));
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdSave"), Qt::LeftButton);
        EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
        closedAfterRetry = !dialog.isVisible();
    });
    QTest::mouseClick(control<QPushButton>(window.get(), "cmdComment"), Qt::LeftButton);
    EXPECT_TRUE(closedAfterRetry);
    EXPECT_EQ(count(suite.billing(), "histcomments", "called about the leak"), 1);
    ASSERT_TRUE(module.OpenWorkDb());
    EXPECT_EQ(count(module.WorkDb, "hcom", "called about the leak"), 1);
    module.CloseWorkDb();
    EXPECT_EQ(window->journal().rowCount(), 3);
}

TEST_F(BillingFaultsTest, ReadingEditUnderAWriteLockIsKeptAndSavedOnRetry)
{
    using namespace ReadingColumns;
    frmUncomputedReadings window(module, messenger);
    window.show();
    QApplication::processEvents();
    auto* grid = control<ReadingsGrid>(&window, "SSDBGrid1");
    ASSERT_EQ(grid->model()->rowCount(), 1);

    SqlConnection other = SqlConnection::open(suite.billingPath());
    ASSERT_TRUE(other.exec("begin immediate"));
    const QModelIndex cell = grid->model()->index(0, MSN);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid->openEditor());
    ASSERT_NE(editor, nullptr);
    editor->setText("NEW-7");
    QTest::keyClick(editor, Qt::Key_Tab);
    expectToldAbout("TRY AGAIN", "MSN", "locked");
    ASSERT_EQ(grid->openEditor(), editor);
    EXPECT_EQ(editor->text(), "NEW-7");
    EXPECT_EQ(suite.billing().scalar("select MSN from [tbl reading]").toString(), "OLD");

    // Once the lock is gone, Exit saves the same text and closes.
    ASSERT_TRUE(other.exec("commit"));
    QApplication::processEvents();
    QTest::mouseClick(control<QPushButton>(&window, "cmdExit"), Qt::LeftButton);
    EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(suite.billing().scalar("select MSN from [tbl reading]").toString(), "NEW-7");
}

// Damage past the first page: the file opens, the account's rows cannot be read.
TEST_F(BillingFaultsTest, DamagedBillingFileIsNamedNotShownAsNoHistory)
{
    for (int n = 0; n < 400; ++n)
        suite.insert("[tbl bill detail]",
                     {{"custkey", 1},
                      {"lockey", 10},
                      {"date", "2017-02-01"},
                      {"code", "WA"},
                      {"comment", QString(80, QChar('x'))},
                      {"amount", n}});
    suite.billing().close();
    QFile file(suite.billingPath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    file.seek(size / 2);
    file.write(QByteArray(size / 2, '\xA5'));
    file.close();

    auto window = openJournal();
    expectToldAbout("CANNOT CONTINUE", suite.billingPath(), "malformed");
    EXPECT_EQ(window->journal().rowCount(), 0);
}

// A journal that cannot be written is told with the reason, not shown as an account
// without history.
TEST_F(BillingFaultsTest, JournalThatCannotBeBuiltSaysWhy)
{
    auto window = openJournal();
    ASSERT_EQ(window->journal().rowCount(), 2);
    ASSERT_TRUE(module.OpenWorkDb());
    ASSERT_TRUE(module.ExecWork("drop table jurn"));
    ASSERT_TRUE(module.ExecWork("create table jurn (bdate text, rdate text, tcode text, descr text, prev text, "
                                "pres text, usage text, chg text, pmt text, rbal text, dorder single, mult text, "
                                "trow integer check (trow < 1))"));
    module.CloseWorkDb();
    QTest::mouseClick(control<QPushButton>(window.get(), "cmdHideCom"), Qt::LeftButton);
    expectToldAbout("CANNOT CONTINUE", module.WorkDbPath, "CHECK constraint failed");
    EXPECT_EQ(window->journal().rowCount(), 0);
}

TEST_F(BillingFaultsTest, BillingFileGoneAfterStartIsNamedByEveryWindow)
{
    suite.billing().close();
    ASSERT_TRUE(QFile::remove(suite.billingPath()));
    auto journal = openJournal();
    expectToldAbout("CANNOT CONTINUE", suite.billingPath(), "does not exist");

    frmUncomputedReadings readings(module, messenger);
    readings.show();
    QApplication::processEvents();
    expectToldAbout("CANNOT CONTINUE", suite.billingPath(), "does not exist");
}

// The suite folder path runs through a regular file: no scratch database can be made.
TEST_F(BillingFaultsTest, ScratchThatCannotBeCreatedIsNamed)
{
    suite.writeFile("plain.txt", "not a folder");
    module.WorkDbPath = suite.filePath("plain.txt/ledview120000.mdb");
    auto window = openJournal();
    expectToldAbout("CANNOT CONTINUE", module.WorkDbPath, "cannot be created");
}

// A run killed mid-write can leave its scratch file damaged; the next run of the
// same second starts it afresh instead of stopping on it.
TEST_F(BillingFaultsTest, DamagedLeftoverScratchIsReplaced)
{
    suite.writeFile("ledview120000.mdb", QByteArray("SQLite format 3").append(4096, '\x01'));
    auto window = openJournal();
    EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
    EXPECT_EQ(window->journal().rowCount(), 2);
}

// Half-built tables of an earlier run are cleared, not shown or appended to.
TEST_F(BillingFaultsTest, HalfBuiltLeftoverScratchIsReusedCleanly)
{
    {
        SqlConnection leftover = SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::CreateIfMissing);
        for (const char* sql :
             {"create table cust (custkey integer)", "insert into cust values (99)", "create table bd (stale text)",
              "insert into bd values ('stale')", "create table prejurn (bdate text, descr text)",
              "insert into prejurn values ('2016-01-01', 'STALE ROW')", "create table jurn (descr text)",
              "insert into jurn values ('STALE ROW')", "create table hcom (comment text)"})
            ASSERT_TRUE(leftover.exec(sql)) << sql;
    }
    auto window = openJournal();
    EXPECT_TRUE(messenger.messages.isEmpty()) << messenger.texts().join("\n").toStdString();
    ASSERT_EQ(window->journal().rowCount(), 2);
    EXPECT_EQ(window->journal().rows()[1].chg, "10.00");
    EXPECT_EQ(window->journal().rows()[1].descr, "WATER");
}

// The disk under the scratch database fills up mid-copy (a file size limit stands
// in for it): the load stops with the reason instead of showing part of the account.
TEST_F(BillingFaultsTest, ScratchDiskFullStopsTheLoadWithTheReason)
{
    for (int n = 0; n < 3000; ++n)
        suite.insert("[tbl bill detail]",
                     {{"custkey", 1},
                      {"lockey", 10},
                      {"date", "2017-02-01"},
                      {"code", "WA"},
                      {"comment", QString(200, QChar('y'))},
                      {"amount", n}});
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 256 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto window = openJournal();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_EQ(messenger.messages.size(), 1) << messenger.texts().join("\n").toStdString();
    EXPECT_EQ(messenger.messages[0].title, "CANNOT CONTINUE");
    EXPECT_TRUE(messenger.messages[0].text.contains(module.WorkDbPath)) << messenger.messages[0].text.toStdString();
    EXPECT_EQ(window->journal().rowCount(), 0);
}

} // namespace
