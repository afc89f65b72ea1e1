// Settings and configuration files that are binary, huge, truncated or empty: every
// window still opens on its account with the defaults, and what it writes back at
// its close is a well-formed file again.
#include "app/Main.h"
#include "journal/widgets/frmHistory.h"
#include "journal/JournalModel.h"
#include "readings/widgets/frmUncomputedReadings.h"
#include "selection/SearchListModel.h"
#include "selection/widgets/frmHistorySelect.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/RecordingNavigator.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QLabel>
#include <functional>

namespace {

enum class Window { Journal, Selection, Readings, StartUp };

struct Broken {
    const char* name;
    QByteArray contents;
};

QByteArray binary()
{
    QByteArray bytes(10 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 256);
    return bytes;
}

const QList<Broken>& brokenContents()
{
    static const QList<Broken> all = {
        {"binary 10 MB", binary()},     {"one 10 MB line", QByteArray(10 * 1024 * 1024, 'A')},
        {"truncated", QByteArray("-")}, {"cut mid-character", QByteArray("1\r\n\xE4\xB8")},
        {"empty", QByteArray()},
    };
    return all;
}

struct SettingsFile {
    const char* name;
    Window window;
};

class SuiteFilesTest : public ::testing::TestWithParam<SettingsFile> {
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
                      {"Present", 150}});
    }

    // Opens and closes the window that reads the file; false when it did not come up
    // with its data.
    void openAndClose(Window window)
    {
        HistoryModule module;
        suite.prepare(module, 1, 10);
        switch (window) {
        case Window::Journal: {
            frmHistory journal(module, messenger, navigator);
            journal.Form_Load();
            journal.show();
            QApplication::processEvents();
            EXPECT_EQ(journal.journal().rowCount(), 2);
            journal.reject();
            break;
        }
        case Window::Selection: {
            frmHistorySelect selection(module, messenger, navigator);
            selection.Form_Load();
            selection.show();
            QApplication::processEvents();
            EXPECT_EQ(selection.list().lines().size(), 1);
            selection.reject();
            break;
        }
        case Window::Readings: {
            frmUncomputedReadings readings(module, messenger);
            readings.show();
            QApplication::processEvents();
            EXPECT_TRUE(control<QLabel>(&readings, "SSDBGrid1Caption")->text().startsWith("All Meter Readings for"));
            readings.reject();
            break;
        }
        case Window::StartUp: {
            HistoryModule started;
            started.ProgramFolder = suite.folder();
            EXPECT_EQ(Main::prepare(started, "1-10", messenger), Main::Route::Journal);
            // Only the first line counts, and never more of it than a line can be.
            EXPECT_LE(started.UserId.size(), 4096);
            EXPECT_FALSE(started.UserId.isEmpty());
            break;
        }
        }
    }

    TestSuite suite;
    FakeMessenger messenger;
    RecordingNavigator navigator;
};

TEST_P(SuiteFilesTest, BrokenFileLeavesTheWindowWorking)
{
    const SettingsFile file = GetParam();
    for (const Broken& broken : brokenContents()) {
        SCOPED_TRACE(std::string(file.name) + ": " + broken.name);
        suite.writeFile(file.name, broken.contents);
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

INSTANTIATE_TEST_SUITE_P(EveryFile, SuiteFilesTest,
                         ::testing::Values(SettingsFile{"VIEWLED.INI", Window::Journal},
                                           SettingsFile{"histmassdaterange.ini", Window::Journal},
                                           SettingsFile{"DelayTime.ini", Window::Journal},
                                           SettingsFile{"ledviewsel.ini", Window::Selection},
                                           SettingsFile{"rdgsacct.txt", Window::Readings},
                                           SettingsFile{"tuid.txt", Window::StartUp}),
                         [](const auto& info) {
                             QString name = QString::fromLatin1(info.param.name);
                             return name.remove('.').toStdString();
                         });

// global.mdb present but holding nothing: the run ends naming it.
TEST(ConfigurationFile, EmptyGlobalDatabaseIsNamed)
{
    TestSuite suite;
    suite.writeFile("global.mdb", QByteArray());
    HistoryModule module;
    module.ProgramFolder = suite.folder();
    FakeMessenger messenger;
    EXPECT_EQ(Main::prepare(module, "1-10", messenger), Main::Route::Exit);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].title, "CANNOT CONTINUE");
    EXPECT_TRUE(messenger.messages[0].text.contains(suite.filePath("global.mdb")));
}

// A suite folder that is no folder (its path runs through a regular file) ends the
// run naming the configuration it cannot find, as a read-only folder would.
TEST(ConfigurationFile, SuiteFolderBelowAFileIsNamed)
{
    TestSuite suite;
    suite.writeFile("plain.txt", "x");
    HistoryModule module;
    module.ProgramFolder = suite.filePath("plain.txt/suite");
    FakeMessenger messenger;
    EXPECT_EQ(Main::prepare(module, "1-10", messenger), Main::Route::Exit);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(messenger.messages[0].text.contains("global.mdb"));
}

} // namespace
