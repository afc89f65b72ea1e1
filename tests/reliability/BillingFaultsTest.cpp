// The billing and scratch databases failing under the windows: locked by another
// program, damaged, gone, full. Each failure is told with the file and the reason,
// nothing typed is lost, nothing is half-written, and a retry works.
#include "program/ProgramNavigator.h"
#include "journal/JournalModel.h"
#include "journal/widgets/frmHistory.h"
#include "journal/widgets/frmHistoryComment.h"
#include "readings/widgets/frmUncomputedReadings.h"
#include "app/Main.h"
#include "selection/SearchListModel.h"
#include "selection/widgets/frmHistorySelect.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/RecordingNavigator.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

// An account with one charge and one reading: two journal rows, one readings row.
class FaultSuite {
public:
    FaultSuite()
    {
        suite.exec("begin");
        suite.addCodes();
        suite.addAccount(1, 10);
        suite.exec("insert into [tbl bill detail] (custkey, lockey, date, code, amount)"
                   " values (1, 10, '2017-01-01', 'WA', 10)");
        suite.exec("insert into [tbl reading] (ReadingKey, CustKey, LocKey, Code, BillDate, Previous, Present, MSN)"
                   " values (1, 1, 10, 'WA', '2017-01-01', 100, 150, 'OLD')");
        suite.exec("commit");
        suite.prepare(module, 1, 10);
    }

    // Charges of `width`-character comments in one statement: the file grows fast.
    void addCharges(int count, int width)
    {
        suite.exec("with recursive n(i) as (select 0 union all select i + 1 from n where i + 1 < ?) "
                   "insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount) "
                   "select 1, 10, '2017-02-01', 'WA', substr(hex(zeroblob(?)), 1, ?), i from n",
                   {count, width, width});
    }

    std::unique_ptr<frmHistory> openJournal()
    {
        auto window = std::make_unique<frmHistory>(module, messenger, navigator);
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        return window;
    }

    std::string told() const { return messenger.texts().join("\n").toStdString(); }
    // The one message told, which must name the file and say why.
    void expectToldAbout(const QString& title, const QString& file, const QString& reason)
    {
        ASSERT_EQ(messenger.messages.size(), 1) << told();
        EXPECT_EQ(messenger.messages[0].title, title);
        EXPECT_TRUE(messenger.messages[0].text.contains(file) && messenger.messages[0].text.contains(reason)) << told();
        messenger.messages.clear();
    }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    ProgramNavigator navigator{messenger};
};

class BillingFaultsTest : public ::testing::Test, public FaultSuite {
protected:
    int count(SqlConnection& db, const char* table, const char* text)
    {
        return db.scalar(QString("select count(*) from %1 where comment = ?").arg(table), {text}).toInt();
    }
};

// A scratch journal that cannot be written is told with the reason, not shown as an account
// without history.
TEST_F(BillingFaultsTest, UnwritableScratchJournalIsToldWithTheReason)
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

