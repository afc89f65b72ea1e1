#include "platform/BandedReport.h"

#include "support/PdfTools.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

BandedReport numberedReport(size_t rows)
{
    BandedReport report;
    report.caption = QStringLiteral("Numbers");
    report.pageHeader.height = 1000;
    report.pageHeader.items.push_back(ReportItem::label("Title", 630, 200, 10890, 315, "Numbered Lines", Qt::AlignHCenter));
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

TEST(BandedReportPdf, WritesEveryRowOnLetterPagesWithPageNumbers)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath("numbers.pdf");
    const BandedReport report = numberedReport(100);
    int pages = 0;
    QString error;
    ASSERT_TRUE(report.writePdf(path, &error, &pages)) << error.toStdString();
    EXPECT_EQ(pages, report.pageCount());
    EXPECT_EQ(PdfTools::pageCount(path), pages);
    EXPECT_TRUE(PdfTools::pageSize(path).startsWith("612 x 792")) << PdfTools::pageSize(path).toStdString();

    const QString text = PdfTools::text(path);
    EXPECT_EQ(text.count("Numbered Lines"), pages);
    for (int row : {1, 47, 48, 100})
        EXPECT_TRUE(text.contains(QStringLiteral("line %1\n").arg(row)) || text.contains(QStringLiteral("line %1 ").arg(row)))
            << row;
    EXPECT_TRUE(PdfTools::text(path, pages, pages).contains(QStringLiteral("Page %1").arg(pages)));
}

TEST(BandedReportPdf, ReportWithoutRowsPrintsItsHeaderOnce)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.pdf");
    ASSERT_TRUE(numberedReport(0).writePdf(path));
    EXPECT_EQ(PdfTools::pageCount(path), 1);
    EXPECT_TRUE(PdfTools::text(path).contains("Numbered Lines"));
}

TEST(BandedReportPdf, UnwritableFileIsReported)
{
    QString error;
    EXPECT_FALSE(numberedReport(1).writePdf("/nonexistent-folder/x.pdf", &error));
    EXPECT_TRUE(error.contains("/nonexistent-folder/x.pdf"));
}

} // namespace
