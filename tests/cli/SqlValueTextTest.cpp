#include "platform/SqlValueText.h"
#include "platform/StatementCount.h"

#include <QDateTime>
#include <QVariant>

#include <gtest/gtest.h>

namespace {

// A server's values print as the same values read from a file would; numbers in
// their shortest round-trip form.
TEST(SqlValueTextTest, ServerValuesPrintAsFromAFile)
{
    const std::pair<QVariant, std::string> cases[] = {
        // clang-format off
        {QVariant(), ""},
        {QVariant(QMetaType::fromType<qlonglong>()), ""},
        {QVariant::fromValue<qlonglong>(-9007199254740993LL), "-9007199254740993"},
        {QVariant::fromValue<qulonglong>(18446744073709551615ULL), "18446744073709551615"},
        {QVariant(120.0), "120"}, {QVariant(-0.0), "0"}, {QVariant(12.34), "12.34"}, {QVariant(1e20), "1e+20"},
        {QVariant(0.1 + 0.2), "0.30000000000000004"}, {QVariant(-2.5e-7), "-2.5e-07"},
        {QVariant(true), "1"},
        {QVariant(QDate(2017, 5, 1)), "2017-05-01"},
        {QVariant(QDateTime(QDate(2017, 5, 1), QTime(8, 30))), "2017-05-01 08:30:00"},
        {QVariant(QStringLiteral("O'BRIEN\t中")), "O'BRIEN\t中"},
        {QVariant(QByteArray("a\0b", 3)), std::string("a\0b", 3)},
        // clang-format on
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(SqlValueText::value(value), text) << value.typeName();
}

TEST(StatementCountTest, SemicolonsOutsideQuotesAndCommentsSplit)
{
    using enum StatementCount::Count;
    const std::pair<const char*, StatementCount::Count> cases[] = {
        // clang-format off
        {"", None}, {" ;\n; -- nothing\n/* still nothing */", None}, {"select 1", One}, {"select 1;;  ", One},
        {"select 1; -- done", One}, {"select 1; select 2", Several}, {"select ';' from t", One},
        {"select 'it''s; fine'", One}, {"select E'it\\'s; fine'", One}, {"select 'a\\'; select 2", Several},
        {"select 1 as \"a;b\"", One}, {"select 1 /* ; /* nested ; */ still ; */", One}, {"select 1 -- ; select 2", One},
        {"select 1 -- x\n; select 2", Several}, {"do $$ begin perform 1; end $$", One},
        {"select $body$ ; $x$ ; $body$", One}, {"select $1; select 2", Several}, {"select 'unterminated; select 2", One},
        // clang-format on
    };
    for (const auto& [sql, count] : cases)
        EXPECT_EQ(StatementCount::of(QString::fromUtf8(sql)), count) << sql;
}

} // namespace
