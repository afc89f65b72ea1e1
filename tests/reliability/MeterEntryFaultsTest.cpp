// Meter-entry programs that cannot be run or are no program: each is told,
// and the request file it would have read is still there for a retry.
#include "app/HistoryModule.h"
#include "readings/widgets/frmUncomputedReadings.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace {

TEST(MeterEntryFaults, UnrunnableProgramsAreTold)
{
    const struct {
        const char* name;
        QByteArray contents;
        QFile::Permissions permissions;
        const char* message;
    } cases[] = {
        // clang-format off
        {"not executable", "#!/bin/sh\ntouch componerdgdone.ini\n", QFile::ReadOwner | QFile::WriteOwner, "could not be started."},
        {"no program at all", QByteArray("\x7f" "ELF\x02\x01\x01garbage", 15), QFile::ReadOwner | QFile::ExeOwner, "could not be started."},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestSuite suite;
        HistoryModule module;
        suite.prepare(module, 1234, 56);
        suite.writeFile("rdgsacct.txt", "10442\r\nRIVERSIDE MILL\r\n");
        suite.insert("[tbl reading]", {{"CustKey", 1234}, {"LocKey", 56}, {"Code", "WA"}, {"BillDate", "2017-01-01"}});
        suite.writeFile("entmeter", c.contents);
        QFile::setPermissions(suite.filePath("entmeter"), c.permissions);
        FakeMessenger messenger;
        frmUncomputedReadings window(module, messenger);
        window.computeTimeoutSeconds = 30;
        window.show();
        QApplication::processEvents();
        QTest::mouseClick(control<QPushButton>(&window, "cmdCompute"), Qt::LeftButton);
        ASSERT_EQ(messenger.messages.size(), 1);
        EXPECT_EQ(messenger.messages[0].title, "CANNOT COMPUTE");
        EXPECT_TRUE(messenger.messages[0].text.endsWith(c.message)) << messenger.messages[0].text.toStdString();
        EXPECT_FALSE(QFile::exists(suite.filePath("componerdgdone.ini")));
        EXPECT_EQ(suite.readFile("CompOneRdg.ini"), "1234\r\n56\r\n1/1/2017\r\n10442\r\n");
    }
}

} // namespace
