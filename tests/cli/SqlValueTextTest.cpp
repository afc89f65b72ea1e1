#include "platform/SqlValueText.h"
#include "platform/StatementCount.h"

#include <QDateTime>
#include <QVariant>

#include <gtest/gtest.h>

namespace {

struct NumberCase {
    double value;
    const char* text;
};

const NumberCase kNumbers[] = {
    {120.0, "120"},
    {1.5, "1.5"},
    {-0.25, "-0.25"},
    {0.0, "0"},
    {-0.0, "0"},
    {1615198.0, "1615198"},
    {0.1 + 0.2, "0.30000000000000004"},
    {12.34, "12.34"},
    {1e20, "1e+20"},
    {2.5e-7, "2.5e-07"},
};

TEST(SqlValueTextTest, NumbersInShortestRoundTripForm)
{
    for (const auto& [value, text] : kNumbers)
        EXPECT_EQ(SqlValueText::number(value), text) << value;
}

// A server's values print as the same values read from a file would.
TEST(SqlValueTextTest, ServerValuesPrintAsFromAFile)
{
    const std::pair<QVariant, std::string> cases[] = {
        {QVariant(), ""},
        {QVariant(QMetaType::fromType<qlonglong>()), ""},
        {QVariant::fromValue<qlonglong>(-9007199254740993LL), "-9007199254740993"},
        {QVariant::fromValue<qulonglong>(18446744073709551615ULL), "18446744073709551615"},
        {QVariant(120.0), "120"},
        {QVariant(0.1 + 0.2), "0.30000000000000004"},
        {QVariant(true), "1"},
        {QVariant(QDate(2017, 5, 1)), "2017-05-01"},
        {QVariant(QDateTime(QDate(2017, 5, 1), QTime(8, 30))), "2017-05-01 08:30:00"},
        {QVariant(QStringLiteral("O'BRIEN\t中")), "O'BRIEN\t中"},
        {QVariant(QByteArray("a\0b", 3)), std::string("a\0b", 3)},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(SqlValueText::value(value), text) << value.typeName();
}

struct CountCase {
    const char* sql;
    StatementCount::Count count;
};

const CountCase kCounts[] = {
    {"", StatementCount::None},
    {" ;\n; -- nothing\n/* still nothing */", StatementCount::None},
    {"select 1", StatementCount::One},
    {"select 1;;  ", StatementCount::One},
    {"select 1; -- done", StatementCount::One},
    {"select 1; select 2", StatementCount::Several},
    {"select ';' from t", StatementCount::One},
    {"select 'it''s; fine'", StatementCount::One},
    {"select E'it\\'s; fine'", StatementCount::One},
    {"select 'a\\'; select 2", StatementCount::Several},
    {"select 1 as \"a;b\"", StatementCount::One},
    {"select 1 /* ; /* nested ; */ still ; */", StatementCount::One},
    {"select 1 -- ; select 2", StatementCount::One},
    {"select 1 -- x\n; select 2", StatementCount::Several},
    {"do $$ begin perform 1; end $$", StatementCount::One},
    {"select $body$ ; $x$ ; $body$", StatementCount::One},
    {"select $1; select 2", StatementCount::Several},
    {"select 'unterminated; select 2", StatementCount::One},
};

TEST(StatementCountTest, SemicolonsOutsideQuotesAndCommentsSplit)
{
    for (const auto& [sql, count] : kCounts)
        EXPECT_EQ(StatementCount::of(QString::fromUtf8(sql)), count) << sql;
}

} // namespace
