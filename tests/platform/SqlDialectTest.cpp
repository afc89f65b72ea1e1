#include "platform/SqlDialect.h"

#include "platform/TestRows.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace {

// One in-memory connection with the dialect registered, for the whole suite.
class SqlDialectTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("dialect"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        ASSERT_TRUE(db.open() && SqlDialect::registerOn(db));
    }
    static void TearDownTestSuite()
    {
        QSqlDatabase::database(QStringLiteral("dialect"), false).close();
        QSqlDatabase::removeDatabase(QStringLiteral("dialect"));
    }

    // The single value of a one-row query, or "<failed: reason>".
    static QVariant scalar(const QString& sql, const QVariantList& binds = {})
    {
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("dialect"), false));
        bool ran = query.prepare(sql);
        for (const QVariant& bind : binds)
            query.addBindValue(bind);
        if (ran && query.exec() && query.next())
            return query.value(0);
        return QStringLiteral("<failed: %1>").arg(query.lastError().text());
    }
};

// Expected: text, qlonglong, double, null (QVariant()), or the start of "<failed: message".
struct Sql {
    const char* sql;
    QVariant expected;
};

QVariant text(const char* value)
{
    return QString::fromUtf8(value);
}
QVariant failure(const char* message)
{
    return QStringLiteral("<failed: ") + QString::fromUtf8(message);
}
const QVariant null;

TEST_F(SqlDialectTest, FunctionsGiveTheRuntimesResults)
{
    const auto cases = rows(
        // val: numbers and text alike, always REAL (the reading itself is BasicRuntime's)
        Sql{"select val(' 2 45 7')", 2457.0}, Sql{"select val(12)", 12.0}, Sql{"select val('')", 0.0},
        Sql{"select val(1.5)", 1.5}, Sql{"select val(null)", null},
        // str: a number handed as text is read; text that is no number fails
        Sql{"select str(459)", text(" 459")}, Sql{"select str('12')", text(" 12")}, Sql{"select str(null)", null},
        Sql{"select str(val('120') * val('10'))", text(" 1200")}, Sql{"select str('abc')", failure("Type mismatch")},
        // format
        Sql{"select format(0.075, '#0.00')", text("0.08")}, Sql{"select format(-5, '$#0.00')", text("-$5.00")},
        Sql{"select format('0.075', '#0.00')", text("0.08")}, Sql{"select format(' 3 ', '#0.00')", text("3.00")},
        Sql{"select format('n/a', '#0.00')", text("n/a")}, Sql{"select format(120.0, '0.0')", text("120")},
        Sql{"select format(7, 'General Number')", text("7")}, Sql{"select format(null, '#0.00')", null},
        Sql{"select format('%d items', 5)", text("%d items")}, Sql{"select printf('%d items', 5)", text("5 items")},
        Sql{"select format(sum(x), '#0.00') from (select 0.1 as x union all select 0.2)", text("0.30")},
        // datevalue
        Sql{"select datevalue('2017-05-01 13:45:00')", text("2017-05-01")},
        Sql{"select datevalue('5/1/17')", text("2017-05-01")},
        Sql{"select datevalue(' 12/31/1999 ')", text("1999-12-31")}, Sql{"select datevalue('2/30/2019')", null},
        Sql{"select datevalue('')", null}, Sql{"select datevalue(20170501)", null}, Sql{"select datevalue(null)", null},
        // left
        Sql{"select \"left\"('abcdef', 3) || 'x'", text("abcx")}, Sql{"select [left]('abcdef', 3)", text("abc")},
        Sql{"select \"LEFT\"('abcdef', 10)", text("abcdef")}, Sql{"select \"left\"('abcdef', 0)", text("")},
        Sql{"select \"left\"('äöüß', 2)", text("äö")}, Sql{"select \"left\"(120.0, 2)", text("12")},
        Sql{"select \"left\"('abc', 1.5)", text("ab")}, Sql{"select \"left\"(null, 2)", null},
        Sql{"select \"left\"('abc', null)", null}, Sql{"select \"left\"('abc', -1)", failure("Invalid procedure call")},
        Sql{"select left('abcdef', 3)", failure("near \"(\": syntax error")},
        // mid
        Sql{"select mid('abcdef', 2, 3)", text("bcd")}, Sql{"select mid('abcdef', 4)", text("def")},
        Sql{"select mid('abcdef', 9)", text("")}, Sql{"select mid('añb', 2, 1)", text("ñ")},
        Sql{"select mid(null, 1)", null}, Sql{"select mid('abc', 0)", failure("Invalid procedure call or argument")},
        // instr
        Sql{"select instr(1, 'EST MULT:10', 'MULT:')", qlonglong(5)},
        Sql{"select instr(6, 'abcabc', 'c')", qlonglong(6)}, Sql{"select instr(4, 'abcabc', 'b')", qlonglong(5)},
        Sql{"select instr(1, 'abc', 'x')", qlonglong(0)}, Sql{"select instr(1, 'abc', 'B')", qlonglong(2)},
        Sql{"select instr(1, 'abc', 'B', 0)", qlonglong(0)}, Sql{"select instr(1, 'ÄÖx', 'öX')", qlonglong(2)},
        Sql{"select instr(2, 'ñañb', 'ñ')", qlonglong(3)}, Sql{"select instr(2, 'abc', '')", qlonglong(2)},
        Sql{"select instr(4, 'abc', 'a')", qlonglong(0)}, Sql{"select instr(1, null, 'a')", null},
        Sql{"select instr(null, 'abc', 'a')", null}, Sql{"select instr('abcabc', 'c')", qlonglong(3)},
        // space, len, trim
        Sql{"select '[' || space(3) || ']'", text("[   ]")}, Sql{"select space(0)", text("")},
        Sql{"select space(null)", null}, Sql{"select len('abc')", qlonglong(3)}, Sql{"select len('añb')", qlonglong(3)},
        Sql{"select len(120.0)", qlonglong(3)}, Sql{"select len('')", qlonglong(0)}, Sql{"select len(null)", null},
        Sql{"select trim('  a b  ')", text("a b")}, Sql{"select trim(120.0)", text("120")},
        Sql{"select ltrim('  a ')", text("a ")}, Sql{"select rtrim('  a ')", text("  a")},
        Sql{"select trim('xxaxx', 'x')", text("a")}, Sql{"select trim(null)", null},
        // vbjoin
        Sql{"select vbjoin(null, 'x')", text("x")}, Sql{"select vbjoin('EST', ' MULT:', 10.0)", text("EST MULT:10")},
        Sql{"select vbjoin(null, null)", text("")}, Sql{"select vbjoin()", text("")},
        Sql{"select vbjoin('a', 1.5, 2, x'41')", text("a1.52A")},
        Sql{"select vbjoin(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, null, 'x', 0.5)",
            text("12345678910111213141516x0.5")},
        // The search line's fixed-width layout: route 12, a REAL sequence of 340.
        Sql{"select vbjoin(\"left\"(vbjoin(trim(\"left\"(vbjoin(trim('12'), space(5)), 5)), '-', "
            "trim(\"left\"(vbjoin(trim(str(340.0)), space(5)), 5)), space(11)), 11), '|')",
            text("12-340     |")},
        // like
        Sql{"select 'aBa' like 'a*a'", qlonglong(1)}, Sql{"select 'a10a' like 'a#a'", qlonglong(0)},
        Sql{"select 'a%b' like 'a%b'", qlonglong(1)}, Sql{"select 'axb' like 'a%b'", qlonglong(0)},
        Sql{"select 'a_b' like 'a_b'", qlonglong(1)}, Sql{"select 'abc' not like 'a*'", qlonglong(0)},
        Sql{"select 120.0 like '120'", qlonglong(1)}, Sql{"select 'a*c' like 'a!*c' escape '!'", qlonglong(1)},
        Sql{"select 'abc' like 'a!*c' escape '!'", qlonglong(0)},
        Sql{"select 'a!c' like 'a!!c' escape '!'", qlonglong(1)},
        Sql{"select 'a1c' like 'a!#c' escape '!'", qlonglong(0)}, Sql{"select null like 'a*'", null},
        Sql{"select 'a' like null", null},
        Sql{"select 'a' like 'a' escape 'xy'", failure("ESCAPE expression must be a single character")});
    for (const Sql& c : cases) {
        SCOPED_TRACE(c.sql);
        const QVariant actual = scalar(QString::fromUtf8(c.sql));
        if (c.expected.isNull()) {
            EXPECT_TRUE(actual.isNull()) << actual.toString().toStdString();
            continue;
        }
        ASSERT_FALSE(actual.isNull());
        EXPECT_EQ(actual.typeId(), c.expected.typeId()) << actual.toString().toStdString();
        if (c.expected.toString().startsWith(QLatin1String("<failed: ")))
            EXPECT_TRUE(actual.toString().startsWith(c.expected.toString())) << actual.toString().toStdString();
        else
            EXPECT_EQ(actual, c.expected);
    }
}

