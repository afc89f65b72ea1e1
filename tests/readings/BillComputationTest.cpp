#include "readings/widgets/frmUncomputedReadings.h"

#include "app/HistoryModule.h"
#include "platform/widgets/MessageBoxMessenger.h"
#include "readings/BillRequest.h"
#include "readings/ReadingColumns.h"
#include "readings/widgets/ReadingsGrid.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/MessageBoxAnswerer.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>

namespace {

class BillComputationTest : public ::testing::Test {
protected:
    // Detached stand-ins become our children and are reaped at once: a zombie would keep its pid alive.
    static void SetUpTestSuite() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }
    static void TearDownTestSuite() { ::prctl(PR_SET_CHILD_SUBREAPER, 0); }
    void SetUp() override
    {
        suite.prepare(module, 1234, 56);
        suite.writeFile("rdgsacct.txt", "10442\r\nRIVERSIDE MILL\r\n");
        for (int month = 1; month <= 14; ++month)
            suite.exec("insert into [tbl reading] (CustKey, LocKey, Code, BillDate) values (1234, 56, 'WA', ?)",
                       {QDate(2016, 1, 1).addMonths(month).toString(Qt::ISODate)});
        reaper = std::thread([this] {
            while (!stopReaping) {
                const pid_t pid = suite.readFile("started.pid").trimmed().toInt();
                if (pid > 0)
                    ::waitpid(pid, nullptr, WNOHANG);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }

    void TearDown() override
    {
        stopReaping = true;
        reaper.join();
    }

    // A stand-in meter-entry program: a shell script that tells its pid and does `body`.
    void program(const QByteArray& body)
    {
        suite.writeFile("entmeter", "#!/bin/sh\ncd \"$(dirname \"$0\")\"\necho $$ > started.pid\n" + body + "\n");
        QFile::setPermissions(suite.filePath("entmeter"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void compute(int timeoutSeconds = 30, Messenger* speaker = nullptr)
    {
        frmUncomputedReadings window(module, speaker ? *speaker : messenger);
        window.computeTimeoutSeconds = timeoutSeconds;
        window.show();
        QApplication::processEvents();
        QTest::mouseClick(control<QPushButton>(&window, "cmdCompute"), Qt::LeftButton);
        stillOpen = window.isVisible();
    }

    // The started program, from the pid file it writes, is gone.
    bool programEnded()
    {
        const QByteArray pid = suite.readFile("started.pid").trimmed();
        return !pid.isEmpty() && !QFileInfo::exists("/proc/" + pid);
    }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    bool stillOpen = true;
    std::thread reaper;
    std::atomic<bool> stopReaping = false;
};

TEST_F(BillComputationTest, ComputeRequestsTheCurrentRowsBillOrSaysWhyNot)
{
    const QByteArray identity = "10442\r\nRIVERSIDE MILL\r\n";
    // The window opens on the twelfth reading from the end: the third of fourteen.
    const QByteArray request = "1234\r\n56\r\n4/1/2016\r\n10442\r\n";
    const struct {
        QByteArray identity;
        bool leftoverMarker, readings;
        const char* body; // nullptr: no program
        bool executable;
        int timeout;
        QStringList told; // %1: the suite folder
        bool starts, requested; // a request that was written stays for a retry
    } cases[] = {
        // clang-format off
        {"", true, true, "touch seen.ini", true, 30, {"New bill cannot be computed at this time..."}, false, false},
        {identity, true, true, "exit 3", true, 30, {"The meter-entry program ended without computing the bill."}, true, true},
        {identity, false, true, "sleep 4\ntouch componerdgdone.ini", true, 1, {"The meter-entry program did not finish within 1 seconds and was ended."}, true, true},
        {identity, false, true, nullptr, true, 30, {"The meter-entry program entmeter cannot be found in %1."}, false, false},
        {identity, false, true, "touch seen.ini", false, 30, {"The meter-entry program %1/entmeter could not be started."}, false, true},
        {identity, false, false, "touch seen.ini", true, 30, {"No reading records exist for this service location.", "There is no reading with a bill date to compute a bill for."}, false, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body ? c.body : "no program");
        messenger.messages.clear();
        for (const char* file : {"started.pid", "seen.ini", "entmeter", "CompOneRdg.ini"})
            QFile::remove(suite.filePath(file));
        suite.writeFile("rdgsacct.txt", c.identity);
        if (c.leftoverMarker)
            suite.writeFile("componerdgdone.ini", "old");
        if (!c.readings)
            suite.exec("delete from [tbl reading]");
        if (c.body)
            program(c.body);
        if (!c.executable)
            QFile::setPermissions(suite.filePath("entmeter"), QFile::ReadOwner | QFile::WriteOwner);
        compute(c.timeout);
        QStringList told;
        for (const QString& text : c.told)
            told << QString(text).replace("%1", suite.folder());
        EXPECT_EQ(messenger.texts(), told);
        EXPECT_EQ(messenger.messages.last().title, "CANNOT COMPUTE");
        EXPECT_FALSE(QFile::exists(suite.filePath("seen.ini")));
        // A refused request starts nothing and leaves no request file.
        EXPECT_EQ(QFile::exists(suite.filePath("started.pid")), c.starts);
        EXPECT_EQ(suite.readFile("CompOneRdg.ini"), c.requested ? request : QByteArray());
        EXPECT_FALSE(QFile::exists(suite.filePath("componerdgdone.ini")));
        EXPECT_FALSE(stillOpen);
        EXPECT_TRUE(c.timeout != 1 || programEnded());
    }
}

TEST_F(BillComputationTest, CancelEndsTheProgramAndIsNoActivation)
{
    program("sleep 30\ntouch componerdgdone.ini");
    QTimer canceller;
    canceller.callOnTimeout([] {
        auto* wait = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        if (!wait)
            return;
        QTest::mouseClick(wait->findChild<QPushButton*>(), Qt::LeftButton);
        // The window manager hands the activation back to the readings window.
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frmUncomputedReadings")
                top->activateWindow();
    });
    canceller.start(50);
    MessageBoxMessenger boxes;
    MessageBoxAnswerer answerer;
    compute(30, &boxes);
    EXPECT_EQ(answerer.texts,
              QStringList{"The wait for the meter-entry program was cancelled and the program was "
                          "ended. Look at the journal before asking again."});
    EXPECT_TRUE(programEnded());
    EXPECT_FALSE(QFile::exists(suite.filePath("componerdgdone.ini")));
    const QString audit =
        QString::fromUtf8(suite.readFile("AUDIT/" + QDir(suite.filePath("AUDIT")).entryList(QDir::Files).value(0)));
    EXPECT_EQ(std::pair(audit.count("form loaded"), audit.count("form unloaded")), std::pair(1LL, 1LL));
}

TEST_F(BillComputationTest, ShortcutsSaveTheCellBeingEditedFirst)
{
    using namespace ReadingColumns;
    program("[ \"$1\" = cor ] && cp CompOneRdg.ini seen.ini && touch componerdgdone.ini");
    // A preview shown by mistake is closed rather than left waiting.
    QTimer closer;
    closer.callOnTimeout([] {
        if (auto* preview = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            preview->reject();
    });
    closer.start(100);
    frmUncomputedReadings window(module, messenger);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QApplication::processEvents();
    auto* grid = control<ReadingsGrid>(&window, "SSDBGrid1");
    grid->edit(grid->currentIndex().siblingAtColumn(BillDate));
    auto* editor = qobject_cast<QLineEdit*>(grid->openEditor());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "13517");
    // A shortcut clicks its button a moment later, as a mouse click would look. Refused, the
    // editor keeps the text, and Print refuses it the same way.
    for (const Qt::Key shortcut : {Qt::Key_C, Qt::Key_P}) {
        messenger.messages.clear();
        QTest::keyClick(editor, shortcut, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([this] { return messenger.texts() == QStringList{"Invalid Date"}; }));
        EXPECT_EQ(grid->openEditor(), editor);
    }
    EXPECT_FALSE(QFile::exists(suite.filePath("started.pid")));
    EXPECT_FALSE(QFile::exists(suite.filePath("reports/emptdata.mdb")));
    messenger.messages.clear();
    editor->selectAll();
    QTest::keyClicks(editor, "6/15/2016");
    QTest::keyClick(editor, Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !messenger.messages.isEmpty(); }));
    EXPECT_EQ(messenger.texts(), QStringList{"New bill has been computed."});
    EXPECT_EQ(suite.readFile("seen.ini"), "1234\r\n56\r\n6/15/2016\r\n10442\r\n");
    EXPECT_FALSE(window.isVisible());
}

// The request file's four lines are what the stand-in program saw above.
TEST(BillRequestFile, NeedsBothKeysAndTheAccount)
{
    BillRequest::Request request{7, 8, "12/1/2024", "A-1"};
    EXPECT_TRUE(BillRequest::canCompute(request));
    for (auto broken :
         {BillRequest::Request{0, 8, "", "A"}, BillRequest::Request{7, 0, "", "A"}, BillRequest::Request{7, 8, "", ""}})
        EXPECT_FALSE(BillRequest::canCompute(broken));
}

} // namespace
