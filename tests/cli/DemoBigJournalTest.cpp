#include "BillingQueries.h"
#include "app/HistoryModule.h"
#include "app/Main.h"
#include "demosuite/DemoSuite.h"
#include "journal/JournalLoader.h"
#include "support/FakeMessenger.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace {

using BillingQueries::number;

class DemoBigJournalTest : public ::testing::Test {
protected:
    static DemoOptions options(uint64_t seed)
    {
        DemoOptions options;
        options.locations = 25;
        options.years = 0;
        options.seed = seed;
        options.bigJournals = {800, 80};
        return options;
    }
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<QTemporaryDir>();
        s_summary = DemoSuite::write(s_folder->path(), options(5));
    }
    static void TearDownTestSuite() { s_folder.reset(); }
    void SetUp() override
    {
        ASSERT_TRUE(s_summary.outcome.ok()) << s_summary.outcome.message().toStdString();
        m_db = SqlConnection::open(s_summary.billingPath);
        ASSERT_TRUE(m_db.isOpen()) << m_db.outcome().message().toStdString();
    }
    int64_t count(const std::string& table, int index)
    {
        const QStringList key = s_summary.bigAccounts.value(index).split(QLatin1Char('-'));
        const std::string sql = "select count(*) from " + table + " where custkey = " + key.value(0).toStdString()
            + " and lockey = " + key.value(1).toStdString();
        return number(m_db, sql.c_str());
    }

    static inline std::unique_ptr<QTemporaryDir> s_folder;
    static inline DemoSummary s_summary;
    SqlConnection m_db;
};

TEST_F(DemoBigJournalTest, KeysFollowTheGeneratedAccounts)
{
    const int64_t customers = s_summary.customers;
    EXPECT_EQ(s_summary.locations, 25);
    EXPECT_EQ(s_summary.bigAccounts,
              (QStringList{QStringLiteral("%1-26").arg(customers + 1), QStringLiteral("%1-27").arg(customers + 2)}));
    EXPECT_EQ(number(m_db, "select count(*) from [tbl location]"), 27);
}

struct Share {
    const char* table;
    int perEight;
};

TEST_F(DemoBigJournalTest, EveryEightRowsHoldAReadingFourChargesTwoPaymentsAComment)
{
    const Share shares[] = {
        {"[tbl reading]", 1}, {"[tbl bill detail]", 4}, {"[tbl payment detail]", 2}, {"histcomments", 1}};
    for (const auto& [table, perEight] : shares) {
        EXPECT_EQ(count(table, 0), 100 * perEight) << table;
        EXPECT_EQ(count(table, 1), 10 * perEight) << table;
    }
    EXPECT_EQ(number(m_db, "select count(distinct code) from [tbl bill detail]"), 20);
    EXPECT_EQ(number(m_db, "select count(*) from [lkup transaction code] where substr(code, 1, 1) = 'B'"), 20);
}

TEST_F(DemoBigJournalTest, BalanceRowsAgreeWithTheDetailRows)
{
    const char* mismatches = R"SQL(
        with sums as (
            select custkey, lockey, code, round(total(amount), 2) as c, 0 as p from [tbl bill detail]
            group by custkey, lockey, code
            union all select custkey, lockey, code, 0, round(total(amount), 2) from [tbl payment detail]
            group by custkey, lockey, code),
        totals as (select custkey, lockey, code, sum(c) as c, sum(p) as p from sums group by custkey, lockey, code)
        select count(*) from totals full outer join [tbl balance] b using (custkey, lockey, code)
        where b.code is null or totals.code is null
           or round(b.totalcharges, 2) <> totals.c or round(b.totalpaid, 2) <> totals.p)SQL";
    EXPECT_EQ(number(m_db, "select count(*) from [tbl balance]"), 40);
    EXPECT_EQ(number(m_db, mismatches), 0);
}

TEST_F(DemoBigJournalTest, JournalHoldsTheAskedRows)
{
    HistoryModule module;
    module.ProgramFolder = s_folder->path();
    FakeMessenger messenger;
    Main::prepare(module, s_summary.bigAccounts.value(0), messenger, QTime(1, 2, 3));
    JournalFlags flags;
    const JournalLoader::Result loaded = JournalLoader::load(module, flags, QString());
    QFile::remove(module.WorkDbPath);
    EXPECT_EQ(loaded.rows.size(), 800u);
    EXPECT_EQ(loaded.header.LookupName, QStringLiteral("BIG ACCOUNT 800"));
}

TEST_F(DemoBigJournalTest, SeedVariesTheAmountsOnly)
{
    QTemporaryDir other;
    const DemoSummary same = DemoSuite::write(other.filePath(QStringLiteral("same")), options(5));
    const DemoSummary different = DemoSuite::write(other.filePath(QStringLiteral("different")), options(6));
    ASSERT_TRUE(same.outcome.ok() && different.outcome.ok());
    EXPECT_EQ(same.bigAccounts, s_summary.bigAccounts);
    EXPECT_EQ(same.rows, s_summary.rows);
    for (const char* table : {"[tbl bill detail]", "[tbl reading]"}) {
        const SqlConnection a = SqlConnection::open(same.billingPath);
        const SqlConnection b = SqlConnection::open(different.billingPath);
        ASSERT_TRUE(a.isOpen() && b.isOpen());
        EXPECT_EQ(BillingQueries::checksum(a, QString::fromLatin1(table)),
                  BillingQueries::checksum(m_db, QString::fromLatin1(table)))
            << table;
        EXPECT_NE(BillingQueries::checksum(b, QString::fromLatin1(table)),
                  BillingQueries::checksum(m_db, QString::fromLatin1(table)))
            << table;
    }
}

} // namespace
