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

namespace {

class BillComputationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.prepare(module, 1234, 56);
        suite.writeFile("rdgsacct.txt", "10442\r\nRIVERSIDE MILL\r\n");
        for (int month = 1; month <= 14; ++month)
            suite.insert("[tbl reading]",
                         {{"CustKey", 1234},
                          {"LocKey", 56},
                          {"Code", "WA"},
                          {"BillDate", QDate(2016, 1, 1).addMonths(month).toString(Qt::ISODate)}});
    }

    // A stand-in meter-entry program: a shell script doing `body`.
    void program(const QByteArray& body)
    {
        suite.writeFile("entmeter", "#!/bin/sh\ncd \"$(dirname \"$0\")\"\n" + body + "\n");
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

    // The started program, from the pid file it writes, is gone (a zombie counts as gone).
    bool programEnded()
    {
        const QByteArray pid = suite.readFile("started.pid").trimmed();
        if (pid.isEmpty())
            return false;
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray line = stat.readAll();
        return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
    }

    int auditLines(const QString& text)
    {
        int count = 0;
        for (const QFileInfo& file : QDir(suite.filePath("AUDIT")).entryInfoList(QDir::Files))
            count += QString::fromUtf8(suite.readFile("AUDIT/" + file.fileName())).count(text);
        return count;
    }

    QStringList titles() const
    {
        QStringList result;
        for (const auto& m : messenger.messages)
            result << m.title;
        return result;
    }

    TestSuite suite;
    HistoryModule module;
    FakeMessenger messenger;
    bool stillOpen = true;
};

TEST_F(BillComputationTest, RequestsTheCurrentRowsBillAndWaitsForTheMarker)
{
    program("[ \"$1\" = cor ] && cp CompOneRdg.ini seen.ini && sleep 0.3 && touch componerdgdone.ini");
    compute();
    // The window opens on the twelfth reading from the end: the third of fourteen.
    EXPECT_EQ(suite.readFile("seen.ini"), QByteArray("1234\r\n56\r\n4/1/2016\r\n10442\r\n"));
    EXPECT_EQ(messenger.texts(), QStringList{"New bill has been computed."});
    EXPECT_EQ(titles(), QStringList{"DONE"});
    EXPECT_FALSE(QFile::exists(suite.filePath("componerdgdone.ini")));
    EXPECT_FALSE(stillOpen);
}

TEST_F(BillComputationTest, RefusalStillRemovesALeftoverMarkerAndCloses)
{
    suite.writeFile("rdgsacct.txt", "");
    suite.writeFile("componerdgdone.ini", "old");
    program("touch started.ini");
    compute();
    EXPECT_EQ(messenger.texts(), QStringList{"New bill cannot be computed at this time..."});
    EXPECT_EQ(titles(), QStringList{"CANNOT COMPUTE"});
    EXPECT_FALSE(QFile::exists(suite.filePath("componerdgdone.ini")));
    EXPECT_FALSE(QFile::exists(suite.filePath("CompOneRdg.ini")));
    EXPECT_FALSE(stillOpen);
}

TEST_F(BillComputationTest, ALeftoverMarkerDoesNotPassForANewBill)
{
    suite.writeFile("componerdgdone.ini", "old");
    program("exit 3");
    compute();
    EXPECT_EQ(messenger.texts(), QStringList{"The meter-entry program ended without computing the bill."});
}

TEST_F(BillComputationTest, MissingHangingOrFailingProgramsAreTold)
{
    compute();
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_TRUE(messenger.messages[0].text.startsWith("The meter-entry program entmeter cannot be found"));

    messenger.messages.clear();
    program("echo $$ > started.pid\nsleep 4\ntouch componerdgdone.ini");
    compute(1);
    EXPECT_EQ(messenger.texts(), QStringList{"The meter-entry program did not finish within 1 seconds and was ended."});
    EXPECT_EQ(titles(), QStringList{"CANNOT COMPUTE"});
    EXPECT_TRUE(programEnded());
}

TEST_F(BillComputationTest, CancelEndsTheProgramAndIsNoActivation)
{
    program("echo $$ > started.pid\nsleep 30\ntouch componerdgdone.ini");
    // The wait is cancelled as the operator does, and the message after it is a real box.
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
    EXPECT_EQ(auditLines("form loaded"), 1);
    EXPECT_EQ(auditLines("form unloaded"), 1);
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
    const struct {
        const char* typed;
        const char* seen; // the request the program saw; "" none
        QStringList told;
    } cases[] = {
        {"6/15/2016", "1234\r\n56\r\n6/15/2016\r\n10442\r\n", {"New bill has been computed."}},
        {"13517", "", {"Invalid Date"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QFile::remove(suite.filePath("seen.ini"));
        messenger.messages.clear();
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
        QTest::keyClicks(editor, c.typed);
        // A shortcut clicks its button a moment later, as a mouse click would look.
        QTest::keyClick(editor, Qt::Key_C, Qt::AltModifier);
        QTest::qWait(300);
        EXPECT_EQ(messenger.texts(), c.told);
        EXPECT_EQ(suite.readFile("seen.ini"), QByteArray(c.seen));
        EXPECT_EQ(window.isVisible(), QByteArray(c.seen).isEmpty());
        if (!window.isVisible())
            continue;
        // Refused: the editor keeps the text, and Print refuses it the same way.
        EXPECT_EQ(grid->openEditor(), editor);
        messenger.messages.clear();
        QTest::keyClick(editor, Qt::Key_P, Qt::AltModifier);
        QTest::qWait(300);
        EXPECT_EQ(messenger.texts(), QStringList{"Invalid Date"});
        EXPECT_FALSE(QFile::exists(suite.filePath("reports/emptdata.mdb")));
    }
}

TEST_F(BillComputationTest, ComputeWithoutAReadingIsRefused)
{
    suite.exec("delete from [tbl reading]");
    program("touch started.ini componerdgdone.ini");
    compute();
    EXPECT_EQ(messenger.texts(),
              (QStringList{"No reading records exist for this service location.",
                           "There is no reading with a bill date to compute a bill for."}));
    EXPECT_FALSE(QFile::exists(suite.filePath("started.ini")));
    EXPECT_FALSE(stillOpen);
}

TEST(BillRequestFile, FourLinesWithCrLf)
{
    BillRequest::Request request{7, 8, "12/1/2024", "A-1"};
    EXPECT_EQ(BillRequest::requestText(request), QByteArray("7\r\n8\r\n12/1/2024\r\nA-1\r\n"));
    EXPECT_TRUE(BillRequest::canCompute(request));
    for (auto broken : {BillRequest::Request{0, 8, "", "A"}, BillRequest::Request{7, -1, "", "A"},
                        BillRequest::Request{7, 8, "", ""}})
        EXPECT_FALSE(BillRequest::canCompute(broken));
}

} // namespace
