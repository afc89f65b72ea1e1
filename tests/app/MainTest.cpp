#include "app/HistoryModule.h"
#include "app/Main.h"
#include "app/BillingDbLocator.h"
#include "support/FakeMessenger.h"
#include "support/RecordingNavigator.h"
#include "support/TestSuite.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(StartUp, AccountKeysAreReadAsTheRuntimeReadsNumbers)
{
    // clang-format off
    const std::tuple<const char*, int32_t, int32_t> cases[] = {
        {"", 0, 0}, {"1234-5678", 1234, 5678}, {"1234", 0, 0}, {"1234-0", 1234, 0}, {"0-5678", 0, 5678},
        {"1234-", 1234, 0}, {"-5678", 0, 5678}, {"1234--5", 1234, -5}, {"12 34-56", 1234, 56}, {"12.5-7.5", 12, 8},
        {"99999999999-5", 0, 5}, {"2147483647-1", 2147483647, 1}, {"&H10-x", 16, 0}, {" 7 - 9 ", 7, 9},
    };
    // clang-format on
    for (const auto& [commandLine, custKey, locKey] : cases)
        EXPECT_EQ(Main::parseAccountKeys(QString::fromLatin1(commandLine)), std::make_pair(custKey, locKey))
            << commandLine;
}

TEST(StartUp, RoutesByTheKeysNamesTheScratchDatabaseAndOpensTheStartWindow)
{
    TestSuite suite;
    // clang-format off
    const struct { const char* commandLine; Main::Route route; int16_t journalIsStart; } cases[] = {
        {"1234-5678", Main::Route::Journal, 1}, {"1234--5", Main::Route::Selection, 0},
        {"99999999999-1", Main::Route::Selection, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        HistoryModule module;
        module.ProgramFolder = suite.folder();
        FakeMessenger messenger;
        EXPECT_EQ(Main::prepare(module, QString::fromLatin1(c.commandLine), messenger, QTime(9, 3, 7)), c.route)
            << c.commandLine;
        EXPECT_EQ(module.JournalIsStartWindow, c.journalIsStart);
        EXPECT_TRUE(messenger.messages.isEmpty());
        EXPECT_EQ(QStringList({module.WorkDbPath, module.BillingDbPath, module.CompanyTitle, module.UserId}),
                  QStringList({QDir(suite.folder()).filePath("ledview090307.mdb"), suite.billingPath(), "TEST UTILITY",
                               "CLERK1"}));
    }
    // The run opens the start window the route names.
    {
        HistoryModule module;
        module.ProgramFolder = suite.folder();
        FakeMessenger messenger;
        RecordingNavigator navigator;
        EXPECT_EQ(Main::run(module, QStringLiteral("5-6"), messenger, navigator), 0);
        EXPECT_EQ(Main::run(module, QStringLiteral("5"), messenger, navigator), 0);
        EXPECT_EQ(navigator.opened, (QStringList{"journal", "selection"}));
    }
    // Without a company name the title says so.
    SqlConnection::open(suite.filePath("global.mdb")).exec("update current set CompanyName = null");
    HistoryModule module;
    module.ProgramFolder = suite.folder();
    FakeMessenger messenger;
    EXPECT_EQ(Main::prepare(module, "1-1", messenger), Main::Route::Journal);
    EXPECT_EQ(module.CompanyTitle, "UNKNOWN COMPANY");
}

TEST(StartUp, UserIdIsTheFirstLineUnchanged)
{
    TestSuite suite;
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {nullptr, "Unknown"}, {"\r\nCLERK2\r\n", "Unknown"}, {"  CLERK1  \r\nother", "  CLERK1  "}};
    // clang-format on
    for (const auto& [contents, userId] : cases) {
        QFile::remove(suite.filePath("tuid.txt"));
        if (contents)
            suite.writeFile("tuid.txt", contents);
        EXPECT_EQ(Main::readUserId(suite.folder()), QString::fromLatin1(userId));
    }
}

// Every broken configuration ends the run with one message naming the file.
TEST(StartUp, BrokenConfigurationEndsWithAMessageNamingTheFile)
{
    const auto global = [](const char* sql) {
        return [sql](TestSuite& s) { SqlConnection::open(s.filePath("global.mdb")).exec(sql); };
    };
    // clang-format off
    struct Case { const char* name; std::function<void(TestSuite&)> breakIt; const char* fileInMessage; };
    const std::vector<Case> cases = {
        {"global missing", [](TestSuite& s) {QFile::remove(s.filePath("global.mdb"));}, "global.mdb"},
        {"global not a database", [](TestSuite& s) {s.writeFile("global.mdb", QByteArray(4096, 'x'));}, "global.mdb"},
        {"current empty", global("delete from current"), "global.mdb"},
        {"no current table", global("drop table current"), "global.mdb"},
        {"null path", global("update current set databasepath = null"), "global.mdb"},
        {"billing missing", global("update current set DatabaseFileName = 'gone.mdb'"), "gone.mdb"},
        {"billing not a database", [](TestSuite& s) {s.billing().close(); s.writeFile("billing.mdb", QByteArray(4096, 'z'));}, "billing.mdb"},
    };
    // clang-format on
    for (const Case& c : cases) {
        TestSuite suite;
        c.breakIt(suite);
        HistoryModule module;
        module.ProgramFolder = suite.folder();
        FakeMessenger messenger;
        RecordingNavigator navigator;
        EXPECT_EQ(Main::run(module, "1-1", messenger, navigator), 1) << c.name;
        EXPECT_TRUE(navigator.opened.isEmpty()) << c.name;
        ASSERT_EQ(messenger.messages.size(), 1) << c.name;
        EXPECT_TRUE(messenger.messages[0].text.contains(QString::fromLatin1(c.fileInMessage)))
            << c.name << ": " << messenger.messages[0].text.toStdString();
        // The command line words the same fault the same way.
        EXPECT_EQ(BillingDbLocator::locate(suite.folder()).error, messenger.messages[0].text) << c.name;
    }
}

} // namespace
