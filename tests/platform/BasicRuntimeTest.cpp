#include "platform/BasicRuntime.h"

#include "platform/TestRows.h"

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
    struct Case {
        const char* text;
        double expected;
    };
    const auto cases = rows(
        Case{"    1615 198th Street N.E.", 1615198}, Case{" 2 45 7", 2457}, Case{"24 and 57", 24}, Case{"&HFFFF", -1},
        Case{"&H7FFF", 32767}, Case{"&H8000", -32768}, Case{"&H10000", 65536}, Case{"&HFFFFFFFF", -1},
        Case{"&H100000000", 0}, Case{"&O17", 15}, Case{"&o8", 0}, Case{"&H", 0}, Case{"&X1", 0}, Case{"12E3abc", 12000},
        Case{"", 0}, Case{"abc", 0}, Case{"-1.5e2", -150}, Case{".5", 0.5}, Case{"1d2", 100}, Case{"1D-2", 0.01},
        Case{"12E", 12}, Case{"12E+", 12}, Case{"12Ex5", 12}, Case{"- 5", -5}, Case{"--5", 0}, Case{".", 0},
        Case{"1.2.3", 1.2}, Case{"\t3\n4", 34}, Case{"3\r4", 3}, Case{"12,5", 12}, Case{"12.5-7.5", 12.5},
        Case{"１２", 0}, Case{"123456789012345678901234567890", 123456789012345678901234567890.0}, Case{"1e-400", 0});
    for (const Case& c : cases)
        expectBothForms(c.text, c.expected, [](auto... text) { return BasicRuntime::val(text...); });
    // Longer than any stack buffer: the digits must still all count.
    EXPECT_EQ(BasicRuntime::val(QString(200, QLatin1Char('0')) + QStringLiteral("42.5")), 42.5);
}

TEST(BasicRuntimeTest, AcceptsOnlyWholeNumbers)
{
    struct Case {
        const char* text;
        std::optional<double> expected;
    };
    const auto cases =
        rows(Case{"12.5", 12.5}, Case{" -3.25 ", -3.25}, Case{"1e2", 100}, Case{"+4", 4}, Case{".5", 0.5},
             Case{"5.", 5}, Case{"", std::nullopt}, Case{"   ", std::nullopt}, Case{"abc", std::nullopt},
             Case{"12abc", std::nullopt}, Case{"1 2", std::nullopt}, Case{"-", std::nullopt}, Case{"inf", std::nullopt},
             Case{"nan", std::nullopt}, Case{"&HFF", std::nullopt}, Case{"1e", std::nullopt});
    for (const Case& c : cases)
        expectBothForms(c.text, c.expected, [](auto... text) { return BasicRuntime::toNumber(text...); });
}

TEST(BasicRuntimeTest, WritesLikeTheRuntime)
{
    struct Case {
        double value;
        const char* str;
        const char* plain;
    };
    const auto cases =
        rows(Case{459, " 459", "459"}, Case{-459.65, "-459.65", "-459.65"}, Case{1200, " 1200", "1200"},
             Case{-3, "-3", "-3"}, Case{1.5, " 1.5", "1.5"}, Case{0.24, " .24", "0.24"}, Case{-0.5, "-.5", "-0.5"},
             Case{0, " 0", "0"}, Case{-0.0, " 0", "0"}, Case{120.0, " 120", "120"}, Case{0.1 + 0.2, " .3", "0.3"},
             Case{1e16, " 1E+16", "1E+16"}, Case{1e15, " 1E+15", "1E+15"},
             Case{999999999999999.0, " 999999999999999", "999999999999999"}, Case{1.5e20, " 1.5E+20", "1.5E+20"},
             Case{1e-5, " 1E-05", "1E-05"}, Case{-2.5e-7, "-2.5E-07", "-2.5E-07"}, Case{0.0001, " .0001", "0.0001"},
             Case{1.0 / 3.0, " .333333333333333", "0.333333333333333"}, Case{1e100, " 1E+100", "1E+100"});
    for (const Case& c : cases) {
        EXPECT_EQ(BasicRuntime::str(c.value), QLatin1String(c.str)) << c.value;
        EXPECT_EQ(BasicRuntime::plainNumber(c.value), QLatin1String(c.plain)) << c.value;
    }
}

TEST(BasicRuntimeTest, RoundsHalfToEvenWithinRange)
{
    struct Case {
        double value;
        std::optional<int32_t> expected;
    };
    const auto cases =
        rows(Case{0.5, 0}, Case{1.5, 2}, Case{2.5, 2}, Case{-0.5, 0}, Case{-2.5, -2}, Case{2.4999, 2}, Case{2.5001, 3},
             Case{12.5, 12}, Case{7.5, 8}, Case{2147483647.4, 2147483647}, Case{2147483647.5, std::nullopt},
             Case{2147483648.0, std::nullopt}, Case{-2147483648.0, std::numeric_limits<int32_t>::min()},
             Case{-2147483648.5, std::numeric_limits<int32_t>::min()}, Case{-2147483649.0, std::nullopt},
             Case{std::numeric_limits<double>::infinity(), std::nullopt},
             Case{std::numeric_limits<double>::quiet_NaN(), std::nullopt});
    for (const Case& c : cases) {
        EXPECT_EQ(BasicRuntime::toInt32(c.value), c.expected) << c.value;
    }
}

TEST(BasicRuntimeTest, RoundsHalfAwayFromZeroOnTheDecimalForm)
{
    struct Case {
        double value;
        const char* amount;
        const char* dollars;
    };
    const auto cases =
        rows(Case{0.075, "0.08", "$0.08"}, Case{-0.005, "-0.01", "-$0.01"}, Case{1234.5, "1234.50", "$1234.50"},
             Case{0, "0.00", "$0.00"}, Case{-5, "-5.00", "-$5.00"}, Case{1.005, "1.01", "$1.01"},
             Case{2.675, "2.68", "$2.68"}, Case{0.125, "0.13", "$0.13"}, Case{-0.004, "0.00", "$0.00"},
             Case{0.004999, "0.00", "$0.00"}, Case{0.1 + 0.2, "0.30", "$0.30"}, Case{9.995, "10.00", "$10.00"},
             Case{1234567.891, "1234567.89", "$1234567.89"}, Case{1e15, "1000000000000000.00", "$1000000000000000.00"},
             Case{1e-20, "0.00", "$0.00"});
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
