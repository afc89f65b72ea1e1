#include "journal/rptHistoryJournal.h"

#include "platform/SqlConnection.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

JournalPrintState stateWithWidths(std::array<float, 10> widths, float rowHeight = 0)
{
    JournalPrintState state;
    state.PrintColWidth = widths;
    state.PrintRowHeight = rowHeight;
    state.PrintHeaderText = QStringLiteral("Account: A1   John Smith\r\n12 Oak St, Springfield IL 62701  -  ACTIVE");
    return state;
}

TEST(rptHistoryJournal, ColumnsStandEdgeToEdgeWithHeadingsOverThem)
{
    // clang-format off
    struct Case { const char* name; std::array<float, 10> widths; std::array<int, 10> lefts; } cases[] = {
        {"grid defaults", {1000, 1000, 800, 3100, 0, 900, 800, 900, 900, 900}, {630, 1630, 2630, 3430, 6530, 6530, 7430, 8230, 9130, 10030}},
        // The code column widened by 500: every column to its right moves 500 right.
        {"code widened", {1000, 1000, 1300, 2200, 900, 900, 800, 900, 900, 900}, {630, 1630, 2630, 3930, 6130, 7030, 7930, 8730, 9630, 10530}}};
    const char* const boxes[] = {"txtbdate", "txtrdate", "txttcode", "txtdescr", "txtprev", "txtpres", "txtusage", "txtchg", "txtpmt", "txtrbal"};
    // clang-format on
    for (const Case& c : cases) {
        const BandedReport report =
            rptHistoryJournal::layout(QStringLiteral("TEST UTILITY"), stateWithWidths(c.widths));
        for (size_t k = 0; k < 10; ++k) {
            SCOPED_TRACE(testing::Message() << c.name << " " << boxes[k]);
            const ReportItem* box = report.detail.find(QString::fromLatin1(boxes[k]));
            const ReportItem* heading = report.pageHeader.find(QStringLiteral("Label%1").arg(k + 2));
            ASSERT_TRUE(box && heading);
            EXPECT_EQ(std::tuple(box->left, box->width, box->column), std::tuple(c.lefts[k], int(c.widths[k]), int(k)));
            EXPECT_EQ(std::pair(heading->left, heading->width), std::pair(box->left, box->width));
        }
    }
}

TEST(rptHistoryJournal, DetailAndDescriptionTakeTheGridsRowHeight)
{
    const struct {
        float rowHeight;
        int detailHeight, descriptionHeight;
    } cases[] = {{0, 255, 230}, {600, 600, 600}, {1034.5f, 1035, 1035}, {200, 255, 230}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rowHeight);
        const BandedReport report = rptHistoryJournal::layout(
            QString(), stateWithWidths(JournalPrintState::defaultColumnWidths(false), c.rowHeight));
        EXPECT_EQ(report.detail.height, c.detailHeight);
        const ReportItem* description = report.detail.find(QStringLiteral("txtdescr"));
        EXPECT_EQ(description->height, c.descriptionHeight);
        EXPECT_TRUE(description->wordWrap);
    }
}

TEST(rptHistoryJournal, RowsBeyondSixteenBitNumbersAreRead)
{
    QTemporaryDir dir;
    SqlConnection work = SqlConnection::open(dir.filePath("work.mdb"), SqlConnection::Mode::CreateIfMissing);
    ASSERT_TRUE(work.exec("create table jurn (bdate text, rdate text, tcode text, descr text, prev text, pres text, "
                          "usage text, chg text, pmt text, rbal text, dorder single, mult text, trow integer)"));
    ASSERT_TRUE(work.exec("with recursive n(i) as (select 0 union all select i + 1 from n where i < 39999) "
                          "insert into jurn (bdate, descr, trow) select '2017-05-01', 'row ' || i, i from n"));
    const auto rows = rptHistoryJournal::readRows(work, 32760, 39999);
    ASSERT_EQ(rows.size(), 7240u);
    EXPECT_EQ(rows.front()[3], QStringLiteral("row 32760"));
    EXPECT_EQ(rows.back()[3], QStringLiteral("row 39999"));
}

} // namespace
