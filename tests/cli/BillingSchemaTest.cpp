#include "demosuite/BillingSchema.h"
#include "BillingQueries.h"

#include <gtest/gtest.h>
#include <QSet>
#include <QString>
#include <QStringList>

namespace {

struct TableColumns {
    const char* table;
    QStringList columns;
};

// Every column the viewer reads from or writes to the billing tables.
const TableColumns kUsedColumns[] = {
    {"[tbl customer]",
     {"custkey", "accno", "status", "lookupname", "fname", "mname", "lname", "CompanyName", "phone", "addr1", "addr2",
      "city", "state", "zip", "active"}},
    {"[tbl location]", {"custkey", "lockey", "ID", "addr1", "addr2", "outdate", "locroute", "locseq"}},
    {"[tbl reading]",
     {"CustKey", "LocKey", "Code", "ReadDate", "BillDate", "Previous", "Present", "Usage", "Multiplier", "MultiTenants",
      "Factor", "MSN", "ChgOut", "estimated", "mrcomment", "EntryDate"}},
    {"[tbl bill detail]", {"custkey", "lockey", "date", "code", "comment", "amount", "adjusted"}},
    {"[tbl payment detail]", {"custkey", "lockey", "date", "code", "pmttype", "docno", "amount"}},
    {"[tbl deposit]", {"custkey", "lockey", "date", "code", "amount"}},
    {"[tbl deposit refund]", {"custkey", "lockey", "date", "code", "appliedtobill", "returnedtocustomer"}},
    {"[tbl balance]", {"custkey", "lockey", "code", "totalcharges", "totalpaid"}},
    {"histcomments", {"custkey", "lockey", "edate", "comment", "UserID"}},
    {"acctedits", {"custkey", "chgdate", "chgfield", "chgfrom", "chgto"}},
    {"[lkup transaction code]", {"code", "description", "tgkey"}},
};

QSet<QString> columnsOf(const SqlConnection& db, const QString& table)
{
    QSet<QString> names;
    QString bare = table;
    bare.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    SqlStatement query(db, "select name from pragma_table_info(?1)");
    query.bind(1, bare);
    while (query.next())
        names.insert(query.text(0).toLower());
    return names;
}

class BillingSchemaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_db = SqlConnection::open(QStringLiteral(":memory:"), SqlConnection::Mode::CreateIfMissing);
        ASSERT_TRUE(m_db.isOpen()) << m_db.outcome().message().toStdString();
        const Outcome created = BillingSchema::create(m_db);
        ASSERT_TRUE(created) << created.message().toStdString();
    }
    SqlConnection m_db;
};

TEST_F(BillingSchemaTest, EveryUsedColumnExists)
{
    for (const auto& [table, columns] : kUsedColumns) {
        const QSet<QString> present = columnsOf(m_db, QString::fromLatin1(table));
        ASSERT_FALSE(present.isEmpty()) << table;
        for (const QString& column : columns)
            EXPECT_TRUE(present.contains(column.toLower())) << table << " lacks " << column.toStdString();
    }
}

TEST_F(BillingSchemaTest, SearchListBareNamesResolveAcrossTheJoin)
{
    // The search list names these columns without a table: ambiguity would fail it.
    ASSERT_TRUE(m_db.execScript(
        "insert into [tbl customer] (custkey, accno, status, lookupname) values (7, 'A7', 'ACTIVE', 'X');"
        "insert into [tbl location] (lockey, custkey, ID, locroute, locseq) values (9, 7, 'L9', '01', 10)"));
    SqlStatement query(m_db,
                       "select accno, status, lookupname, ID from [tbl customer] inner join [tbl location]"
                       " on [tbl customer].custkey = [tbl location].custkey");
    ASSERT_TRUE(query.isValid()) << query.error().toStdString();
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.text(3), QStringLiteral("L9"));
}

TEST_F(BillingSchemaTest, AReadingRowIsAddressableByItsKey)
{
    ASSERT_TRUE(
        m_db.execScript("insert into [tbl reading] (CustKey, LocKey, Code, Present) values (1, 1, 'WATER', 10);"
                        "insert into [tbl reading] (CustKey, LocKey, Code, Present) values (1, 1, 'WATER', 20)"));
    const int64_t key = BillingQueries::number(m_db, "select max(ReadingKey) from [tbl reading]");
    SqlStatement update(m_db, "update [tbl reading] set Present = 25 where ReadingKey = ?1");
    update.bind(1, key);
    ASSERT_TRUE(update.run());
    SqlStatement check(
        m_db, "select group_concat(Present) from (select Present from [tbl reading] order by ReadingKey)");
    ASSERT_TRUE(check.next());
    EXPECT_EQ(check.text(0), QStringLiteral("10,25"));
}

TEST_F(BillingSchemaTest, OneBalanceRowPerLocationAndCode)
{
    ASSERT_TRUE(m_db.exec(QStringLiteral("insert into [tbl balance] (custkey, lockey, code) values (1, 1, 'WATER')")));
    EXPECT_FALSE(m_db.exec(QStringLiteral("insert into [tbl balance] (custkey, lockey, code) values (1, 1, 'WATER')")));
}

TEST(BillingSchemaGlobalTest, CurrentTableHoldsTheBillingDatabaseLocation)
{
    SqlConnection db = SqlConnection::open(QStringLiteral(":memory:"), SqlConnection::Mode::CreateIfMissing);
    ASSERT_TRUE(BillingSchema::createGlobal(db));
    ASSERT_TRUE(db.exec(QStringLiteral("insert into current values ('/suite', 'billing.mdb', 'Co')")));
    SqlStatement query(db, "select databasepath, DatabaseFileName, CompanyName from current");
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.text(1), QStringLiteral("billing.mdb"));
}

TEST(BillingSchemaGlobalTest, CreatingTwiceReportsTheEngineMessage)
{
    SqlConnection db = SqlConnection::open(QStringLiteral(":memory:"), SqlConnection::Mode::CreateIfMissing);
    ASSERT_TRUE(BillingSchema::create(db));
    const Outcome again = BillingSchema::create(db);
    const QString error = again.message();
    EXPECT_FALSE(again);
    EXPECT_TRUE(error.contains(QStringLiteral("already exists"))) << error.toStdString();
}

} // namespace