TEST_F(SqlDialectTest, BoundAndPerRowPatternsMatchEveryRow)
{
    scalar(QStringLiteral("create table t (descr text, pattern text)"));
    scalar(QStringLiteral("insert into t values ('EST MULT:10', 'est*'), ('Bill', '*MULT:*'), ('x MULT:1', '?'), "
                          "('a1', 'A#'), (null, '*')"));
    const QString count = QStringLiteral("select count(*) from t where descr like ?");
    EXPECT_EQ(scalar(count, {QStringLiteral("*MULT:*")}).toLongLong(), 2);
    EXPECT_EQ(scalar(count, {QStringLiteral("*")}).toLongLong(), 4);
    // A pattern that changes from row to row must not reuse the previous row's.
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(descr, '|') from t where descr like pattern")).toString(),
              QLatin1String("EST MULT:10|a1"));
}

TEST(SqlDialectRegisterTest, NeedsAnOpenSqliteConnectionOrAHandle)
{
    EXPECT_FALSE(SqlDialect::registerOn(static_cast<sqlite3*>(nullptr)));
    EXPECT_FALSE(SqlDialect::registerOn(QSqlDatabase()));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("dialect-unopened"));
        EXPECT_FALSE(SqlDialect::registerOn(db));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("dialect-unopened"));

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    EXPECT_TRUE(SqlDialect::registerOn(db));
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "select str(1.5 * 2)", -1, &statement, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), " 3");
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

} // namespace
