#include "readings/frmUncomputedReadings.h"

#include "app/HistoryModule.h"
#include "readings/BillRequest.h"
#include "readings/ReadingsGrid.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace {

class BillComputationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite.prepare(module, 1234, 56);
        suite.writeFile("rdgsacct.txt", "10442\r\nRIVERSIDE MILL\r\n");
        for (int month = 1; month <= 14; ++month)
            suite.insert("[tbl reading]", {{"CustKey", 1234}, {"LocKey", 56}, {"Code", "WA"},
                                           {"BillDate", QDate(2016, 1, 1).addMonths(month).toString(Qt::ISODate)}});
    }

    // A stand-in meter-entry program: a shell script doing `body`.
    void program(const QByteArray& body)
    {
        suite.writeFile("entmeter", "#!/bin/sh\ncd \"$(dirname \"$0\")\"\n" + body + "\n");
        QFile::setPermissions(suite.filePath("entmeter"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void compute(int timeoutSeconds = 30)
    {
        frmUncomputedReadings window(module, messenger);
        window.computeTimeoutSeconds = timeoutSeconds;
        window.show();
        QApplication::processEvents();
        QTest::mouseClick(control<QPushButton>(&window, "cmdCompute"), Qt::LeftButton);
        stillOpen = window.isVisible();
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
    program("sleep 30");
    compute(1);
    EXPECT_EQ(messenger.texts(), QStringList{"The meter-entry program did not finish within 1 seconds."});
    EXPECT_EQ(titles(), QStringList{"CANNOT COMPUTE"});
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
