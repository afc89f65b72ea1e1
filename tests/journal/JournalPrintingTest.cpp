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

// Sixty charges, one a day from New Year's Day 2017.
class JournalPrintingTest : public JournalFixture {
protected:
    void SetUp() override
    {
        JournalFixture::SetUp();
        for (int i = 0; i < 60; ++i)
            bill(QDate(2017, 1, 1).addDays(i).toString(Qt::ISODate), "WA", 10,
                 {{"comment", QStringLiteral("Charge %1").arg(i)}});
        ASSERT_EQ(build().size(), 60u);
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

    FakeMessenger messenger;
};

TEST_F(JournalPrintingTest, PdfHoldsTheRangeOnAsManyPagesAsTheReportCounts)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath("journal.pdf");
    int pages = 0;
    const Outcome written = rptHistoryJournal::writePdf(module, state(10, 58), path, &pages);
    ASSERT_TRUE(written) << written.message().toStdString();
    EXPECT_EQ(pages, 2); // 49 rows, 48 a page
    EXPECT_EQ(PdfTools::pageCount(path), 2);
    EXPECT_TRUE(PdfTools::run("pdfinfo", {path}).contains("612 x 792 pts (letter)"));

    const QString text = PdfTools::text(path);
    // pdftotext lays the page out again, so blanks between words are not counted.
    EXPECT_EQ(text.count(QRegularExpression("TEST UTILITY\\s+Customer History")), 2);
    EXPECT_EQ(text.count("Account: A1"), 2);
    EXPECT_EQ(text.count(QRegularExpression("Charge \\d+")), 49);
    EXPECT_FALSE(text.contains(QRegularExpression("Charge 9\\b")));
    EXPECT_TRUE(text.contains(QRegularExpression("1/11/2017\\s+WA\\s+Charge 10\\s+10.00\\s+110.00")));
    EXPECT_TRUE(text.contains(QRegularExpression("Charge 58\\b")));
    EXPECT_FALSE(text.contains(QRegularExpression("Charge 59\\b")));
}

TEST_F(JournalPrintingTest, PrintShowsTheJournalInThePreviewOrTellsWhyNot)
{
    QString title;
    int pages = 0;
    QTimer closer; // a member of the test: a preview that never opens leaves nothing pending
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            title = preview->windowTitle();
            pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
            preview->reject();
        }
    });
    closer.start(0);
    JournalPrinting::print(module, messenger, state(0, 59), nullptr);
    EXPECT_EQ(title, QStringLiteral("Customer History Journal"));
    EXPECT_EQ(pages, 2);
    EXPECT_TRUE(messenger.messages.isEmpty());
    module.WorkDbPath = suite.filePath("gone.mdb");
    JournalPrinting::print(module, messenger, state(0, 0), nullptr);
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].title, QStringLiteral("CANNOT PRINT"));
}

} // namespace
