#include "platform/BandedReport.h"

#include <gtest/gtest.h>

namespace {

struct PagingCase {
    int header;
    int footer;
    int detail;
    size_t rows;
    int rowsPerPage;
    int pages;
};

TEST(BandedReport, DetailRowsFillThePagesBetweenHeaderAndFooter)
{
    // Letter paper with the default quarter-inch top and bottom margins: 15120 twips.
    const PagingCase cases[] = {
        {2085, 555, 255, 0, 48, 1},       {2085, 555, 255, 48, 48, 1},   {2085, 555, 255, 49, 48, 2},
        {2085, 555, 255, 10000, 48, 209}, {2085, 555, 1035, 100, 12, 9}, {0, 0, 15120, 3, 1, 3},
        {0, 0, 20000, 2, 1, 2},           {14000, 1000, 255, 5, 1, 5},
    };
    for (const PagingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.header << "/" << c.footer << "/" << c.detail << " x " << c.rows);
        BandedReport report;
        report.pageHeader.height = c.header;
        report.pageFooter.height = c.footer;
        report.detail.height = c.detail;
        report.rows.resize(c.rows);
        EXPECT_EQ(report.rowsPerPage(), c.rowsPerPage);
        EXPECT_EQ(report.pageCount(), c.pages);
    }
}

// Told before a page is drawn, naming the file.
TEST(BandedReport, UnwritableFileIsReported)
{
    BandedReport report;
    report.rows.resize(1);
    const Outcome written = report.writePdf("/nonexistent-folder/x.pdf");
    EXPECT_FALSE(written);
    EXPECT_TRUE(written.message().contains("/nonexistent-folder/x.pdf"));
}

} // namespace
