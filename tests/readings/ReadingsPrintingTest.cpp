#include "readings/widgets/ReadingsPrinting.h"

#include "app/HistoryModule.h"
#include "support/FakeMessenger.h"
#include "support/TestSuite.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(ReadingsPrinting, ShowsTheReportOrSaysThereIsNothingToPrint)
{
    TestSuite suite;
    HistoryModule module;
    module.ProgramFolder = suite.folder();
    module.BillingDbPath = suite.billingPath();
    module.CustKey = 1;
    module.LocKey = 10;
    FakeMessenger messenger;
    QString previewTitle;
    // The preview runs its own event loop: it is looked for until it shows, then closed.
    QTimer closer;
    closer.callOnTimeout([&] {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            previewTitle = preview->windowTitle();
            preview->reject();
        }
    });
    closer.start(10);
    EXPECT_FALSE(ReadingsPrinting::cmdPrint(module, messenger, "10442", "RIVERSIDE MILL", nullptr));
    EXPECT_TRUE(previewTitle.isEmpty());
    ASSERT_EQ(messenger.texts(), QStringList{"There are no readings to print."});
    EXPECT_EQ(messenger.messages[0].title, QStringLiteral("NOTHING TO PRINT"));

    messenger.messages.clear();
    const MRGridTable::Reading reading{"2017-04-28", "2017-05-01", "WA", 1234, 1300, 66, 10, "M-1"};
    EXPECT_TRUE(ReadingsPrinting::cmdPrint(module, messenger, {reading}, "10442", "RIVERSIDE MILL", nullptr));
    EXPECT_EQ(previewTitle, QStringLiteral("Meter Readings"));
    EXPECT_TRUE(messenger.messages.isEmpty());
}

} // namespace
