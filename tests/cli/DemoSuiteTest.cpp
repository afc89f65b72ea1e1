#include "BillingQueries.h"
#include "demosuite/DemoSuite.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

namespace {

using BillingQueries::number;

// Small enough to stay fast; the fixed features need at least six months.
DemoOptions smallSuite(uint64_t seed)
{
    DemoOptions options;
    options.locations = 60;
    options.years = 2;
    options.seed = seed;
    return options;
}

class DemoSuiteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<QTemporaryDir>();
        s_summary = DemoSuite::write(s_folder->path() + QStringLiteral("/suite"), smallSuite(7));
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_summary.outcome.ok()) << s_summary.outcome.message().toStdString();
        m_db = SqlConnection::open(s_summary.billingPath);
        ASSERT_TRUE(m_db.isOpen()) << m_db.outcome().message().toStdString();
    }
    static QString suite() { return s_folder->path() + QStringLiteral("/suite"); }

    static inline std::unique_ptr<QTemporaryDir> s_folder;
    static inline DemoSummary s_summary;
    SqlConnection m_db;
};

TEST_F(DemoSuiteTest, SummaryCountsWhatWasWritten)
{
    EXPECT_EQ(s_summary.locations, 60);
    EXPECT_EQ(number(m_db, "select count(*) from [tbl location]"), 60);
    EXPECT_EQ(number(m_db, "select count(*) from [tbl customer]"), s_summary.customers);
    EXPECT_EQ(s_summary.sampleAccounts, QStringList({"1-1", "1-2", "2-3"}));
}

TEST_F(DemoSuiteTest, GlobalRowNamesTheBillingDatabaseWithoutTrailingSlash)
{
    const SqlConnection global = SqlConnection::open(suite() + QStringLiteral("/global.mdb"));
    SqlStatement query(global, "select databasepath, DatabaseFileName, CompanyName from current");
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.text(0), QDir::cleanPath(QFileInfo(suite()).absoluteFilePath()));
    EXPECT_FALSE(query.text(0).endsWith(QLatin1Char('/')));
    EXPECT_EQ(query.text(0) + QLatin1Char('/') + query.text(1), s_summary.billingPath);
    EXPECT_EQ(query.text(2), QStringLiteral("Riverside Water & Light"));
    EXPECT_FALSE(query.next()) << "only one configuration row";
}

TEST_F(DemoSuiteTest, SuiteFilesAreInPlace)
{
    QFile tuid(suite() + QStringLiteral("/tuid.txt"));
    ASSERT_TRUE(tuid.open(QIODevice::ReadOnly));
    EXPECT_EQ(tuid.readAll(), QByteArray("CLERK1\r\n"));
    const QFileInfo entmeter(suite() + QStringLiteral("/entmeter"));
    EXPECT_TRUE(entmeter.isExecutable());
    EXPECT_TRUE(QFileInfo::exists(suite() + QStringLiteral("/reports/emptdata.mdb")));
}

TEST_F(DemoSuiteTest, BalanceRowsAgreeWithTheDetailRows)
{
    // Per location and code: charges, adjustments and deposits against payments.
    const char* mismatches = R"SQL(
        with detail as (
            select custkey, lockey, code, amount as chg, 0 as pmt from [tbl bill detail]
            union all select custkey, lockey, code, amount, 0 from [tbl deposit]
            union all select custkey, lockey, code, 0, amount from [tbl payment detail]),
        sums as (select custkey, lockey, code, round(total(chg), 2) as c, round(total(pmt), 2) as p
                 from detail group by custkey, lockey, code)
        select count(*) from sums full outer join [tbl balance] b using (custkey, lockey, code)
        where b.code is null or sums.code is null
           or round(b.totalcharges, 2) <> sums.c or round(b.totalpaid, 2) <> sums.p)SQL";
    EXPECT_GT(number(m_db, "select count(*) from [tbl balance]"), 60);
    EXPECT_EQ(number(m_db, mismatches), 0);
}

TEST_F(DemoSuiteTest, KeysAreConsistent)
{
    EXPECT_EQ(number(m_db,
                     "select count(*) from [tbl location] l left join [tbl customer] c using (custkey)"
                     " where c.custkey is null"),
              0);
    EXPECT_EQ(number(m_db,
                     "select count(*) from [tbl reading] r left join [tbl location] l"
                     " on l.lockey = r.LocKey and l.custkey = r.CustKey where l.lockey is null"),
              0);
    EXPECT_EQ(number(m_db,
                     "select min(custkey) > 0 and min(lockey) > 0 and max(lockey) <= 2147483647"
                     " from [tbl location]"),
              1);
    EXPECT_EQ(number(m_db, "select max(n) from (select count(*) as n from [tbl location] group by custkey)"), 3);
}

TEST_F(DemoSuiteTest, NoHistoryAfterAVacantLocationsFinalMonth)
{
    EXPECT_EQ(number(m_db,
                     "select count(*) from [tbl reading] r join [tbl location] l on l.lockey = r.LocKey"
                     " where l.outdate is not null and r.BillDate > date(l.outdate, '+1 month')"),
              0);
}

struct Variety {
    const char* what;
    const char* countSql;
};

