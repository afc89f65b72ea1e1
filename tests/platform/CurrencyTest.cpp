#include "platform/Currency.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDate>

#include <limits>

namespace {

TEST(CurrencyTest, RoundsTheDecimalFormToFourPlaces)
{
    // clang-format off
    struct Case { double value; int64_t units; };
    const Case cases[] = {
        {0.075, 750}, {-0.075, -750}, {12.5, 125000}, {0.1 + 0.2, 3000}, {1.23456, 12346}, {0.00005, 0}, {0.00015, 2},
        {0.00025, 2}, {-0.00015, -2}, {1e-20, 0}, {0, 0}, {123456789.1234, 1234567891234},
        {1e15, std::numeric_limits<int64_t>::max()}, {-1e15, std::numeric_limits<int64_t>::min()},
        {std::numeric_limits<double>::quiet_NaN(), 0}};
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(Currency::fromDouble(c.value).tenThousandths(), c.units) << c.value;
}

TEST(CurrencyTest, FormatsToTheCentHalfAwayFromZero)
{
    // clang-format off
    struct Case { int64_t units; const char* plain; const char* dollars; };
    const Case cases[] = {
        {750, "0.08", "$0.08"}, {-50, "-0.01", "-$0.01"}, {-49, "0.00", "$0.00"}, {12345000, "1234.50", "$1234.50"},
        {0, "0.00", "$0.00"}, {-50000, "-5.00", "-$5.00"}, {5, "0.00", "$0.00"}, {99950, "10.00", "$10.00"},
        {std::numeric_limits<int64_t>::max(), "922337203685477.58", "$922337203685477.58"},
        {std::numeric_limits<int64_t>::min(), "-922337203685477.58", "-$922337203685477.58"}};
    // clang-format on
    for (const Case& c : cases) {
        const Currency amount = Currency::fromTenThousandths(c.units);
        EXPECT_EQ(amount.toPlain(), QLatin1String(c.plain));
        EXPECT_EQ(amount.toDollars(), QLatin1String(c.dollars));
    }
}

TEST(CurrencyTest, ReadsStoredValuesOfEveryTypeAndTextThatIsWhollyANumber)
{
    struct Case {
        QVariant value;
        std::optional<int64_t> units;
    };
    const auto none = std::nullopt;
    // clang-format off
    const Case cases[] = {
        {7, 70000}, {qlonglong(-12), -120000}, {0.075, 750}, {QByteArray("4.5"), 45000}, {QString(), none},
        {QVariant(), none}, {QVariant(QMetaType::fromType<double>()), none},
        {std::numeric_limits<qlonglong>::max(), none}, {qulonglong(12), 120000},
        {std::numeric_limits<qulonglong>::max(), none}, {QDate(2017, 5, 1), none}, {" 19.99", 199900},
        {"12.5", 125000}, {" -3.25 ", -32500}, {"1e2", 1000000}, {"0.075", 750}, {"", none}, {"  ", none},
        {"n/a", none}, {"12abc", none}, {"1e300", none}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value.typeName() << " " << c.value.toString().toStdString());
        const std::optional<Currency> amount = Currency::fromVariant(c.value);
        ASSERT_EQ(amount.has_value(), c.units.has_value());
        if (amount) {
            EXPECT_EQ(amount->tenThousandths(), *c.units);
        }
    }
}

TEST(CurrencyTest, SumsOfCentsNeverDrift)
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
