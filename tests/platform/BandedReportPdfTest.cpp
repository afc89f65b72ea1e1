#include "platform/BandedReport.h"

#include "support/PdfTools.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A header, a two-column detail and a footer with the page number.
BandedReport numberedReport(size_t rows)
{
    BandedReport report;
    report.caption = QStringLiteral("Numbers");
    report.pageHeader.height = 1000;
    report.pageHeader.items.push_back(
        ReportItem::label("Title", 630, 200, 10890, 315, "Numbered Lines", Qt::AlignHCenter));
    report.pageHeader.items.push_back(ReportItem::line("Rule", 615, 900, 11595, 900));
    report.detail.height = 300;
    report.detail.items.push_back(ReportItem::field("Number", 630, 20, 2000, 230, 0));
    report.detail.items.push_back(ReportItem::field("Text", 2630, 20, 3000, 230, 1, Qt::AlignRight));
    report.pageFooter.height = 400;
    ReportItem page = ReportItem::pageNumber("Page", 9000, 50, 2000, 230);
    page.text = "Page ";
    report.pageFooter.items.push_back(page);
    for (size_t i = 0; i < rows; ++i)
        report.rows.push_back({QStringLiteral("line %1").arg(i + 1), i % 2 ? QString() : QStringLiteral("even")});
    return report;
}

TEST(BandedReportPdf, ReportWithoutRowsPrintsItsHeaderOnce)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.pdf");
    ASSERT_TRUE(numberedReport(0).writePdf(path));
    EXPECT_EQ(PdfTools::pageCount(path), 1);
    const QString text = PdfTools::text(path);
    EXPECT_TRUE(text.contains("Numbered Lines"));
    EXPECT_TRUE(text.contains("Page 1"));
}

TEST(BandedReportPdf, UnwritableFileIsReported)
{
    const Outcome written = numberedReport(1).writePdf("/nonexistent-folder/x.pdf");
    EXPECT_FALSE(written);
    EXPECT_TRUE(written.message().contains("/nonexistent-folder/x.pdf"));
}

} // namespace
