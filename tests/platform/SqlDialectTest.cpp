#include "platform/SqlDialect.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <sqlite3.h>

namespace {

// An in-memory connection with the dialect registered, removed again afterwards.
class DialectConnection {
public:
    DialectConnection() : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        m_registered = db.open() && SqlDialect::registerOn(db);
    }
    ~DialectConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool registered() const { return m_registered; }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

    // The single value of a one-row query; a failed statement is reported, not returned.
    QVariant scalar(const QString& sql, const QVariantList& binds = {}, QString* error = nullptr) const
    {
        QSqlQuery query(database());
        bool ran = query.prepare(sql);
        for (const QVariant& bind : binds)
            query.addBindValue(bind);
        ran = ran && query.exec() && query.next();
        if (!ran) {
            if (error)
                *error = query.lastError().text();
            return QVariant(QStringLiteral("<failed: %1>").arg(query.lastError().text()));
        }
        return query.value(0);
    }
    bool exec(const QString& sql) const
    {
        QSqlQuery query(database());
        return query.exec(sql);
    }

private:
    QString m_name;
    bool m_registered = false;
};

// Expected results: text, an integer, a real, or null.
struct SqlCase {
    const char* sql;
    QVariant expected;
};

QVariant text(const char* value)
{
    return QVariant(QString::fromUtf8(value));
}
QVariant real(double value)
{
    return QVariant(value);
}
QVariant integer(qlonglong value)
{
    return QVariant(value);
}
QVariant null()
{
    return QVariant();
}
// The statement fails with this message from the function.
QVariant failure(const char* message)
{
    return QVariant(QStringLiteral("<failed: ") + QString::fromUtf8(message));
}

void PrintTo(const SqlCase& c, std::ostream* out)
{
    *out << c.sql;
}

class SqlDialectTest : public testing::TestWithParam<SqlCase> {};

TEST_P(SqlDialectTest, GivesTheRuntimesResult)
{
    DialectConnection connection;
    ASSERT_TRUE(connection.registered());
    const SqlCase& c = GetParam();
    const QVariant actual = connection.scalar(QString::fromUtf8(c.sql));
    if (!c.expected.isValid()) {
        EXPECT_TRUE(actual.isNull()) << actual.toString().toStdString();
        return;
    }
    ASSERT_FALSE(actual.isNull());
    switch (c.expected.typeId()) {
    case QMetaType::Double:
        EXPECT_EQ(actual.typeId(), QMetaType::Double) << actual.toString().toStdString();
        EXPECT_EQ(actual.toDouble(), c.expected.toDouble());
        break;
    case QMetaType::LongLong:
        EXPECT_EQ(actual.typeId(), QMetaType::LongLong) << actual.toString().toStdString();
        EXPECT_EQ(actual.toLongLong(), c.expected.toLongLong());
        break;
    default:
        EXPECT_EQ(actual.typeId(), QMetaType::QString) << actual.toString().toStdString();
        if (c.expected.toString().startsWith(QLatin1String("<failed: ")))
            EXPECT_TRUE(actual.toString().startsWith(c.expected.toString())) << actual.toString().toStdString();
        else
            EXPECT_EQ(actual.toString(), c.expected.toString());
    }
}

INSTANTIATE_TEST_SUITE_P(Val, SqlDialectTest,
                         testing::Values(SqlCase{"select val(' 2 45 7')", real(2457)},
                                         SqlCase{"select val('    1615 198th Street N.E.')", real(1615198)},
                                         SqlCase{"select val('&HFFFF')", real(-1)},
                                         SqlCase{"select val('12E3abc')", real(12000)},
                                         SqlCase{"select val('')", real(0)}, SqlCase{"select val(12)", real(12)},
                                         SqlCase{"select val(1.5)", real(1.5)}, SqlCase{"select val(null)", null()}));

