#include "journal/JournalFixture.h"

#include "journal/JournalBuilder.h"

namespace {

using JournalBuilderTest = JournalFixture;

TEST_F(JournalBuilderTest, OneDayHoldsEveryKindInRankOrder)
{
    const char* day = "2017-05-01";
    add("histcomments", {{"edate", day}, {"comment", "called about bill"}});
    add("[tbl deposit refund]", {{"date", day}, {"code", "DP"}, {"appliedtobill", 20}, {"returnedtocustomer", 30}});
    add("[tbl deposit]", {{"date", day}, {"code", "DP"}, {"amount", 50}});
    pay(day, "WA", 5, {{"pmttype", "CHECK"}, {"docno", "101"}});
    bill(day, "WA", 10, {{"comment", "May bill"}, {"adjusted", 0}});
    bill(day, "WA", -2.5, {{"comment", "credit"}, {"adjusted", -1}});
    reading(day, 100, 110, 10, 1, {{"readdate", "2017-04-28"}, {"chgout", 1}});
    reading(day, 500, 520, 20, 1, {{"readdate", "2017-04-28"}, {"chgout", -1}});

    const auto rows = build();
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(column(rows, &JournalRow::descr),
              (QStringList{"WATER MULT:1  -OLD METER-", "WATER MULT:1  +NEW METER+", "ADJ: credit", "May bill",
                           "CHECK 101", "Refundable Deposit", "20.00 applied to balances", "30.00 returned to customer",
                           "called about bill"}));
    EXPECT_EQ(column(rows, &JournalRow::rbal),
              (QStringList{"0.00", "0.00", "-2.50", "7.50", "2.50", "52.50", "52.50", "52.50", "52.50"}));
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].trow, static_cast<int>(i));
    EXPECT_EQ(QStringList({rows[0].bdate, rows[0].rdate, rows[0].prev}), (QStringList{day, "2017-04-28", "500"}));
    EXPECT_EQ(module.NoHistory, 0);
}

TEST_F(JournalBuilderTest, RunningBalanceFollowsPostingDatesExactly)
{
    // Twenty-eight charges of 0.10 in February: a sum of doubles would drift.
    for (int day = 1; day <= 28; ++day)
        bill(QDate(2017, 2, day).toString(Qt::ISODate), "WA", 0.1);
    pay("2017-05-03", "WA", 5, {{"pmttype", "CASH"}});
    bill("2017-05-02", "WA", -2.5, {{"comment", "adj"}, {"adjusted", -1}});
    bill("2017-05-01", "WA", 10, {{"comment", "bill"}});
    pay("2017-04-01", "WA", 5, {{"pmttype", "CASH"}});

    const auto rows = build();
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_EQ(rows[27].rbal, "2.80");
    EXPECT_EQ(column(rows, &JournalRow::rbal).mid(28), (QStringList{"-2.20", "7.80", "5.30", "0.30"}));
    EXPECT_EQ(column(rows, &JournalRow::chg).mid(28), (QStringList{"", "10.00", "-2.50", ""}));
}

TEST_F(JournalBuilderTest, ConsolidatedPaymentsJoinOneDocumentOfOneDay)
{
    for (const auto& [code, amount] : {std::pair{"WA", 12.5}, {"SW", 7.25}})
        pay("2017-05-01", code, amount, {{"pmttype", "CHECK"}, {"docno", "77"}});
    auto rows = build();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(column(rows, &JournalRow::tcode), (QStringList{"WA", "SW"}));

    JournalFlags consolidated;
    consolidated.ConsolidatePayments = JournalFlags::True;
    rows = build(consolidated);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(QStringList({rows[0].tcode, rows[0].pmt, rows[0].descr, rows[0].rbal}),
              (QStringList{"PMT", "19.75", "CHECK 77", "-19.75"}));
}

