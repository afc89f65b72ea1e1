#include "platform/SqlConnection.h"

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QVariant>

namespace {

// Every connection speaks the dialect: the single value of a one-row query, or
// "<failed: reason>".
QVariant scalar(SqlConnection& db, const QString& sql, const QVariantList& binds = {})
{
    QSqlQuery query = db.query(sql, binds);
    if (query.isActive() && query.next())
        return query.value(0);
    return QStringLiteral("<failed: %1>").arg(db.outcome().message());
}

// Expected: text, qlonglong, double, null (QVariant()), or the start of "<failed: message".
struct Sql {
    const char* sql;
    QVariant expected;
};

QVariant fail(const char* message)
{
    return QStringLiteral("<failed: ") + QString::fromUtf8(message);
}
const QVariant null;

// The runtime's own rules are tried case by case in its tests; here each function's
// handling of nulls, numbers, text and bad arguments.
TEST(SqlDialectTest, FunctionsGiveTheRuntimesResults)
{
    // clang-format off
    const Sql cases[] = {
        {"select val(' 2 45 7')", 2457.0}, {"select val(12)", 12.0}, {"select val(null)", null},
        {"select str(459)", " 459"}, {"select str('12')", " 12"}, {"select str(null)", null},
        {"select str('abc')", fail("Type mismatch")}, {"select format(0.075, '#0.00')", "0.08"},
        {"select format(-5, '$#0.00')", "-$5.00"}, {"select format('0.075', '#0.00')", "0.08"},
        {"select format(' 3 ', '#0.00')", "3.00"}, {"select format('n/a', '#0.00')", "n/a"},
        {"select format(120.0, '0.0')", "120"}, {"select format(null, '#0.00')", null},
        {"select format('%d items', 5)", "%d items"}, {"select printf('%d items', 5)", "5 items"},
        {"select datevalue('2017-05-01 13:45:00')", "2017-05-01"}, {"select datevalue('2/30/2019')", null},
        {"select datevalue(null)", null},
        {"select \"left\"('abcdef', 3) || 'x'", "abcx"}, {"select [left]('abcdef', 3)", "abc"},
        {"select \"LEFT\"('abcdef', 10)", "abcdef"}, {"select \"left\"('abcdef', 0)", ""},
        {"select \"left\"('äöüß', 2)", "äö"}, {"select \"left\"(120.0, 2)", "12"},
        {"select \"left\"('abc', 1.5)", "ab"}, {"select \"left\"(null, 2)", null},
        {"select \"left\"('abc', null)", null}, {"select \"left\"('abc', -1)", fail("Invalid procedure call")},
        {"select left('abcdef', 3)", fail("near \"(\": syntax error")}, {"select mid('abcdef', 2, 3)", "bcd"},
        {"select mid('abcdef', 4)", "def"}, {"select mid('abcdef', 9)", ""}, {"select mid('añb', 2, 1)", "ñ"},
        {"select mid(null, 1)", null}, {"select mid('abc', 0)", fail("Invalid procedure call or argument")},
        {"select instr(1, 'EST MULT:10', 'MULT:')", 5LL}, {"select instr(6, 'abcabc', 'c')", 6LL},
        {"select instr(4, 'abcabc', 'b')", 5LL}, {"select instr(1, 'abc', 'x')", 0LL},
        {"select instr(1, 'abc', 'B')", 2LL}, {"select instr(1, 'abc', 'B', 0)", 0LL},
        {"select instr(1, 'ÄÖx', 'öX')", 2LL}, {"select instr(2, 'ñañb', 'ñ')", 3LL},
        {"select instr(2, 'abc', '')", 2LL}, {"select instr(4, 'abc', 'a')", 0LL},
        {"select instr(1, null, 'a')", null}, {"select instr(null, 'abc', 'a')", null},
        {"select instr('abcabc', 'c')", 3LL}, {"select '[' || space(3) || ']'", "[   ]"}, {"select space(0)", ""},
        {"select space(null)", null}, {"select len('abc')", 3LL}, {"select len('añb')", 3LL},
        {"select len(120.0)", 3LL}, {"select len('')", 0LL}, {"select len(null)", null},
        {"select trim('  a b  ')", "a b"}, {"select trim(120.0)", "120"}, {"select ltrim('  a ')", "a "},
        {"select rtrim('  a ')", "  a"}, {"select trim('xxaxx', 'x')", "a"}, {"select trim(null)", null},
        {"select vbjoin(null, 'x')", "x"}, {"select vbjoin('EST', ' MULT:', 10.0)", "EST MULT:10"},
        {"select vbjoin(null, null)", ""}, {"select vbjoin()", ""}, {"select vbjoin('a', 1.5, 2, x'41')", "a1.52A"},
        {"select vbjoin(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, null, 'x', 0.5)", "12345678910111213141516x0.5"},
        {"select vbjoin(\"left\"(vbjoin(trim(\"left\"(vbjoin(trim('12'), space(5)), 5)), '-', trim(\"left\"(vbjoin(trim(str(340.0)), space(5)), 5)), space(11)), 11), '|')", "12-340     |"},
        {"select 'aBa' like 'a*a'", 1LL}, {"select 'a%b' like 'a%b'", 1LL},
        {"select 'axb' like 'a%b'", 0LL}, {"select 'a_b' like 'a_b'", 1LL}, {"select 'abc' not like 'a*'", 0LL},
        {"select 120.0 like '120'", 1LL}, {"select 'a*c' like 'a!*c' escape '!'", 1LL},
        {"select 'abc' like 'a!*c' escape '!'", 0LL}, {"select 'a!c' like 'a!!c' escape '!'", 1LL},
        {"select 'a1c' like 'a!#c' escape '!'", 0LL}, {"select 'abc' like 'a!?c' escape '!'", 0LL},
        {"select 'a[b]' like 'a![b]' escape '!'", 1LL}, {"select null like 'a*'", null}, {"select 'a' like null", null},
        {"select 'a' like 'a' escape 'xy'", fail("ESCAPE expression must be a single character")},
    };
    // clang-format on
    SqlConnection db = SqlConnection::open(QStringLiteral(":memory:"), SqlConnection::Mode::CreateIfMissing);
    for (const Sql& c : cases) {
        SCOPED_TRACE(c.sql);
        const QVariant actual = scalar(db, QString::fromUtf8(c.sql));
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

TEST(SqlDialectTest, BoundAndPerRowPatternsMatchEveryRow)
{
    SqlConnection db = SqlConnection::open(QStringLiteral(":memory:"), SqlConnection::Mode::CreateIfMissing);
    ASSERT_TRUE(db.execScript("create table t (descr text, pattern text); insert into t values ('EST MULT:10', "
                              "'est*'), ('Bill', '*MULT:*'), ('x MULT:1', '?'), ('a1', 'A#'), (null, '*');"));
    const QString count = QStringLiteral("select count(*) from t where descr like ?");
    EXPECT_EQ(scalar(db, count, {QStringLiteral("*MULT:*")}).toLongLong(), 2);
    EXPECT_EQ(scalar(db, count, {QStringLiteral("*")}).toLongLong(), 4);
    // A pattern that changes from row to row must not reuse the previous row's.
    EXPECT_EQ(scalar(db, QStringLiteral("select group_concat(descr, '|') from t where descr like pattern")).toString(),
              QLatin1String("EST MULT:10|a1"));
}

} // namespace