INSTANTIATE_TEST_SUITE_P(
    Str, SqlDialectTest,
    testing::Values(SqlCase{"select str(459)", text(" 459")}, SqlCase{"select str(-459.65)", text("-459.65")},
                    SqlCase{"select str(0.24)", text(" .24")}, SqlCase{"select str(120.0)", text(" 120")},
                    SqlCase{"select str(0.1 + 0.2)", text(" .3")}, SqlCase{"select str('12')", text(" 12")},
                    SqlCase{"select str(val('120') * val('10'))", text(" 1200")}, SqlCase{"select str(null)", null()},
                    SqlCase{"select str('abc')", failure("Type mismatch")}));

INSTANTIATE_TEST_SUITE_P(
    Format, SqlDialectTest,
    testing::Values(
        SqlCase{"select format(0.075, '#0.00')", text("0.08")},
        SqlCase{"select format(-0.005, '#0.00')", text("-0.01")},
        SqlCase{"select format(1234.5, '#0.00')", text("1234.50")}, SqlCase{"select format(0, '#0.00')", text("0.00")},
        SqlCase{"select format(-5, '$#0.00')", text("-$5.00")},
        SqlCase{"select format(12.5, '$#0.00')", text("$12.50")},
        SqlCase{"select format('0.075', '#0.00')", text("0.08")},
        SqlCase{"select format(' 3 ', '#0.00')", text("3.00")}, SqlCase{"select format('n/a', '#0.00')", text("n/a")},
        SqlCase{"select format(120.0, '0.0')", text("120")}, SqlCase{"select format(7, 'General Number')", text("7")},
        SqlCase{"select format(null, '#0.00')", null()}, SqlCase{"select format('%d items', 5)", text("%d items")},
        SqlCase{"select printf('%d items', 5)", text("5 items")},
        SqlCase{"select format(sum(x), '#0.00') from (select 0.1 as x union all select 0.2)", text("0.30")}));

INSTANTIATE_TEST_SUITE_P(Dates, SqlDialectTest,
                         testing::Values(SqlCase{"select datevalue('2017-05-01')", text("2017-05-01")},
                                         SqlCase{"select datevalue('2017-05-01 13:45:00')", text("2017-05-01")},
                                         SqlCase{"select datevalue('2017-05-01T13:45:00')", text("2017-05-01")},
                                         SqlCase{"select datevalue('5/1/17')", text("2017-05-01")},
                                         SqlCase{"select datevalue(' 12/31/1999 ')", text("1999-12-31")},
                                         SqlCase{"select datevalue('2/30/2019')", null()},
                                         SqlCase{"select datevalue('')", null()},
                                         SqlCase{"select datevalue(20170501)", null()},
                                         SqlCase{"select datevalue(null)", null()}));

