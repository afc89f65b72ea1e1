#include "demosuite/DemoSuite.h"
#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The single value of a query, -1 when it fails.
int64_t number(const SqlConnection& db, const char* sql)
{
    SqlStatement query(db, sql);
    return query.next() ? query.integer(0) : -1;
}

// Small enough to stay fast; the fixed features need at least six months.
DemoOptions smallSuite(uint64_t seed)
{
    DemoOptions options;
    options.locations = 60;
    options.years = 2;
    options.seed = seed;
    options.bigJournals = {800, 80};
    return options;
}

class DemoSuiteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<QTemporaryDir>();
        s_summary = DemoSuite::write(suite(), smallSuite(7));
    }
    static void TearDownTestSuite() { s_folder.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_summary.outcome.ok()) << s_summary.outcome.message().toStdString();
        m_db = SqlConnection::open(s_summary.billingPath);
        ASSERT_TRUE(m_db.isOpen()) << m_db.outcome().message().toStdString();
    }
    static QString suite() { return s_folder->path() + QStringLiteral("/suite"); }
    int64_t count(const QString& sql) const { return number(m_db, sql.toUtf8().constData()); }

    static inline std::unique_ptr<QTemporaryDir> s_folder;
    static inline DemoSummary s_summary;
    SqlConnection m_db;
};

// The big journals come after the generated accounts, a customer of their own each; the
// quick start finds the global row and the clerk id in place.
TEST_F(DemoSuiteTest, SummaryCountsWhatWasWritten)
{
    const int64_t customers = s_summary.customers;
    EXPECT_EQ(count("select count(*) from [tbl location]"), 62);
    EXPECT_EQ(count("select count(*) from [tbl customer]"), customers + 2);
    EXPECT_EQ(s_summary.bigAccounts,
              (QStringList{QStringLiteral("%1-61").arg(customers + 1), QStringLiteral("%1-62").arg(customers + 2)}));
    int64_t rows = 0;
    for (const char* table : {"[tbl reading]", "[tbl bill detail]", "[tbl payment detail]", "histcomments",
                              "[tbl customer]", "[tbl location]", "[tbl balance]", "[tbl deposit]",
                              "[tbl deposit refund]", "acctedits", "[lkup transaction code]"})
        rows += count(QStringLiteral("select count(*) from ") + table);
    EXPECT_EQ(rows, s_summary.rows);
    SqlConnection global = SqlConnection::open(suite() + QStringLiteral("/global.mdb"));
    EXPECT_EQ(global.scalar("select group_concat(databasepath || '/' || DatabaseFileName || '|' || CompanyName, '#')"
                            " from current"),
              s_summary.billingPath + "|Riverside Water & Light");
    EXPECT_EQ(QFileInfo(s_summary.billingPath).absolutePath(), QDir::cleanPath(QFileInfo(suite()).absoluteFilePath()));
    QFile tuid(suite() + QStringLiteral("/tuid.txt"));
    EXPECT_TRUE(tuid.open(QIODevice::ReadOnly) && tuid.readAll() == "CLERK1\r\n");
    EXPECT_TRUE(QFileInfo::exists(suite() + QStringLiteral("/reports/emptdata.mdb")));
}

// What must never be in a suite, and what the viewer must meet in one.
TEST_F(DemoSuiteTest, RowsAreConsistentAndShowTheVarietyTheViewerHandles)
{
    const char* none[] = {
        // Per location and code: charges, adjustments and deposits against payments.
        R"SQL(with detail as (
            select custkey, lockey, code, amount as chg, 0 as pmt from [tbl bill detail]
            union all select custkey, lockey, code, amount, 0 from [tbl deposit]
            union all select custkey, lockey, code, 0, amount from [tbl payment detail]),
        sums as (select custkey, lockey, code, round(total(chg), 2) as c, round(total(pmt), 2) as p
                 from detail group by custkey, lockey, code)
        select count(*) from sums full outer join [tbl balance] b using (custkey, lockey, code)
        where b.code is null or sums.code is null
           or round(b.totalcharges, 2) <> sums.c or round(b.totalpaid, 2) <> sums.p)SQL",
        "select count(*) from [tbl location] l left join [tbl customer] c using (custkey) where c.custkey is null",
        "select count(*) from [tbl reading] r left join [tbl location] l"
        " on l.lockey = r.LocKey and l.custkey = r.CustKey where l.lockey is null",
        "select count(*) from [tbl location] where custkey <= 0 or lockey <= 0 or lockey > 2147483647",
        "select count(*) from [tbl reading] r join [tbl location] l on l.lockey = r.LocKey"
        " where l.outdate is not null and r.BillDate > date(l.outdate, '+1 month')",
    };
    for (const char* sql : none)
        EXPECT_EQ(number(m_db, sql), 0) << sql;
    EXPECT_EQ(number(m_db, "select max(n) from (select count(*) as n from [tbl location] group by custkey)"), 3);
    EXPECT_GT(number(m_db, "select count(*) from [tbl reading] where CustKey = 1 and LocKey = 1"), 20);
    EXPECT_GT(number(m_db, "select count(*) from [tbl payment detail] where custkey = 1 and lockey = 1"), 20);

    // The journal features the engine-agreement test walks through on every demo account.
    const char* some[] = {
        "select count(*) from [tbl reading] a join [tbl reading] b on a.LocKey = b.LocKey and a.Code = b.Code"
        " and a.BillDate = b.BillDate where a.ChgOut = -1 and b.ChgOut = 1",
        "select count(*) from [tbl reading] where Multiplier = 100",
        "select count(*) from [tbl reading] where estimated = -1 and mrcomment = 'EST'",
        "select count(*) from [tbl bill detail] where adjusted = -1",
        "select count(*) from (select lockey, date, docno from [tbl payment detail] group by lockey, date, pmttype,"
        " docno having count(distinct code) > 1)",
        "select count(*) from [tbl deposit refund] where appliedtobill > 0 and returnedtocustomer > 0",
        "select count(*) from histcomments where instr(comment, '`') > 0",
        "select count(*) from [tbl customer] where instr(lookupname, '''') > 0",
    };
    for (const char* sql : some)
        EXPECT_GT(number(m_db, sql), 0) << sql;
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

// Written again over another seed's suite, the same seed gives the same file.
TEST_F(DemoSuiteTest, SameSeedSameSuite)
{
    QTemporaryDir other;
    ASSERT_TRUE(DemoSuite::write(other.path(), smallSuite(8)).outcome.ok());
    const DemoSummary same = DemoSuite::write(other.path(), smallSuite(7));
    ASSERT_TRUE(same.outcome.ok()) << same.outcome.message().toStdString();
    EXPECT_EQ(fileHash(same.billingPath), fileHash(s_summary.billingPath));
}

} // namespace
