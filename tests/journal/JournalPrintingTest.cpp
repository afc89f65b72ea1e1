#include "journal/widgets/JournalPrinting.h"

#include "journal/JournalFixture.h"
#include "journal/rptHistoryJournal.h"
#include "support/FakeMessenger.h"
#include "support/PdfTools.h"

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

namespace {

class JournalPrintingTest : public JournalFixture {
protected:
    void addCharges(int count)
    {
        const QDate start(2017, 1, 1);
        for (int i = 0; i < count; ++i)
            add("[tbl bill detail]",
                {{"date", start.addDays(i).toString(Qt::ISODate)},
                 {"code", "WA"},
                 {"amount", 10},
                 {"comment", QStringLiteral("Charge %1").arg(i)}});
    }

    JournalPrintState state(int first, int last) const
    {
        JournalPrintState printState;
        printState.PrintHeaderText = result.header.label;
        printState.PrintColWidth = JournalPrintState::defaultColumnWidths(false);
        printState.PrintFirstRow = first;
        printState.PrintLastRow = last;
        return printState;
    }

    // Closes the preview once it is up and remembers its title.
    void closePreviewWhenShown()
    {
        // A member timer: a preview that never opens leaves nothing pending behind the test.
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                previewTitle = preview->windowTitle();
                if (auto* pages = preview->findChild<QPrintPreviewWidget*>())
                    previewPages = pages->pageCount();
                preview->reject();
            }
        });
        closer.start(0);
    }

    FakeMessenger messenger;
    QString previewTitle;
    int previewPages = 0;
    QTimer closer;
};

TEST_F(JournalPrintingTest, PdfHoldsTheRangeOnAsManyPagesAsTheReportCounts)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    addCharges(150);
    ASSERT_EQ(build().size(), 150u);

    QTemporaryDir dir;
    const QString path = dir.filePath("journal.pdf");
    int pages = 0;
    const Outcome written = rptHistoryJournal::writePdf(module, state(10, 129), path, &pages);
    ASSERT_TRUE(written) << written.message().toStdString();
    EXPECT_EQ(pages, 3); // 120 rows, 48 a page
    EXPECT_EQ(PdfTools::pageCount(path), 3);
    EXPECT_TRUE(PdfTools::run("pdfinfo", {path}).contains("612 x 792 pts (letter)"));

    const QString text = PdfTools::text(path);
    // pdftotext lays the page out again, so blanks between words are not counted.
    EXPECT_EQ(text.count(QRegularExpression("TEST UTILITY\\s+Customer History")), 3);
    EXPECT_EQ(text.count("Account: A1"), 3);
    EXPECT_EQ(text.count(QRegularExpression("Charge \\d+")), 120);
    EXPECT_FALSE(text.contains(QRegularExpression("Charge 9\\b")));
    EXPECT_TRUE(text.contains(QRegularExpression("1/11/2017\\s+WA\\s+Charge 10\\s+10.00\\s+110.00")));
    EXPECT_TRUE(text.contains(QRegularExpression("Charge 129\\b")));
    EXPECT_FALSE(text.contains(QRegularExpression("Charge 130\\b")));
}

TEST_F(JournalPrintingTest, PrintShowsTheJournalInThePreview)
{
    addCharges(60);
    build();
    closePreviewWhenShown();
    JournalPrinting::print(module, messenger, state(0, 59), nullptr);
    EXPECT_EQ(previewTitle, QStringLiteral("Customer History Journal"));
    EXPECT_EQ(previewPages, 2);
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(JournalPrintingTest, CancelShowsNoPreview)
{
    addCharges(3);
    const auto rows = build();
    messenger.answers = {Messenger::Answer::Cancel};
    JournalPrintState printState = state(0, 0);
    closePreviewWhenShown();
    EXPECT_FALSE(JournalPrinting::cmdPrint(module, messenger, printState, {1}, PrintRange(), rows, nullptr));
    EXPECT_TRUE(previewTitle.isEmpty());
    EXPECT_EQ(messenger.messages.size(), 1);
}

TEST_F(JournalPrintingTest, AMissingScratchDatabaseIsReported)
{
    module.WorkDbPath = suite.filePath("gone.mdb");
    JournalPrinting::print(module, messenger, state(0, 0), nullptr);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].title, QStringLiteral("CANNOT PRINT"));
}

} // namespace
