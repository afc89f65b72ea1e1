#include "platform/BasicRuntime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct ValCase {
    const char* text;
    double expected;
};

class ValTest : public testing::TestWithParam<ValCase> {};

TEST_P(ValTest, ReadsTheLeadingNumberOfTheText)
{
    const ValCase& c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    EXPECT_EQ(BasicRuntime::val(text), c.expected) << c.text;
    const QByteArray utf8 = text.toUtf8();
    EXPECT_EQ(BasicRuntime::val(utf8.constData(), static_cast<size_t>(utf8.size())), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ValTest,
    testing::Values(ValCase{"    1615 198th Street N.E.", 1615198}, ValCase{" 2 45 7", 2457}, ValCase{"24 and 57", 24},
                    ValCase{"&HFFFF", -1}, ValCase{"&H7FFF", 32767}, ValCase{"&H8000", -32768},
                    ValCase{"&H10000", 65536}, ValCase{"&HFFFFFFFF", -1}, ValCase{"&H100000000", 0},
                    ValCase{"&O17", 15}, ValCase{"&o8", 0}, ValCase{"&H", 0}, ValCase{"&X1", 0},
                    ValCase{"12E3abc", 12000}, ValCase{"", 0}, ValCase{"abc", 0}, ValCase{"-1.5e2", -150},
                    ValCase{".5", 0.5}, ValCase{"1d2", 100}, ValCase{"1D-2", 0.01}, ValCase{"12E", 12},
                    ValCase{"12E+", 12}, ValCase{"12Ex5", 12}, ValCase{"- 5", -5}, ValCase{"--5", 0}, ValCase{".", 0},
                    ValCase{"1.2.3", 1.2}, ValCase{"\t3\n4", 34}, ValCase{"3\r4", 3}, ValCase{"12,5", 12},
                    ValCase{"12.5-7.5", 12.5}, ValCase{"１２", 0},
                    ValCase{"123456789012345678901234567890", 123456789012345678901234567890.0}, ValCase{"1e-400", 0}));

TEST(ValTest, ReadsLongDigitRunsExactly)
{
    // Longer than any stack buffer: the digits must still all count.
    const QString text = QString(200, QLatin1Char('0')) + QStringLiteral("42.5");
    EXPECT_EQ(BasicRuntime::val(text), 42.5);
}

struct ToNumberCase {
    const char* text;
    std::optional<double> expected;
};

class ToNumberTest : public testing::TestWithParam<ToNumberCase> {};

TEST_P(ToNumberTest, AcceptsOnlyWholeNumbers)
{
    const ToNumberCase& c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    EXPECT_EQ(BasicRuntime::toNumber(text), c.expected) << c.text;
    const QByteArray utf8 = text.toUtf8();
    EXPECT_EQ(BasicRuntime::toNumber(utf8.constData(), static_cast<size_t>(utf8.size())), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Cases, ToNumberTest,
                         testing::Values(ToNumberCase{"12.5", 12.5}, ToNumberCase{" -3.25 ", -3.25},
                                         ToNumberCase{"1e2", 100}, ToNumberCase{"+4", 4}, ToNumberCase{".5", 0.5},
                                         ToNumberCase{"5.", 5}, ToNumberCase{"", std::nullopt},
                                         ToNumberCase{"   ", std::nullopt}, ToNumberCase{"abc", std::nullopt},
                                         ToNumberCase{"12abc", std::nullopt}, ToNumberCase{"1 2", std::nullopt},
                                         ToNumberCase{"-", std::nullopt}, ToNumberCase{"inf", std::nullopt},
                                         ToNumberCase{"nan", std::nullopt}, ToNumberCase{"&HFF", std::nullopt},
                                         ToNumberCase{"1e", std::nullopt}));

struct TextCase {
    double value;
    const char* str;
    const char* plain;
};

class NumberTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(NumberTextTest, WritesLikeTheRuntime)
{
    const TextCase& c = GetParam();
    EXPECT_EQ(BasicRuntime::str(c.value), QLatin1String(c.str)) << c.value;
    EXPECT_EQ(BasicRuntime::plainNumber(c.value), QLatin1String(c.plain)) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NumberTextTest,
    testing::Values(TextCase{459, " 459", "459"}, TextCase{-459.65, "-459.65", "-459.65"},
                    TextCase{1200, " 1200", "1200"}, TextCase{-3, "-3", "-3"}, TextCase{1.5, " 1.5", "1.5"},
                    TextCase{0.24, " .24", "0.24"}, TextCase{-0.5, "-.5", "-0.5"}, TextCase{0, " 0", "0"},
                    TextCase{-0.0, " 0", "0"}, TextCase{120.0, " 120", "120"}, TextCase{0.1 + 0.2, " .3", "0.3"},
                    TextCase{1e16, " 1E+16", "1E+16"}, TextCase{1e15, " 1E+15", "1E+15"},
                    TextCase{999999999999999.0, " 999999999999999", "999999999999999"},
                    TextCase{1.5e20, " 1.5E+20", "1.5E+20"}, TextCase{1e-5, " 1E-05", "1E-05"},
                    TextCase{-2.5e-7, "-2.5E-07", "-2.5E-07"}, TextCase{0.0001, " .0001", "0.0001"},
                    TextCase{1.0 / 3.0, " .333333333333333", "0.333333333333333"},
                    TextCase{1e100, " 1E+100", "1E+100"}));

struct IntCase {
    double value;
    std::optional<int32_t> expected;
};

class ToInt32Test : public testing::TestWithParam<IntCase> {};

TEST_P(ToInt32Test, RoundsHalfToEvenWithinRange)
{
    EXPECT_EQ(BasicRuntime::toInt32(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Cases, ToInt32Test,
                         testing::Values(IntCase{0.5, 0}, IntCase{1.5, 2}, IntCase{2.5, 2}, IntCase{-0.5, 0},
                                         IntCase{-2.5, -2}, IntCase{2.4999, 2}, IntCase{2.5001, 3}, IntCase{12.5, 12},
                                         IntCase{7.5, 8}, IntCase{2147483647.4, 2147483647},
                                         IntCase{2147483647.5, std::nullopt}, IntCase{2147483648.0, std::nullopt},
                                         IntCase{-2147483648.0, std::numeric_limits<int32_t>::min()},
                                         IntCase{-2147483648.5, std::numeric_limits<int32_t>::min()},
                                         IntCase{-2147483649.0, std::nullopt},
                                         IntCase{std::numeric_limits<double>::infinity(), std::nullopt},
                                         IntCase{std::numeric_limits<double>::quiet_NaN(), std::nullopt}));

struct AmountCase {
    double value;
    const char* amount;
    const char* dollars;
};

class FormatAmountTest : public testing::TestWithParam<AmountCase> {};

TEST_P(FormatAmountTest, RoundsHalfAwayFromZeroOnTheDecimalForm)
{
    const AmountCase& c = GetParam();
    EXPECT_EQ(BasicRuntime::formatAmount(c.value), QLatin1String(c.amount)) << c.value;
    EXPECT_EQ(BasicRuntime::formatDollars(c.value), QLatin1String(c.dollars)) << c.value;
}

INSTANTIATE_TEST_SUITE_P(Examples, FormatAmountTest,
                         testing::Values(AmountCase{0.075, "0.08", "$0.08"}, AmountCase{-0.005, "-0.01", "-$0.01"},
                                         AmountCase{1234.5, "1234.50", "$1234.50"}, AmountCase{0, "0.00", "$0.00"},
                                         AmountCase{-5, "-5.00", "-$5.00"}, AmountCase{1.005, "1.01", "$1.01"},
                                         AmountCase{2.675, "2.68", "$2.68"}, AmountCase{0.125, "0.13", "$0.13"},
                                         AmountCase{-0.004, "0.00", "$0.00"}, AmountCase{0.004999, "0.00", "$0.00"},
                                         AmountCase{0.1 + 0.2, "0.30", "$0.30"}, AmountCase{9.995, "10.00", "$10.00"},
                                         AmountCase{1234567.891, "1234567.89", "$1234567.89"},
                                         AmountCase{1e15, "1000000000000000.00", "$1000000000000000.00"},
                                         AmountCase{1e-20, "0.00", "$0.00"}));

TEST(FormatAmountTest, HugeValuesKeepEveryIntegerDigit)
{
    const QString text = BasicRuntime::formatAmount(1e300);
    EXPECT_EQ(text.size(), 301 + 3);
    EXPECT_TRUE(text.startsWith(QLatin1String("1000"))) << text.left(10).toStdString();
    EXPECT_TRUE(text.endsWith(QLatin1String("0.00")));
}

} // namespace
