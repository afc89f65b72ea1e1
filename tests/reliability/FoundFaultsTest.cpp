// Regression cases for the faults the fuzzers and the hostile data found.
#include "platform/LikePattern.h"
#include "platform/SqlDialect.h"
#include "readings/ReadingsAccount.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>

namespace {

// Typed text can hold a lone surrogate; searched for literally it must find itself.
TEST(FoundFaults, TextWithALoneSurrogateMatchesItsOwnEscape)
{
    for (const QString& text : {QString(QChar(0xD8C7)) + "+", QString("a") + QChar(0xDC00), QString(QChar(0xDBFF))}) {
        EXPECT_TRUE(LikePattern(LikePattern::escape(text)).matches(text));
        EXPECT_TRUE(LikePattern("*").matches(text));
        EXPECT_TRUE(LikePattern("?*").matches(text));
    }
}

class RunningBalance : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = QSqlDatabase::addDatabase("QSQLITE", "balance");
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(SqlDialect::registerOn(db));
        QSqlQuery(db).exec("create table j (chg, pmt)");
    }
    void TearDown() override
    {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("balance");
    }

    QStringList balances(const QList<std::pair<QVariant, QVariant>>& rows)
    {
        QSqlQuery q(db);
        q.exec("delete from j");
        for (const auto& [chg, pmt] : rows) {
            q.prepare("insert into j values (?, ?)");
            q.addBindValue(chg);
            q.addBindValue(pmt);
            q.exec();
        }
        QStringList result;
        q.exec("select moneytext(moneybalance(chg, pmt) over (order by rowid rows unbounded preceding)) from j");
        while (q.next())
            result << (q.value(0).isNull() ? QString("<none>") : q.value(0).toString());
        return result;
    }

    QSqlDatabase db;
};

// A balance that cannot be known is shown as none from that row on, never as a
// total that silently left an amount out.
TEST_F(RunningBalance, UnreadableOrOutOfRangeAmountsEndTheKnownBalance)
{
    const QVariant none;
    EXPECT_EQ(balances({{"10.00", none}, {none, "2.50"}, {"", none}, {" ", none}}),
              (QStringList{"10.00", "7.50", "7.50", "7.50"}));
    EXPECT_EQ(balances({{"10.00", none}, {"n/a", none}, {"5.00", none}}), (QStringList{"10.00", "<none>", "<none>"}));
    EXPECT_EQ(balances({{"1.00", none}, {"1000000000000000.00", none}, {none, "1.00"}}),
              (QStringList{"1.00", "<none>", "<none>"}));
    EXPECT_EQ(balances({{1e15, none}}), QStringList{"<none>"});
    EXPECT_EQ(balances({{"900000000000000.00", none}, {"900000000000000.00", none}}),
              (QStringList{"900000000000000.00", "<none>"}));
    EXPECT_EQ(balances({{none, "-900000000000000.00"}, {none, "-900000000000000.00"}}),
              (QStringList{"900000000000000.00", "<none>"}));
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("select moneyunits(1e15), moneyunits(-1e15), moneyunits(922337203685476)"));
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.value(0).isNull());
    EXPECT_TRUE(q.value(1).isNull());
    EXPECT_EQ(q.value(2).toLongLong(), 9223372036854760000LL);
}

TEST(FoundFaults, AccountFileLinesEndAtTheirBreaks)
{
    const struct {
        QByteArray contents;
        QString accNo, lookupName;
    } cases[] = {
        {"10442\r\nMILL\r\n", "10442", "MILL"},
        {"10442\nMILL", "10442", "MILL"},
        {"10442\r\n", "10442", "kept"},
        {"", "kept", "kept"},
        {"\r\n\r\n", "", ""},
        {"a\rb\nc\r\n", "a\rb", "c"},
    };
    for (const auto& c : cases) {
        QString accNo = "kept", lookupName = "kept";
        ReadingsAccount::parse(c.contents, accNo, lookupName);
        EXPECT_EQ(accNo, c.accNo) << c.contents.toStdString();
        EXPECT_EQ(lookupName, c.lookupName) << c.contents.toStdString();
    }
}

} // namespace
