#include "readings/widgets/ReadingsPrinting.h"

#include "app/HistoryModule.h"
#include "support/FakeMessenger.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ReadingsPrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        module.ProgramFolder = dir.path();
        module.CompanyTitle = QStringLiteral("TEST UTILITY");
        // A member timer: a preview that never opens leaves nothing pending behind the test.
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                previewTitle = preview->windowTitle();
                preview->reject();
            }
        });
        closer.start(0);
    }

    QTemporaryDir dir;
    HistoryModule module;
    FakeMessenger messenger;
    QString previewTitle;
    QTimer closer;
};

TEST_F(ReadingsPrintingTest, ShowsTheReadingsReport)
{
    const MRGridTable::Reading reading{"2017-04-28", "2017-05-01", "WA", 1234, 1300, 66, 10, "M-1"};
    EXPECT_TRUE(ReadingsPrinting::cmdPrint(module, messenger, {reading}, "10442", "RIVERSIDE MILL", nullptr));
    EXPECT_EQ(previewTitle, QStringLiteral("Meter Readings"));
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(ReadingsPrintingTest, AnEmptyListPrintsNothingAndSaysSo)
{
    TestSuite suite;
    module.BillingDbPath = suite.billingPath();
    module.CustKey = 1;
    module.LocKey = 10;
    EXPECT_FALSE(ReadingsPrinting::cmdPrint(module, messenger, "10442", "RIVERSIDE MILL", nullptr));
    EXPECT_TRUE(previewTitle.isEmpty());
    ASSERT_EQ(messenger.texts(), QStringList{"There are no readings to print."});
    EXPECT_EQ(messenger.messages[0].title, QStringLiteral("NOTHING TO PRINT"));
}

} // namespace
