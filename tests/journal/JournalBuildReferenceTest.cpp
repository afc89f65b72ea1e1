#include "journal/JournalFixture.h"

#include "journal/JournalBuilder.h"
#include "journal/JournalMultiplier.h"
#include "journal/PendingJournalTable.h"

#include <QSqlQuery>

namespace {

// The one-pass build must leave jurn, the rows in memory and the row height as the plain
// statement sequence it replaces does, over rows drawn from small hostile pools.
class JournalBuildReferenceTest : public JournalFixture {
protected:
    void SetUp() override
    {
        JournalFixture::SetUp();
        suite.exec("insert into [lkup transaction code] (code, description, tgkey) values "
                   "('NODESC', null, 1), ('EMPTY', '', 1), ('LONG', 'A DESCRIPTION LONG ENOUGH TO WRAP TWICE', 1), "
                   "('METER', 'meter mult: code', 1)");
        // clang-format off
        const QVariant dates[] = {"2017-05-01", "5/1/2017", "2017-05-01 13:45:00", QVariant(), "not a date", "2017-04-30", "12/31/16", "2018-01-15"};
        const QVariant codes[] = {"WA", "SW", "ZZ", QVariant(), "NODESC", "EMPTY", "LONG", "METER"};
        const QVariant amounts[] = {10, 0.075, -2.5, "12.5", "abc", QVariant(), 1e6 + 0.01, 33.8};
        const QVariant multipliers[] = {10, 1, QVariant(), 0, "abc", 2.5, "100", 10};
        const QVariant comments[] = {"note", QVariant(), "", "  spaced  ", "O'Brien's [x] *", "est mult:3", QString(40, QLatin1Char('w')), "MULT:"};
        const QVariant readings[] = {120, 135.5, QVariant(), "77", 0, -5, 1e9, "x1"};
        // clang-format on
        uint32_t random = 2024;
        auto pick = [&random](const auto& pool) -> const QVariant& {
            random = random * 1103515245u + 12345u;
            return pool[(random >> 16) % std::size(pool)];
        };
        suite.exec("begin");
        for (int i = 0; i < 60; ++i) {
            const QVariant chgout = i % 7 == 0 ? QVariant(-1)
                : i % 7 == 1                   ? QVariant(1)
                : i % 3                        ? QVariant(0)
                                               : QVariant();
            // clang-format off
            add("[tbl reading]", {P{"billdate", pick(dates)}, P{"readdate", pick(dates)}, P{"code", pick(codes)}, P{"previous", pick(readings)},
                P{"present", pick(readings)}, P{"usage", pick(readings)}, P{"multiplier", pick(multipliers)}, P{"mrcomment", pick(comments)}, P{"chgout", chgout}});
            add("[tbl bill detail]", {P{"date", pick(dates)}, P{"code", pick(codes)}, P{"comment", pick(comments)}, P{"amount", pick(amounts)}, P{"adjusted", i % 4 == 0 ? -1 : 0}});
            add("[tbl payment detail]", {P{"date", pick(dates)}, P{"code", pick(codes)}, P{"pmttype", i % 5 ? QVariant("CHECK") : QVariant()}, P{"docno", QString::number(100 + i % 9)}, P{"amount", pick(amounts)}});
            if (i % 6 == 0) {
                add("[tbl deposit]", {P{"date", pick(dates)}, P{"code", "DP"}, P{"amount", pick(amounts)}});
                add("[tbl deposit refund]", {P{"date", pick(dates)}, P{"code", "DP"}, P{"appliedtobill", pick(amounts)}, P{"returnedtocustomer", pick(amounts)}});
            }
            add("histcomments", {P{"edate", pick(dates)}, P{"comment", pick(comments)}});
            if (i % 10 == 0)
                add("acctedits", {P{"chgdate", pick(dates)}, P{"chgfield", " phone "}, P{"chgfrom", pick(comments)}, P{"chgto", pick(readings)}});
            // clang-format on
        }
        suite.exec("commit");
    }
    // Every row of jurn with each value's storage class, in stored order.
    QStringList table()
    {
        QStringList rows;
        QSqlQuery q = module.WorkDb.query(
            "select rowid, bdate, typeof(bdate), rdate, tcode, descr, typeof(descr), prev, typeof(prev), pres, usage, "
            "chg, pmt, rbal, typeof(rbal), dorder, typeof(dorder), mult, typeof(mult), trow, typeof(trow) "
            "from jurn order by rowid");
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < 21; ++i)
                values << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
            rows << values.join(QLatin1Char('|'));
        }
        return rows;
    }
    // The plain sequence over the staged rows the build left in prejurn.
    float buildByReference(const JournalFlags& flags)
    {
        module.ExecWork("delete from jurn");
        EXPECT_TRUE(module.ExecWork(
            "insert into jurn (bdate, rdate, tcode, descr, prev, pres, usage, chg, pmt, rbal, dorder, mult, trow) "
            "select bdate, rdate, tcode, descr, prev, pres, usage, chg, pmt, "
            // No balance from the first amount that is no money on.
            "case when max(moneydelta(chg, pmt) is null) over journal then null "
            "else moneytext(sum(moneydelta(chg, pmt)) over journal) end, "
            "dorder, mult, row_number() over journal - 1 "
            "from prejurn window journal as (order by bdate, dorder, rowid rows unbounded preceding) "
            "order by bdate, dorder, rowid"))
            << module.WorkDb.outcome().message().toStdString();
        if (flags.MultApplied)
            JournalBuilder::applyMultiplier(module);
        const float longest = module.WorkDb.scalar("select max(len(descr)) from jurn where len(descr) > 29").toFloat();
        EXPECT_TRUE(module.ExecWork("update jurn set descr = lutc.description from lutc "
                                    "where jurn.tcode = lutc.code and (jurn.descr is null or jurn.descr = '')"));
        EXPECT_TRUE(module.ExecWork("update jurn set descr = vbjoin(lutc.description, ' ', jurn.descr) from lutc "
                                    "where jurn.tcode = lutc.code and jurn.descr like '*MULT:*'"));
        return longest;
    }
};

