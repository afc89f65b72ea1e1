#include "journal/JournalFixture.h"

#include "journal/CodeBalances.h"

namespace {

class CodeBalancesTest : public JournalFixture {
protected:
    CodeBalances::Table balancesOn(const QDate& day)
    {
        build();
        EXPECT_TRUE(module.OpenWorkDb());
        CodeBalances balances;
        balances.load(module.WorkDb, 1, 10);
        CodeBalances::Table table = balances.compute(day);
        CodeBalances::store(module.WorkDb, table, 1, 10);
        return table;
    }

    static QStringList summary(const CodeBalances::Table& table)
    {
        QStringList lines;
        for (const auto& row : table.rows)
            lines << row.code + " " + row.totalcharges.toPlain() + " " + row.totalpaid.toPlain() + " "
                    + row.bal.toPlain();
        return lines;
    }
};

TEST_F(CodeBalancesTest, SumsEachKindUpToAndIncludingTheDate)
{
    add("[tbl balance]", {{"code", "WA"}, {"totalcharges", 999}, {"totalpaid", 999}});
    add("[tbl balance]", {{"code", "DP"}});
    add("[tbl balance]", {{"code", "SW"}});
    bill("2017-05-01", "WA", 10);
    bill("2017-05-02", "WA", -2.5, {{"adjusted", -1}});
    bill("2017-05-03", "WA", 100);
    pay("2017-05-02", "WA", 4);
    add("[tbl deposit]", {{"date", "2017-04-01"}, {"code", "DP"}, {"amount", 50}});
    add("[tbl deposit refund]",
        {{"date", "2017-05-02"}, {"code", "DP"}, {"appliedtobill", 5}, {"returnedtocustomer", 20}});
    bill("2017-05-01", "TR", 7); // no balance row
    add("[tbl bill detail]", {{"code", "WA"}, {"amount", 10}}); // undated: never counts

    const auto table = balancesOn(QDate(2017, 5, 2));
    EXPECT_EQ(
        summary(table),
        (QStringList{"DP 30.00 -20.00 50.00", "SW 0.00 0.00 0.00", "WA 7.50 4.00 3.50", "TOTAL 37.50 -16.00 53.50"}));
    EXPECT_TRUE(table.hasTotal);
    // TOTAL names the account as the code rows do.
    const QVariantList& total = table.rows.back().values;
    EXPECT_EQ(
        QVariantList({total.value(table.columns.indexOf("custkey")), total.value(table.columns.indexOf("lockey"))}),
        (QVariantList{1, 10}));
    EXPECT_EQ(table.total.toDollars(), "$53.50");
    EXPECT_EQ(module.WorkDb.scalar("select group_concat(code || custkey || ' ' || bal, ',') from baltemp").toString(),
              "DP1 50,SW1 0,WA1 3.5,TOTAL1 53.5");
    module.CloseWorkDb();
    // Before any activity every code is zero.
    EXPECT_EQ(summary(balancesOn(QDate(2017, 3, 31))),
              (QStringList{"DP 0.00 0.00 0.00", "SW 0.00 0.00 0.00", "WA 0.00 0.00 0.00", "TOTAL 0.00 0.00 0.00"}));
    module.CloseWorkDb();
    // Without balance rows only the total shows.
    suite.exec("delete from [tbl balance]");
    const auto none = balancesOn(QDate(2017, 5, 1));
    EXPECT_FALSE(none.hasTotal);
    EXPECT_EQ(summary(none), QStringList{"TOTAL 0.00 0.00 0.00"});
    module.CloseWorkDb();
}

} // namespace