INSTANTIATE_TEST_SUITE_P(
    Text, SqlDialectTest,
    testing::Values(
        SqlCase{"select \"left\"('abcdef', 3)", text("abc")}, SqlCase{"select [left]('abcdef', 3)", text("abc")},
        SqlCase{"select \"LEFT\"('abcdef', 10)", text("abcdef")}, SqlCase{"select \"left\"('abcdef', 0)", text("")},
        SqlCase{"select \"left\"('äöüß', 2)", text("äö")}, SqlCase{"select \"left\"(120.0, 2)", text("12")},
        SqlCase{"select \"left\"('abc', 1.5)", text("ab")}, SqlCase{"select \"left\"(null, 2)", null()},
        SqlCase{"select \"left\"('abc', null)", null()},
        SqlCase{"select \"left\"('abc', -1)", failure("Invalid procedure call or argument")},
        SqlCase{"select mid('abcdef', 2, 3)", text("bcd")}, SqlCase{"select mid('abcdef', 4)", text("def")},
        SqlCase{"select mid('abcdef', 9)", text("")}, SqlCase{"select mid('añb', 2, 1)", text("ñ")},
        SqlCase{"select mid(null, 1)", null()},
        SqlCase{"select mid('abc', 0)", failure("Invalid procedure call or argument")},
        SqlCase{"select instr(1, 'EST MULT:10', 'MULT:')", integer(5)},
        SqlCase{"select instr(6, 'abcabc', 'c')", integer(6)}, SqlCase{"select instr(4, 'abcabc', 'b')", integer(5)},
        SqlCase{"select instr(1, 'abc', 'x')", integer(0)}, SqlCase{"select instr(1, 'abc', 'B')", integer(2)},
        SqlCase{"select instr(1, 'abc', 'B', 0)", integer(0)}, SqlCase{"select instr(1, 'ÄÖx', 'öX')", integer(2)},
        SqlCase{"select instr(2, 'ñañb', 'ñ')", integer(3)}, SqlCase{"select instr(2, 'abc', '')", integer(2)},
        SqlCase{"select instr(4, 'abc', 'a')", integer(0)}, SqlCase{"select instr(1, null, 'a')", null()},
        SqlCase{"select instr(null, 'abc', 'a')", null()}, SqlCase{"select instr('abcabc', 'c')", integer(3)},
        SqlCase{"select '[' || space(3) || ']'", text("[   ]")}, SqlCase{"select space(0)", text("")},
        SqlCase{"select space(null)", null()}, SqlCase{"select len('abc')", integer(3)},
        SqlCase{"select len('añb')", integer(3)}, SqlCase{"select len(120.0)", integer(3)},
        SqlCase{"select len('')", integer(0)}, SqlCase{"select len(null)", null()},
        SqlCase{"select trim('  a b  ')", text("a b")}, SqlCase{"select trim(120.0)", text("120")},
        SqlCase{"select ltrim('  a ')", text("a ")}, SqlCase{"select rtrim('  a ')", text("  a")},
        SqlCase{"select trim('xxaxx', 'x')", text("a")}, SqlCase{"select trim(null)", null()},
        SqlCase{"select vbjoin(null, 'x')", text("x")},
        SqlCase{"select vbjoin('EST', ' MULT:', 10.0)", text("EST MULT:10")},
        SqlCase{"select vbjoin(null, null)", text("")}, SqlCase{"select vbjoin()", text("")},
        SqlCase{"select vbjoin('a', 1.5, 2, x'41')", text("a1.52A")},
        SqlCase{"select vbjoin(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, null, 'x', 0.5)",
                text("12345678910111213141516x0.5")}));

INSTANTIATE_TEST_SUITE_P(
    Like, SqlDialectTest,
    testing::Values(
        SqlCase{"select 'aBa' like 'a*a'", integer(1)}, SqlCase{"select 'AABB' like '*ab*'", integer(1)},
        SqlCase{"select 'a10a' like 'a#a'", integer(0)}, SqlCase{"select 'An9' like 'a[!b-m]#'", integer(1)},
        SqlCase{"select 'a*a' like 'a[*]a'", integer(1)}, SqlCase{"select 'aaa' like 'a[*]a'", integer(0)},
        SqlCase{"select 'xMULT:10' like '*MULT:*'", integer(1)}, SqlCase{"select 'a%b' like 'a%b'", integer(1)},
        SqlCase{"select 'axb' like 'a%b'", integer(0)}, SqlCase{"select 'a_b' like 'a_b'", integer(1)},
        SqlCase{"select 'abc' not like 'a*'", integer(0)}, SqlCase{"select 120.0 like '120'", integer(1)},
        SqlCase{"select 'a*c' like 'a!*c' escape '!'", integer(1)},
        SqlCase{"select 'abc' like 'a!*c' escape '!'", integer(0)},
        SqlCase{"select 'a!c' like 'a!!c' escape '!'", integer(1)},
        SqlCase{"select 'a1c' like 'a!#c' escape '!'", integer(0)}, SqlCase{"select null like 'a*'", null()},
        SqlCase{"select 'a' like null", null()},
        SqlCase{"select 'a' like 'a' escape 'xy'", failure("ESCAPE expression must be a single character")}));

TEST(SqlDialectParseTest, LeftIsAKeywordUnlessQuoted)
{
    DialectConnection connection;
    ASSERT_TRUE(connection.registered());
    QString error;
    connection.scalar(QStringLiteral("select left('abcdef', 3)"), {}, &error);
    EXPECT_TRUE(error.contains(QLatin1String("syntax error"))) << error.toStdString();
    EXPECT_EQ(
        connection.scalar(QStringLiteral("select \"left\"('abcdef', 3) || 'x'")).toString(), QLatin1String("abcx"));
}

