#include "journal/rptHistoryJournal.h"

#include "platform/SqlConnection.h"
#include "journal/JournalFixture.h"

#include <gtest/gtest.h>

namespace {

const char* const headings[] = {
    "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label10", "Label11"};
const char* const textBoxes[] = {
    "txtbdate", "txtrdate", "txttcode", "txtdescr", "txtprev", "txtpres", "txtusage", "txtchg", "txtpmt", "txtrbal"};

JournalPrintState stateWithWidths(std::array<float, 10> widths, float rowHeight = 0)
{
    JournalPrintState state;
    state.PrintColWidth = widths;
    state.PrintRowHeight = rowHeight;
    state.PrintHeaderText = QStringLiteral("Account: A1   John Smith\r\n12 Oak St, Springfield IL 62701  -  ACTIVE");
    return state;
}

struct LayoutCase {
    const char* name;
    std::array<float, 10> widths;
    std::array<int, 10> lefts;
};

class ColumnLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ColumnLayoutTest, ColumnsStandEdgeToEdgeWithHeadingsOverThem)
{
    const LayoutCase& c = GetParam();
    const BandedReport report = rptHistoryJournal::layout(QStringLiteral("TEST UTILITY"), stateWithWidths(c.widths));
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE(textBoxes[k]);
        const ReportItem* box = report.detail.find(QString::fromLatin1(textBoxes[k]));
        const ReportItem* heading = report.pageHeader.find(QString::fromLatin1(headings[k]));
        ASSERT_TRUE(box && heading);
        EXPECT_EQ(box->left, c.lefts[static_cast<size_t>(k)]);
        EXPECT_EQ(box->width, int(c.widths[static_cast<size_t>(k)]));
        EXPECT_EQ(box->column, k);
        EXPECT_EQ(heading->left, box->left);
        EXPECT_EQ(heading->width, box->width);
        EXPECT_EQ(heading->top, 1860);
        EXPECT_EQ(heading->height, 225);
    }
}

INSTANTIATE_TEST_SUITE_P(rptHistoryJournal, ColumnLayoutTest,
                         ::testing::Values(LayoutCase{"GridDefaults",
                                                      {1000, 1000, 800, 3100, 0, 900, 800, 900, 900, 900},
                                                      {630, 1630, 2630, 3430, 6530, 6530, 7430, 8230, 9130, 10030}},
                                           LayoutCase{"PreviousReadingsShown",
                                                      {1000, 1000, 800, 2200, 900, 900, 800, 900, 900, 900},
                                                      {630, 1630, 2630, 3430, 5630, 6530, 7430, 8230, 9130, 10030}},
                                           // The code column widened by 500: every column to its right moves 500 right.
                                           LayoutCase{"CodeWidened",
                                                      {1000, 1000, 1300, 3100, 0, 900, 800, 900, 900, 900},
                                                      {630, 1630, 2630, 3930, 7030, 7030, 7930, 8730, 9630, 10530}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(rptHistoryJournal, PageHeaderCarriesTitleAccountHeaderAndPageNumber)
{
    const BandedReport report = rptHistoryJournal::layout(
        QStringLiteral("RIVERSIDE WATER"), stateWithWidths(JournalPrintState::defaultColumnWidths(false)));
    EXPECT_EQ(report.caption, QStringLiteral("Customer History Journal"));
    EXPECT_EQ(report.pageWidth, 12240);
    EXPECT_EQ(report.pageHeight, 15840);
    EXPECT_EQ(report.pageHeader.height, 2085);
    EXPECT_EQ(report.pageFooter.height, 555);
    // "Previous" is headed flush left over its right-aligned numbers.
    EXPECT_EQ(report.pageHeader.find(QStringLiteral("Label6"))->alignment, Qt::AlignLeft);
    EXPECT_EQ(report.detail.find(QStringLiteral("txtprev"))->alignment, Qt::AlignRight);
    EXPECT_EQ(report.pageHeader.find(QStringLiteral("Label7"))->text, QStringLiteral("Present"));

    const ReportItem* title = report.pageHeader.find(QStringLiteral("Label12"));
    EXPECT_EQ(title->text, QStringLiteral("RIVERSIDE WATER  Customer History"));
    EXPECT_EQ(title->pointSize, 12);
    EXPECT_EQ(title->alignment, Qt::AlignHCenter);
    const ReportItem* header = report.pageHeader.find(QStringLiteral("Label1"));
    EXPECT_EQ(header->text, QStringLiteral("Account: A1   John Smith\n12 Oak St, Springfield IL 62701  -  ACTIVE"));
    EXPECT_EQ(header->alignment, Qt::AlignHCenter);
    EXPECT_EQ(report.pageHeader.find(QStringLiteral("Field1"))->kind, ReportItem::Kind::PageNumber);
}

struct HeightCase {
    float rowHeight;
    int detailHeight;
    int descriptionHeight;
};

TEST(rptHistoryJournal, DetailAndDescriptionTakeTheGridsRowHeight)
{
    const HeightCase cases[] = {{0, 255, 230}, {600, 600, 600}, {1034.5f, 1035, 1035}, {200, 255, 230}};
    for (const HeightCase& c : cases) {
        SCOPED_TRACE(c.rowHeight);
        const BandedReport report = rptHistoryJournal::layout(
            QString(), stateWithWidths(JournalPrintState::defaultColumnWidths(false), c.rowHeight));
        EXPECT_EQ(report.detail.height, c.detailHeight);
        const ReportItem* description = report.detail.find(QStringLiteral("txtdescr"));
        EXPECT_EQ(description->height, c.descriptionHeight);
        EXPECT_TRUE(description->wordWrap);
    }
}

class rptHistoryJournalRows : public JournalFixture {};

TEST_F(rptHistoryJournalRows, ReportStartReadsTheRangeWithShortDates)
{
    for (int month = 1; month <= 4; ++month)
        add("[tbl bill detail]",
            {{"date", QStringLiteral("2017-%1-01").arg(month, 2, 10, QLatin1Char('0'))},
             {"code", "WA"},
             {"amount", 10},
             {"comment", "Water"}});
    add("[tbl reading]",
        {{"billdate", "2017-02-01"},
         {"readdate", "2017-01-28"},
         {"code", "WA"},
         {"previous", 100},
         {"present", 120},
         {"usage", 20},
         {"multiplier", 1}});
    build();

    JournalPrintState state = stateWithWidths(JournalPrintState::defaultColumnWidths(false));
    state.PrintFirstRow = 1;
    state.PrintLastRow = 3;
    BandedReport started;
    ASSERT_TRUE(rptHistoryJournal::ReportStart(module, state, started));
    const BandedReport* report = &started;
    EXPECT_EQ(
        report->pageHeader.find(QStringLiteral("Label12"))->text, QStringLiteral("TEST UTILITY  Customer History"));
    ASSERT_EQ(report->rows.size(), 3u);
    // Row 1 is February's reading, which comes before the charge of its day.
    EXPECT_EQ(report->rows[0].mid(0, 3), (QStringList{"2/1/2017", "1/28/2017", "WA"}));
    EXPECT_EQ(report->rows[0].mid(4, 3), (QStringList{"100", "120", "20"}));
    EXPECT_EQ(report->rows[1].mid(0, 3), (QStringList{"2/1/2017", "", "WA"}));
    EXPECT_EQ(report->rows[1][7], QStringLiteral("10.00"));
    EXPECT_EQ(report->rows[1][9], QStringLiteral("20.00"));
    EXPECT_EQ(report->rows[2][0], QStringLiteral("3/1/2017"));
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
