#include "platform/BandedReport.h"

#include "support/PdfTools.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A report without rows still prints its one page: the header and the numbered footer.
TEST(BandedReportPdf, ReportWithoutRowsPrintsItsHeaderOnce)
{
    if (!PdfTools::available())
        GTEST_SKIP() << "poppler-utils is not installed";
    BandedReport report;
    report.pageHeader.height = 1000;
    report.pageHeader.items.push_back(
        ReportItem::label("Title", 630, 200, 10890, 315, "Numbered Lines", Qt::AlignHCenter));
    report.pageFooter.height = 400;
    ReportItem page = ReportItem::pageNumber("Page", 9000, 50, 2000, 230);
    page.text = "Page ";
    report.pageFooter.items.push_back(page);
    QTemporaryDir dir;
    const QString path = dir.filePath("empty.pdf");
    ASSERT_TRUE(report.writePdf(path));
    EXPECT_EQ(PdfTools::pageCount(path), 1);
    EXPECT_EQ(PdfTools::text(path).simplified(), "Numbered Lines Page 1");
}

} // namespace