TEST(SqlDialectParseTest, TheSearchLineStatementBuildsItsFixedWidthLayout)
{
    DialectConnection connection;
    ASSERT_TRUE(connection.registered());
    // Route 12 with sequence 340: "12-340" padded to 11; a REAL sequence reads as 340.
    const QString sql =
        QStringLiteral("select vbjoin(\"left\"(vbjoin(trim(\"left\"(vbjoin(trim(:route), space(5)), 5)), '-', "
                       "trim(\"left\"(vbjoin(trim(str(:seq)), space(5)), 5)), space(11)), 11), '|')");
    QSqlQuery query(connection.database());
    ASSERT_TRUE(query.prepare(sql));
    query.bindValue(QStringLiteral(":route"), QStringLiteral("12"));
    query.bindValue(QStringLiteral(":seq"), 340.0);
    ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toString(), QLatin1String("12-340     |"));
}

TEST(SqlDialectLikeTest, BoundAndPerRowPatternsMatchEveryRow)
{
    DialectConnection connection;
    ASSERT_TRUE(connection.registered());
    ASSERT_TRUE(connection.exec(QStringLiteral("create table t (descr text, pattern text)")));
    ASSERT_TRUE(connection.exec(
        QStringLiteral("insert into t values ('EST MULT:10', 'est*'), ('Bill', '*MULT:*'), ('x MULT:1', '?'), "
                       "('a1', 'A#'), (null, '*')")));

    EXPECT_EQ(
        connection.scalar(QStringLiteral("select count(*) from t where descr like ?"), {QStringLiteral("*MULT:*")})
            .toLongLong(),
        2);
    EXPECT_EQ(connection.scalar(QStringLiteral("select count(*) from t where descr like ?"), {QStringLiteral("*")})
                  .toLongLong(),
              4);
    // A pattern that changes from row to row must not reuse the previous row's.
    EXPECT_EQ(
        connection.scalar(QStringLiteral("select group_concat(descr, '|') from t where descr like pattern")).toString(),
        QLatin1String("EST MULT:10|a1"));
}

TEST(SqlDialectUpdateTest, ScalesReadingsAndCutsTheMultiplierMark)
{
    DialectConnection connection;
    ASSERT_TRUE(connection.registered());
    ASSERT_TRUE(connection.exec(
        QStringLiteral("create table jurn (prev text, pres text, usage text, descr text, mult text, dorder real)")));
    ASSERT_TRUE(connection.exec(QStringLiteral("insert into jurn values ('120', '135', '15', 'EST MULT:10', '10', 0), "
                                               "('7.5', '8', '.5', 'MULT:2  -OLD METER-', '2', 0)")));
    ASSERT_TRUE(connection.exec(QStringLiteral(
        "update jurn set prev = str(val(prev) * val(mult)), pres = str(val(pres) * val(mult)), "
        "usage = str(val(usage) * val(mult)), descr = trim(\"left\"(descr, instr(1, descr, 'MULT:') - 1)) "
        "where dorder <= 1")));
    QSqlQuery query(QStringLiteral("select prev, pres, usage, descr from jurn order by rowid"), connection.database());
    const QStringList expected[] = {{" 1200", " 1350", " 150", "EST"}, {" 15", " 16", " 1", ""}};
    for (const QStringList& row : expected) {
        ASSERT_TRUE(query.next());
        for (int column = 0; column < row.size(); ++column)
            EXPECT_EQ(query.value(column).toString(), row[column]) << column;
    }
}

TEST(SqlDialectRegisterTest, NeedsAnOpenSqliteConnection)
{
    EXPECT_FALSE(SqlDialect::registerOn(static_cast<sqlite3*>(nullptr)));
    EXPECT_FALSE(SqlDialect::registerOn(QSqlDatabase()));
    const QString name = QStringLiteral("dialect-unopened");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        EXPECT_FALSE(SqlDialect::registerOn(db));
    }
    QSqlDatabase::removeDatabase(name);
}

TEST(SqlDialectRegisterTest, WorksOnARawHandleToo)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    EXPECT_TRUE(SqlDialect::registerOn(db));
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db, "select str(multiplier * 2) from (select 1.5 as multiplier)", -1, &statement, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), " 3");
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

} // namespace
