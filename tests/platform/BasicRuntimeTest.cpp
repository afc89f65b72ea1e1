#include "platform/BasicRuntime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The text read as a QString and as its UTF-8 bytes must give the same.
template <typename Expected, typename Read>
void expectBothForms(const char* text, const Expected& expected, Read read)
{
    const QByteArray utf8 = QString::fromUtf8(text).toUtf8();
    EXPECT_EQ(read(QString::fromUtf8(text)), expected) << text;
    EXPECT_EQ(read(utf8.constData(), static_cast<size_t>(utf8.size())), expected) << "UTF-8: " << text;
}

TEST(BasicRuntimeTest, ReadsTheLeadingNumberOfTheText)
{
    // clang-format off
    struct Case { const char* text; double expected; };
    const Case cases[] = {
        {"    1615 198th Street N.E.", 1615198}, {" 2 45 7", 2457}, {"24 and 57", 24}, {"&HFFFF", -1},
        {"&H7FFF", 32767}, {"&H8000", -32768}, {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&H100000000", 0},
        {"&O17", 15}, {"&o8", 0}, {"&H", 0}, {"&X1", 0}, {"12E3abc", 12000}, {"", 0}, {"abc", 0}, {"-1.5e2", -150},
        {".5", 0.5}, {"1d2", 100}, {"1D-2", 0.01}, {"12E", 12}, {"12E+", 12}, {"12Ex5", 12}, {"- 5", -5}, {"--5", 0},
        {".", 0}, {"1.2.3", 1.2}, {"\t3\n4", 34}, {"3\r4", 3}, {"12,5", 12}, {"12.5-7.5", 12.5}, {"１２", 0},
        {"123456789012345678901234567890", 123456789012345678901234567890.0}, {"1e-400", 0}};
    // clang-format on
    for (const Case& c : cases)
        expectBothForms(c.text, c.expected, [](auto... text) { return BasicRuntime::val(text...); });
    // Longer than any stack buffer: the digits must still all count.
    EXPECT_EQ(BasicRuntime::val(QString(200, QLatin1Char('0')) + QStringLiteral("42.5")), 42.5);
}

TEST(BasicRuntimeTest, AcceptsOnlyWholeNumbers)
{
    // clang-format off
    struct Case { const char* text; std::optional<double> expected; };
    const Case cases[] = {
        {"12.5", 12.5}, {" -3.25 ", -3.25}, {"1e2", 100}, {"+4", 4}, {".5", 0.5}, {"5.", 5}, {"", std::nullopt},
        {"   ", std::nullopt}, {"abc", std::nullopt}, {"12abc", std::nullopt}, {"1 2", std::nullopt},
        {"-", std::nullopt}, {"inf", std::nullopt}, {"nan", std::nullopt}, {"&HFF", std::nullopt},
        {"1e", std::nullopt}};
    // clang-format on
    for (const Case& c : cases)
        expectBothForms(c.text, c.expected, [](auto... text) { return BasicRuntime::toNumber(text...); });
}

TEST(BasicRuntimeTest, WritesLikeTheRuntime)
{
    // clang-format off
    struct Case { double value; const char* str; const char* plain; };
    const Case cases[] = {
        {459, " 459", "459"}, {-459.65, "-459.65", "-459.65"}, {1200, " 1200", "1200"}, {-3, "-3", "-3"},
        {1.5, " 1.5", "1.5"}, {0.24, " .24", "0.24"}, {-0.5, "-.5", "-0.5"}, {0, " 0", "0"}, {-0.0, " 0", "0"},
        {120.0, " 120", "120"}, {0.1 + 0.2, " .3", "0.3"}, {1e16, " 1E+16", "1E+16"}, {1e15, " 1E+15", "1E+15"},
        {999999999999999.0, " 999999999999999", "999999999999999"}, {1.5e20, " 1.5E+20", "1.5E+20"},
        {1e-5, " 1E-05", "1E-05"}, {-2.5e-7, "-2.5E-07", "-2.5E-07"}, {0.0001, " .0001", "0.0001"},
        {1.0 / 3.0, " .333333333333333", "0.333333333333333"}, {1e100, " 1E+100", "1E+100"}};
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(BasicRuntime::str(c.value), QLatin1String(c.str)) << c.value;
        EXPECT_EQ(BasicRuntime::plainNumber(c.value), QLatin1String(c.plain)) << c.value;
    }
}

TEST(BasicRuntimeTest, RoundsHalfToEvenWithinRange)
{
    // clang-format off
    struct Case { double value; std::optional<int32_t> expected; };
    const Case cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {12.5, 12}, {7.5, 8},
        {2147483647.4, 2147483647}, {2147483647.5, std::nullopt}, {2147483648.0, std::nullopt},
        {-2147483648.0, std::numeric_limits<int32_t>::min()}, {-2147483648.5, std::numeric_limits<int32_t>::min()},
        {-2147483649.0, std::nullopt}, {std::numeric_limits<double>::infinity(), std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt}};
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(BasicRuntime::toInt32(c.value), c.expected) << c.value;
}

TEST(BasicRuntimeTest, RoundsHalfAwayFromZeroOnTheDecimalForm)
{
    // clang-format off
    struct Case { double value; const char* amount; const char* dollars; };
    const Case cases[] = {
        {0.075, "0.08", "$0.08"}, {-0.005, "-0.01", "-$0.01"}, {1234.5, "1234.50", "$1234.50"}, {0, "0.00", "$0.00"},
        {-5, "-5.00", "-$5.00"}, {1.005, "1.01", "$1.01"}, {2.675, "2.68", "$2.68"}, {0.125, "0.13", "$0.13"},
        {-0.004, "0.00", "$0.00"}, {0.004999, "0.00", "$0.00"}, {0.1 + 0.2, "0.30", "$0.30"},
        {9.995, "10.00", "$10.00"}, {1234567.891, "1234567.89", "$1234567.89"},
        {1e15, "1000000000000000.00", "$1000000000000000.00"}, {1e-20, "0.00", "$0.00"}};
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(BasicRuntime::formatAmount(c.value), QLatin1String(c.amount)) << c.value;
        EXPECT_EQ(BasicRuntime::formatDollars(c.value), QLatin1String(c.dollars)) << c.value;
    }
}

TEST(BasicRuntimeTest, HugeValuesKeepEveryIntegerDigit)
{
    const QString text = BasicRuntime::formatAmount(1e300);
    EXPECT_EQ(text.size(), 301 + 3);
    EXPECT_TRUE(text.startsWith(QLatin1String("1000"))) << text.left(10).toStdString();
    EXPECT_TRUE(text.endsWith(QLatin1String("0.00")));
}

} // namespace