TEST_F(JournalBuilderTest, MultiplierScalesReadingsAndCutsTheDescription)
{
    reading("2017-05-01", 120, 135, 15, 10, {{"mrcomment", "EST"}});
    reading("2017-06-01", 135, 140, 5, 10);
    reading("2017-07-01", 7, 9, 2, QVariant());
    auto rows = build();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(
        QStringList({rows[0].descr, rows[0].prev, rows[0].pres}), (QStringList{"WATER EST MULT:10", "120", "135"}));

    JournalFlags applied;
    applied.MultApplied = JournalFlags::True;
    rows = build(applied);
    EXPECT_EQ(QStringList({rows[0].prev, rows[0].pres, rows[0].usage, rows[0].descr}),
              (QStringList{" 1200", " 1350", " 150", "EST"}));
    EXPECT_EQ(rows[1].descr, "WATER"); // nothing before MULT: so the code's description fills in
    EXPECT_EQ(rows[2].prev, "7"); // no multiplier: stored values kept
    EXPECT_EQ(rows[2].descr, "WATER MULT:");
}

TEST_F(JournalBuilderTest, CommentsHiddenLeaveBalancesAlone)
{
    bill("2017-05-01", "WA", 10);
    add("histcomments", {{"edate", "2017-05-02"}, {"comment", "note"}});
    add("acctedits", {{"chgdate", "2017-05-03"}, {"chgfield", " phone "}, {"chgfrom", "555"}, {"chgto", "556"}});
    auto rows = build();
    EXPECT_EQ(column(rows, &JournalRow::descr), (QStringList{"WATER", "note", "phone changed from 555 to 556"}));
    EXPECT_EQ(column(rows, &JournalRow::rbal), (QStringList{"10.00", "10.00", "10.00"}));

    JournalFlags hidden;
    hidden.HideComments = JournalFlags::True;
    rows = build(hidden);
    EXPECT_EQ(column(rows, &JournalRow::descr), (QStringList{"WATER"}));
}

TEST_F(JournalBuilderTest, LongestDescriptionCountsOnlyLongOnes)
{
    add("[tbl bill detail]", {{"date", "2017-05-01"}, {"code", "WA"}, {"comment", QString(29, QLatin1Char('x'))}});
    build();
    EXPECT_EQ(result.build.LongestDescr, 0.0f);
    add("[tbl bill detail]", {{"date", "2017-05-02"}, {"code", "WA"}, {"comment", QString(86, QLatin1Char('y'))}});
    build();
    EXPECT_EQ(result.build.LongestDescr, 86.0f);
    EXPECT_FLOAT_EQ(JournalBuilder::rowHeightTwips(86, 3100), 600.0f);
    EXPECT_FLOAT_EQ(JournalBuilder::rowHeightTwips(58, 2200), 600.0f);
    EXPECT_FLOAT_EQ(JournalBuilder::rowHeightTwips(0, 3100), 0.0f);
}

TEST_F(JournalBuilderTest, NoRowsMeansNoHistoryThenUndatedRowsComeFirstAndTextsStayWhole)
{
    EXPECT_TRUE(build().empty());
    EXPECT_TRUE(result.build.NoHistory);
    EXPECT_EQ(module.NoHistory, -1);
    bill("2017-05-01", "WA", 1, {{"comment", "O'Brien's 100% [fee] *"}});
    pay("2017-05-01", "WA", 1, {{"pmttype", QVariant()}, {"docno", "9"}});
    bill("2017-05-02", "ZZ", 1, {{"comment", QVariant()}});
    reading(QVariant(), 1, 2, 1, 1);
    bill("not a date", "SW", 1);
    const auto rows = build();
    EXPECT_EQ(column(rows, &JournalRow::bdate), (QStringList{"", "", "2017-05-01", "2017-05-01", "2017-05-02"}));
    EXPECT_EQ(
        column(rows, &JournalRow::descr), (QStringList{"WATER MULT:1", "SEWER", "O'Brien's 100% [fee] *", "9", ""}));
    EXPECT_EQ(module.NoHistory, 0);
}

} // namespace
