#include "journal/AccountExtraction.h"

#include "journal/JournalFixture.h"

#include <QFileInfo>

namespace {

class AccountExtractionTest : public JournalFixture {
protected:
    void SetUp() override
    {
        JournalFixture::SetUp();
        suite.addAccount(2, 20);
        // Customer 1 has a second location; its account edits show on both.
        suite.insert("[tbl location]", {{"lockey", 11}, {"custkey", 1}, {"ID", "L11"}});
        // clang-format off
        const std::pair<const char*, Row> rows[] = {
            {"[tbl reading]", {{"billdate", "2017-05-01"}, {"previous", 1}}}, {"[tbl bill detail]", {{"date", "2017-05-01"}, {"amount", 1}}},
            {"[tbl payment detail]", {{"date", "2017-05-01"}, {"amount", 1}}}, {"[tbl deposit]", {{"date", "2017-05-01"}, {"amount", 1}}},
            {"[tbl deposit refund]", {{"date", "2017-05-01"}, {"appliedtobill", 1}}}, {"[tbl balance]", {{"code", "WA"}}},
            {"histcomments", {{"edate", "2017-05-01"}, {"comment", "c"}}}, {"acctedits", {{"chgdate", "2017-05-01"}}}};
        // clang-format on
        for (auto [cust, loc] : {std::pair{1, 10}, {1, 11}, {2, 20}})
            for (const auto& [table, row] : rows)
                suite.insert(table, with({{"custkey", cust}, {"lockey", loc}}, row));
    }

    int count(const QString& table) { return module.WorkDb.scalar("select count(*) from " + table).toInt(); }
};

TEST_F(AccountExtractionTest, CopiesExactlyTheAccountsRows)
{
    ASSERT_FALSE(QFileInfo::exists(module.WorkDbPath));
    const auto result = AccountExtraction::run(module);
    ASSERT_TRUE(result.outcome) << result.outcome.message().toStdString();
    ASSERT_TRUE(module.WorkDb.isOpen());
    const std::map<QString, int> expected = {{"cust", 1},   {"loc", 1}, {"bd", 1},   {"mr", 1}, {"pd", 1},  {"dep", 1},
                                             {"depref", 1}, {"bal", 1}, {"hcom", 1}, {"ae", 2}, {"lutc", 3}};
    for (const QString& table : AccountExtraction::workTables())
        EXPECT_EQ(count(table), expected.at(table)) << table.toStdString();
    EXPECT_EQ(module.WorkDb.scalar("select distinct lockey from loc").toInt(), 10);
    // Whole rows, every column as stored (the counts above say none is missing).
    ASSERT_TRUE(module.WorkDb.attach(module.BillingDbPath, "billing"));
    for (const auto& [work, source] :
         {std::pair{"mr", "[tbl reading]"}, {"ae", "acctedits"}, {"cust", "[tbl customer]"}}) {
        const QVariant differing = module.WorkDb.scalar(
            QStringLiteral("select count(*) from (select * from %1 except select * from billing.%2)")
                .arg(work, source));
        EXPECT_EQ(differing, QVariant(qlonglong(0))) << work;
    }
    module.WorkDb.detach("billing");
}

TEST_F(AccountExtractionTest, ReloadReplacesTheAccountButKeepsTheFirstCodeTable)
{
    ASSERT_TRUE(AccountExtraction::run(module).outcome);
    module.WorkDb.exec("create table histsrch (custkey long, lockey long)");
    module.CloseWorkDb();
    suite.exec("update [lkup transaction code] set description = 'CHANGED'");
    module.CustKey = 2;
    module.LocKey = 20;
    ASSERT_TRUE(AccountExtraction::run(module).outcome);
    EXPECT_EQ(module.WorkDb.scalar("select custkey from cust").toInt(), 2);
    EXPECT_EQ(count("ae"), 1);
    EXPECT_EQ(module.WorkDb.scalar("select count(*) from lutc where description = 'CHANGED'").toInt(), 0);
    EXPECT_TRUE(module.WorkDb.tableExists("histsrch"));
}

TEST_F(AccountExtractionTest, AnAccountWithoutRowsGetsEmptyTables)
{
    module.CustKey = 99;
    module.LocKey = 99;
    ASSERT_TRUE(AccountExtraction::run(module).outcome);
    for (const QString& table : AccountExtraction::workTables()) {
        EXPECT_TRUE(module.WorkDb.tableExists(table)) << table.toStdString();
        EXPECT_EQ(count(table) == 0, table != "lutc") << table.toStdString();
    }
}

} // namespace