// A write lock (another program in the middle of its own writes) leaves reading
// alone; a comment saved meanwhile is refused with its text kept, then saved once.
TEST_F(BillingFaultsTest, CommentSavedUnderAWriteLockIsKeptAndSavedOnRetry)
{
    SqlConnection other = SqlConnection::open(suite.billingPath());
    ASSERT_TRUE(other.exec("begin immediate"));
    auto window = openJournal();
    ASSERT_TRUE(messenger.messages.isEmpty()) << told();
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
        EXPECT_TRUE(messenger.messages.isEmpty()) << told();
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

// Files broken before the journal opens: told with the file and the reason, never
// shown as an account without history; leftovers of a killed run are started afresh.
TEST(BrokenSuiteFiles, AreNamedOrStartedAfresh)
{
    const struct {
        const char* name;
        std::function<void(FaultSuite&)> breakIt;
        bool inScratch;
        const char* reason; // empty: the journal opens as if nothing happened
    } cases[] = {
        // clang-format off
        {"billing damaged past the first page", [](FaultSuite& f) {
            f.addCharges(400, 80);
            f.suite.billing().close();
            QFile file(f.suite.billingPath());
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            const qint64 size = file.size();
            file.seek(size / 2);
            file.write(QByteArray(size / 2, '\xA5'));
        }, false, "malformed"},
        {"billing gone after start", [](FaultSuite& f) { f.suite.billing().close(); ASSERT_TRUE(QFile::remove(f.suite.billingPath())); }, false, "does not exist"},
        {"scratch folder runs through a regular file", [](FaultSuite& f) {
            f.suite.writeFile("plain.txt", "not a folder");
            f.module.WorkDbPath = f.suite.filePath("plain.txt/ledview120000.mdb");
        }, true, "cannot be created"},
        {"damaged leftover scratch", [](FaultSuite& f) { f.suite.writeFile("ledview120000.mdb", QByteArray("SQLite format 3").append(4096, '\x01')); }, true, ""},
        {"half-built leftover scratch", [](FaultSuite& f) {
            ASSERT_TRUE(SqlConnection::open(f.module.WorkDbPath, SqlConnection::Mode::CreateIfMissing).execScript(
                "create table cust (custkey integer); insert into cust values (99); create table bd (stale text);"
                "insert into bd values ('stale'); create table prejurn (bdate text, descr text);"
                "insert into prejurn values ('2016-01-01', 'STALE ROW'); create table jurn (descr text);"
                "insert into jurn values ('STALE ROW'); create table hcom (comment text);"));
        }, true, ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FaultSuite f;
        c.breakIt(f);
        const auto window = f.openJournal();
        if (*c.reason) {
            f.expectToldAbout("CANNOT CONTINUE", c.inScratch ? f.module.WorkDbPath : f.suite.billingPath(), c.reason);
            EXPECT_EQ(window->journal().rowCount(), 0);
        } else {
            EXPECT_TRUE(f.messenger.messages.isEmpty()) << f.told();
            ASSERT_EQ(window->journal().rowCount(), 2);
            EXPECT_EQ(window->journal().rows()[1].chg, "10.00");
            EXPECT_EQ(window->journal().rows()[1].descr, "WATER");
        }
    }
}

// The disk under the scratch database fills up mid-copy (a file size limit stands
// in for it): the load stops with the reason instead of showing part of the account.
TEST_F(BillingFaultsTest, ScratchDiskFullStopsTheLoadWithTheReason)
{
    addCharges(3000, 200);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 256 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    auto window = openJournal();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    expectToldAbout("CANNOT CONTINUE", module.WorkDbPath, "");
    EXPECT_EQ(window->journal().rowCount(), 0);
}

// Settings and configuration files that are binary, far larger than any read limit,
// truncated or empty: every window still opens on its account with the defaults,
// and what it writes back at its close is a well-formed file again.
enum class Window { Journal, Selection, Readings, StartUp };

struct SettingsFile {
    const char* name;
    Window window;
};

class SuiteFilesTest : public ::testing::TestWithParam<SettingsFile>, public FaultSuite {
protected:
    // Opens and closes the window that reads the file, checking it came up with its data.
    void openAndClose(Window window)
    {
        RecordingNavigator recorder;
        HistoryModule fresh;
        suite.prepare(fresh, 1, 10);
        const auto showCheckClose = [](auto& shown, auto check) {
            shown.show();
            QApplication::processEvents();
            check(shown);
            shown.reject();
        };
        if (window == Window::Journal) {
            frmHistory journal(fresh, messenger, recorder);
            journal.Form_Load();
            showCheckClose(journal, [](frmHistory& w) { EXPECT_EQ(w.journal().rowCount(), 2); });
        } else if (window == Window::Selection) {
            frmHistorySelect selection(fresh, messenger, recorder);
            selection.Form_Load();
            showCheckClose(selection, [](frmHistorySelect& w) { EXPECT_EQ(w.list().lines().size(), 1); });
        } else if (window == Window::Readings) {
            frmUncomputedReadings readings(fresh, messenger);
            showCheckClose(readings, [](frmUncomputedReadings& w) {
                EXPECT_TRUE(control<QLabel>(&w, "SSDBGrid1Caption")->text().startsWith("All Meter Readings for"));
            });
        } else {
            HistoryModule started;
            started.ProgramFolder = suite.folder();
            EXPECT_EQ(Main::prepare(started, "1-10", messenger), Main::Route::Journal);
            // Only the first line counts, and never more of it than a line can be.
            EXPECT_TRUE(started.UserId.size() <= 4096 && !started.UserId.isEmpty()) << started.UserId.size();
        }
    }
};

TEST_P(SuiteFilesTest, BrokenFileLeavesTheWindowWorking)
{
    const SettingsFile file = GetParam();
    QByteArray binary(1024 * 1024, '\0');
    for (qsizetype i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 7 % 256);
    const std::pair<const char*, QByteArray> brokenContents[] = {
        {"binary 1 MB", binary},        {"one 1 MB line", QByteArray(1024 * 1024, 'A')},
        {"truncated", QByteArray("-")}, {"cut mid-character", QByteArray("1\r\n\xE4\xB8")},
        {"empty", QByteArray()},
    };
    for (const auto& [what, contents] : brokenContents) {
        SCOPED_TRACE(std::string(file.name) + ": " + what);
        suite.writeFile(file.name, contents);
        messenger.messages.clear();
        openAndClose(file.window);
        for (const auto& message : messenger.messages)
            EXPECT_NE(message.title, "CANNOT CONTINUE") << message.text.toStdString();
        // The files a window writes at its close are its own again.
        const QByteArray after = suite.readFile(file.name);
        if (file.window == Window::Journal && QByteArray(file.name) == "VIEWLED.INI") {
            EXPECT_EQ(after.count("\r\n"), 5) << after.left(80).toStdString();
        }
        if (file.window == Window::Selection) {
            EXPECT_LE(after.count("\r\n"), 2) << after.left(80).toStdString();
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EveryFile, SuiteFilesTest,
    ::testing::Values(SettingsFile{"VIEWLED.INI", Window::Journal}, SettingsFile{"histmassdaterange.ini", Window::Journal},
                      SettingsFile{"DelayTime.ini", Window::Journal}, SettingsFile{"ledviewsel.ini", Window::Selection},
                      SettingsFile{"rdgsacct.txt", Window::Readings}, SettingsFile{"tuid.txt", Window::StartUp}),
    [](const auto& info) { return QString(info.param.name).remove('.').toStdString(); });
// clang-format on

} // namespace