// What the grid shows of each row, with NULL told apart from empty text, and the row's multiplier and number.
QStringList shown(const std::vector<JournalRow>& rows)
{
    QStringList lines;
    for (const JournalRow& row : rows) {
        QStringList values{row.mult, QString::number(row.trow)};
        for (int column = 0; column < JournalModel::ColumnCount; ++column)
            values << JournalModel::displayText(row, column);
        for (const QString* text : {&row.descr, &row.prev, &row.pres, &row.usage})
            values << (text->isNull() ? QStringLiteral("<null>") : QStringLiteral("."));
        lines << values.join(QLatin1Char('|'));
    }
    return lines;
}

int16_t flag(bool on)
{
    return on ? JournalFlags::True : JournalFlags::False;
}

TEST_F(JournalBuildReferenceTest, OnePassLeavesWhatThePlainStatementsLeave)
{
    const struct {
        const char* name;
        bool mult, consolidate, hide;
    } views[] = {{"plain", false, false, false},
                 {"multiplier", true, false, false},
                 {"consolidated without comments", false, true, true},
                 {"all", true, true, true}};
    for (const auto& [name, mult, consolidate, hide] : views) {
        SCOPED_TRACE(name);
        JournalFlags flags;
        flags.MultApplied = flag(mult);
        flags.ConsolidatePayments = flag(consolidate);
        flags.HideComments = flag(hide);
        const std::vector<JournalRow> kept = build(flags);
        ASSERT_GT(kept.size(), 150u);
        ASSERT_TRUE(module.OpenWorkDb());
        const QStringList written = table();
        EXPECT_EQ(result.build.LongestDescr, buildByReference(flags));
        EXPECT_EQ(written, table());
        const std::vector<JournalRow> reread = JournalModel::read(module.WorkDb);
        module.CloseWorkDb();
        ASSERT_EQ(shown(kept), shown(reread));
    }
}

// Rescaled in memory at once and in jurn only later, the rows must agree after every click,
// including a second Apply in a row, which changes nothing (descriptions already cut hold no "MULT:").
TEST_F(JournalBuildReferenceTest, MultiplierSwitchInMemoryLeavesWhatTheUpdateLeaves)
{
    using S = JournalMultiplier::Step;
    const std::vector<std::pair<S, bool>> fromRemoved{
        {S::Apply, true}, {S::Remove, true}, {S::Remove, true}, {S::Apply, true}, {S::Apply, false}};
    for (const bool builtApplied : {false, true}) {
        JournalFlags flags;
        flags.MultApplied = flag(builtApplied);
        std::vector<JournalRow> kept = build(flags);
        PendingJournalTable behind;
        for (size_t i = builtApplied ? 2 : 0; i < fromRemoved.size(); ++i) {
            SCOPED_TRACE(testing::Message() << builtApplied << " step " << i);
            const QStringList before = shown(kept);
            const auto [step, changes] = fromRemoved[i];
            EXPECT_EQ(JournalMultiplier::rescale(kept, step), changes);
            EXPECT_EQ(before != shown(kept), changes);
            behind.switched(step);
            ASSERT_TRUE(behind.catchUp(module) && !behind.behind() && module.OpenWorkDb());
            const std::vector<JournalRow> updated = JournalModel::read(module.WorkDb);
            module.CloseWorkDb();
            ASSERT_EQ(shown(kept), shown(updated));
        }
    }
}

} // namespace
