#include "platform/DateText.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace {

TEST(DateTextTest, ReadsStoredAndTypedForms)
{
    // clang-format off
    struct Case { const char* text; QDate expected; }; // invalid: no date
    const QDate may1(2017, 5, 1);
    const Case cases[] = {
        {"2017-05-01", may1}, {"2017-05-01 13:45:00", may1}, {"2017-05-01T13:45:00", may1}, {"2017-05-01 9:05", may1},
        {"2017-5-1", may1}, {"  2017-05-01\t", may1}, {"5/1/2017", may1}, {"05/01/2017", may1},
        {"12/31/1999", QDate(1999, 12, 31)}, {"5/1/17", may1}, {"5/1/00", QDate(2000, 5, 1)},
        {"5/1/29", QDate(2029, 5, 1)}, {"5/1/30", QDate(1930, 5, 1)}, {"5/1/99", QDate(1999, 5, 1)},
        {"5/1/7", QDate(2007, 5, 1)}, {"2/29/2000", QDate(2000, 2, 29)}, {"2/29/2016 10:30", QDate(2016, 2, 29)},
        {"1/1/100", QDate(100, 1, 1)}, {"12/31/9999", QDate(9999, 12, 31)}, {" 5/1/2017 ", may1}, {"1/35/17", {}},
        {"2/30/2019", {}}, {"2/29/1900", {}}, {"2/29/2019", {}}, {"13/1/2017", {}}, {"0/1/2017", {}}, {"5/0/2017", {}},
        {"", {}}, {"   ", {}}, {"abc", {}}, {"5/1", {}}, {"5/1/", {}}, {"5/1/20171", {}}, {"123/1/2017", {}},
        {"1/1/0099", {}}, {"2017-13-01", {}}, {"2017-02-30", {}}, {"17-05-01", {}}, {"2017-05", {}},
        {"2017-05-01x", {}}, {"2017-05-01 garbage", {}}, {"5/1/2017abc", {}}, {"20170501", {}}};
    // clang-format on
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const std::optional<QDate> date = DateText::parse(text);
        ASSERT_EQ(date.has_value(), c.expected.isValid()) << c.text;

        const QByteArray utf8 = text.toUtf8();
        char iso[10];
        const bool isDate = DateText::parseToIso(utf8.constData(), static_cast<size_t>(utf8.size()), iso);
        ASSERT_EQ(isDate, c.expected.isValid()) << c.text;
        if (date) {
            EXPECT_EQ(*date, c.expected) << c.text;
            EXPECT_EQ(QLatin1String(iso, 10), c.expected.toString(Qt::ISODate)) << c.text;
        }
    }
}

TEST(DateTextTest, ReadsStoredValuesOfEveryType)
{
    struct Case {
        const char* name;
        QVariant value;
        QDate expected;
        const char* shown;
    };
    const QDate may1(2017, 5, 1);
    // clang-format off
    const Case cases[] = {
        {"date", QVariant(may1), may1, "5/1/2017"}, {"year 100", QVariant(QDate(100, 1, 9)), QDate(100, 1, 9), "1/9/0100"},
        {"date-time", QVariant(QDateTime(may1, QTime(23, 59))), may1, "5/1/2017"},
        {"ISO text", QVariant(QStringLiteral("2017-05-01 00:00:00")), may1, "5/1/2017"},
        {"typed text", QVariant(QStringLiteral("5/1/17")), may1, "5/1/2017"},
        {"bytes", QVariant(QByteArray("2017-05-01")), may1, "5/1/2017"},
        {"no date", QVariant(QStringLiteral("soon")), QDate(), "soon"},
        {"invalid date", QVariant(QDate()), QDate(), ""}, {"number", QVariant(42856), QDate(), "42856"},
        {"null", QVariant(), QDate(), ""}};
    // clang-format on
    for (const Case& c : cases) {
        const std::optional<QDate> date = DateText::fromVariant(c.value);
        EXPECT_EQ(date.has_value(), c.expected.isValid()) << c.name;
        if (date) {
            EXPECT_EQ(*date, c.expected) << c.name;
        }
        EXPECT_EQ(DateText::displayShort(c.value), QLatin1String(c.shown)) << c.name;
    }
}

} // namespace
