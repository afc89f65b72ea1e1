#include "platform/Currency.h"

#include "platform/TestRows.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDate>

#include <limits>

namespace {

TEST(CurrencyTest, RoundsTheDecimalFormToFourPlaces)
{
    struct Case {
        double value;
        int64_t units;
    };
    const auto cases =
        rows(Case{0.075, 750}, Case{-0.075, -750}, Case{12.5, 125000}, Case{0.1 + 0.2, 3000}, Case{1.23456, 12346},
             Case{0.00005, 0}, // half to even
             Case{0.00015, 2}, Case{0.00025, 2}, Case{-0.00015, -2}, Case{1e-20, 0}, Case{0, 0},
             Case{123456789.1234, 1234567891234}, Case{1e15, std::numeric_limits<int64_t>::max()},
             Case{-1e15, std::numeric_limits<int64_t>::min()}, Case{std::numeric_limits<double>::quiet_NaN(), 0});
    for (const Case& c : cases) {
        EXPECT_EQ(Currency::fromDouble(c.value).tenThousandths(), c.units) << c.value;
    }
}

TEST(CurrencyTest, FormatsToTheCentHalfAwayFromZero)
{
    struct Case {
        int64_t units;
        const char* plain;
        const char* dollars;
    };
    const auto cases = rows(Case{750, "0.08", "$0.08"}, Case{-50, "-0.01", "-$0.01"}, Case{-49, "0.00", "$0.00"},
                            Case{12345000, "1234.50", "$1234.50"}, Case{0, "0.00", "$0.00"},
                            Case{-50000, "-5.00", "-$5.00"}, Case{5, "0.00", "$0.00"}, Case{99950, "10.00", "$10.00"},
                            Case{std::numeric_limits<int64_t>::max(), "922337203685477.58", "$922337203685477.58"},
                            Case{std::numeric_limits<int64_t>::min(), "-922337203685477.58", "-$922337203685477.58"});
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
    const auto cases = rows(
        Case{7, 70000}, Case{qlonglong(-12), -120000}, Case{0.075, 750}, Case{QByteArray("4.5"), 45000},
        Case{QString(), none}, Case{QVariant(), none}, Case{QVariant(QMetaType::fromType<double>()), none},
        Case{std::numeric_limits<qlonglong>::max(), none}, Case{qulonglong(12), 120000}, // a server's whole number
        Case{std::numeric_limits<qulonglong>::max(), none}, Case{QDate(2017, 5, 1), none},
        // Text
        Case{" 19.99", 199900}, Case{"12.5", 125000}, Case{" -3.25 ", -32500}, Case{"1e2", 1000000}, Case{"0.075", 750},
        Case{"", none}, Case{"  ", none}, Case{"n/a", none}, Case{"12abc", none}, Case{"1e300", none});
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