const Variety kVariety[] = {
    {"inactive customer", "select count(*) from [tbl customer] where status = 'INACTIVE' and active = 0"},
    {"active customer", "select count(*) from [tbl customer] where status = 'ACTIVE' and active = -1"},
    {"vacant location", "select count(*) from [tbl location] where outdate is not null"},
    {"customer with several locations",
     "select count(*) from (select custkey from [tbl location] group by custkey having count(*) > 1)"},
    {"change-out pair on one bill date",
     "select count(*) from [tbl reading] a join [tbl reading] b on a.LocKey = b.LocKey and a.Code = b.Code"
     " and a.BillDate = b.BillDate where a.ChgOut = -1 and b.ChgOut = 1"},
    {"multiplier 1", "select count(*) from [tbl reading] where Multiplier = 1"},
    {"multiplier 10", "select count(*) from [tbl reading] where Multiplier = 10"},
    {"multiplier 100", "select count(*) from [tbl reading] where Multiplier = 100"},
    {"estimated reading", "select count(*) from [tbl reading] where estimated = -1 and mrcomment = 'EST'"},
    {"adjustment", "select count(*) from [tbl bill detail] where adjusted = -1"},
    {"document split over codes",
     "select count(*) from (select lockey, date, docno from [tbl payment detail] group by lockey, date, pmttype, docno"
     " having count(distinct code) > 1)"},
    {"cash payment", "select count(*) from [tbl payment detail] where pmttype = 'CASH'"},
    {"check payment", "select count(*) from [tbl payment detail] where pmttype = 'CHECK'"},
    {"card payment", "select count(*) from [tbl payment detail] where pmttype = 'CARD'"},
    {"deposit", "select count(*) from [tbl deposit] d join [lkup transaction code] t using (code) where t.tgkey = 10"},
    {"refund applied and returned",
     "select count(*) from [tbl deposit refund] where appliedtobill > 0 and returnedtocustomer > 0"},
    {"comment with backquote", "select count(*) from histcomments where instr(comment, '`') > 0"},
    {"account edit", "select count(*) from acctedits where chgfield is not null and chgto is not null"},
    {"value with apostrophe", "select count(*) from [tbl customer] where instr(lookupname, '''') > 0"},
    {"value with percent and brackets", "select count(*) from [tbl location] where addr2 = '100% Main [Rear]'"},
    {"value with asterisk", "select count(*) from histcomments where instr(comment, '*') > 0"},
    {"enough transaction codes", "select count(*) >= 6 from [lkup transaction code]"},
};

TEST_F(DemoSuiteTest, ShowsTheVarietyTheViewerHandles)
{
    for (const auto& [what, sql] : kVariety)
        EXPECT_GT(number(m_db, sql), 0) << what;
}

TEST_F(DemoSuiteTest, WellKnownAccountHasHistory)
{
    EXPECT_GT(number(m_db, "select count(*) from [tbl reading] where CustKey = 1 and LocKey = 1"), 20);
    EXPECT_GT(number(m_db, "select count(*) from [tbl payment detail] where custkey = 1 and lockey = 1"), 20);
}

QByteArray suiteChecksum(const QString& billingPath)
{
    const SqlConnection db = SqlConnection::open(billingPath);
    if (!db.isOpen())
        return {};
    QByteArray all;
    for (const char* table : {"[tbl customer]", "[tbl location]", "[tbl reading]", "[tbl bill detail]",
                              "[tbl payment detail]", "histcomments", "[tbl balance]"})
        all += BillingQueries::checksum(db, QString::fromLatin1(table));
    return all;
}

TEST_F(DemoSuiteTest, SameSeedSameSuiteOtherSeedOtherSuite)
{
    QTemporaryDir other;
    const DemoSummary same = DemoSuite::write(other.path() + QStringLiteral("/same"), smallSuite(7));
    const DemoSummary different = DemoSuite::write(other.path() + QStringLiteral("/different"), smallSuite(8));
    ASSERT_TRUE(same.outcome.ok() && different.outcome.ok());
    EXPECT_EQ(same.rows, s_summary.rows);
    EXPECT_EQ(suiteChecksum(same.billingPath), suiteChecksum(s_summary.billingPath));
    EXPECT_NE(suiteChecksum(different.billingPath), suiteChecksum(s_summary.billingPath));
}

TEST(DemoSuiteNoHistoryTest, LocationsWithoutHistoryAndARewrite)
{
    QTemporaryDir dir;
    DemoOptions options;
    options.locations = 25;
    options.years = 0;
    ASSERT_TRUE(DemoSuite::write(dir.path(), options).outcome.ok());
    // Writing again into the same folder replaces the suite.
    const DemoSummary summary = DemoSuite::write(dir.path(), options);
    ASSERT_TRUE(summary.outcome.ok()) << summary.outcome.message().toStdString();
    const SqlConnection db = SqlConnection::open(summary.billingPath);
    ASSERT_TRUE(db.isOpen());
    EXPECT_EQ(number(db, "select count(*) from [tbl location]"), 25);
    EXPECT_EQ(
        number(db, "select count(*) from [tbl reading]") + number(db, "select count(*) from [tbl bill detail]"), 0);
    EXPECT_GT(number(db, "select count(*) from [tbl location] where outdate is not null"), 0);
}

} // namespace
