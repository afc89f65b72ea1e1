#include "platform/Currency.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDate>

#include <limits>

namespace {

struct DoubleCase {
    double value;
    int64_t units;
};

class CurrencyFromDoubleTest : public testing::TestWithParam<DoubleCase> {};

TEST_P(CurrencyFromDoubleTest, RoundsTheDecimalFormToFourPlaces)
{
    EXPECT_EQ(Currency::fromDouble(GetParam().value).tenThousandths(), GetParam().units) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Cases, CurrencyFromDoubleTest,
                         testing::Values(DoubleCase{0.075, 750}, DoubleCase{-0.075, -750}, DoubleCase{12.5, 125000},
                                         DoubleCase{0.1 + 0.2, 3000}, DoubleCase{1.23456, 12346},
                                         DoubleCase{0.00005, 0}, // half to even
                                         DoubleCase{0.00015, 2}, DoubleCase{0.00025, 2}, DoubleCase{-0.00015, -2},
                                         DoubleCase{1e-20, 0}, DoubleCase{0, 0},
                                         DoubleCase{123456789.1234, 1234567891234},
                                         DoubleCase{1e15, std::numeric_limits<int64_t>::max()},
                                         DoubleCase{-1e15, std::numeric_limits<int64_t>::min()},
                                         DoubleCase{std::numeric_limits<double>::quiet_NaN(), 0}));

struct FormatCase {
    int64_t units;
    const char* plain;
    const char* dollars;
};

class CurrencyFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(CurrencyFormatTest, FormatsToTheCentHalfAwayFromZero)
{
    const Currency amount = Currency::fromTenThousandths(GetParam().units);
    EXPECT_EQ(amount.toPlain(), QLatin1String(GetParam().plain));
    EXPECT_EQ(amount.toDollars(), QLatin1String(GetParam().dollars));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CurrencyFormatTest,
    testing::Values(FormatCase{750, "0.08", "$0.08"}, FormatCase{-50, "-0.01", "-$0.01"},
                    FormatCase{-49, "0.00", "$0.00"}, FormatCase{12345000, "1234.50", "$1234.50"},
                    FormatCase{0, "0.00", "$0.00"}, FormatCase{-50000, "-5.00", "-$5.00"},
                    FormatCase{5, "0.00", "$0.00"}, FormatCase{99950, "10.00", "$10.00"},
                    FormatCase{std::numeric_limits<int64_t>::max(), "922337203685477.58", "$922337203685477.58"},
                    FormatCase{std::numeric_limits<int64_t>::min(), "-922337203685477.58", "-$922337203685477.58"}));

struct TextCase {
    const char* text;
    std::optional<int64_t> units;
};

class CurrencyFromTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(CurrencyFromTextTest, ReadsTextThatIsWhollyANumber)
{
    const std::optional<Currency> amount = Currency::fromText(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(amount.has_value(), GetParam().units.has_value()) << GetParam().text;
    if (amount) {
        EXPECT_EQ(amount->tenThousandths(), *GetParam().units) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CurrencyFromTextTest,
                         testing::Values(TextCase{"12.5", 125000}, TextCase{" -3.25 ", -32500},
                                         TextCase{"1e2", 1000000}, TextCase{"0.075", 750}, TextCase{"", std::nullopt},
                                         TextCase{"  ", std::nullopt}, TextCase{"abc", std::nullopt},
                                         TextCase{"12abc", std::nullopt}, TextCase{"1e300", std::nullopt}));

struct VariantCase {
    const char* name;
    QVariant value;
    std::optional<int64_t> units;
};

TEST(CurrencyFromVariantTest, ReadsStoredValuesOfEveryType)
{
    const VariantCase cases[] = {
        {"int", QVariant(7), 70000},
        {"negative long long", QVariant(qlonglong(-12)), -120000},
        {"double", QVariant(0.075), 750},
        {"text", QVariant(QStringLiteral(" 19.99")), 199900},
        {"utf8 bytes", QVariant(QByteArray("4.5")), 45000},
        {"empty text", QVariant(QString()), std::nullopt},
        {"non-numeric text", QVariant(QStringLiteral("n/a")), std::nullopt},
        {"null", QVariant(), std::nullopt},
        {"typed null", QVariant(QMetaType::fromType<double>()), std::nullopt},
        {"overflowing integer", QVariant(std::numeric_limits<qlonglong>::max()), std::nullopt},
        {"unsigned (a server's whole number)", QVariant(qulonglong(12)), 120000},
        {"overflowing unsigned", QVariant(std::numeric_limits<qulonglong>::max()), std::nullopt},
        {"date", QVariant(QDate(2017, 5, 1)), std::nullopt},
    };
    for (const VariantCase& c : cases) {
        const std::optional<Currency> amount = Currency::fromVariant(c.value);
        ASSERT_EQ(amount.has_value(), c.units.has_value()) << c.name;
        if (amount) {
            EXPECT_EQ(amount->tenThousandths(), *c.units) << c.name;
        }
    }
}

TEST(CurrencyArithmeticTest, SumsOfCentsNeverDrift)
{
    Currency total;
    for (int i = 0; i < 1000; ++i)
        total += Currency::fromDouble(0.1);
    EXPECT_EQ(total.toPlain(), QLatin1String("100.00"));
    total -= Currency::fromDouble(100.05);
    EXPECT_EQ(total.toDollars(), QLatin1String("-$0.05"));
    EXPECT_EQ((-total).toPlain(), QLatin1String("0.05"));
    EXPECT_LT(total, Currency());
}

} // namespace
