#include "platform/DateText.h"

#include "platform/CodeUnits.h"

#include <QDateTime>

namespace DateText {
namespace {

struct Ymd {
    int year = 0;
    int month = 0;
    int day = 0;
};

using CodeUnits::isDigit;
using CodeUnits::unit;

inline bool isBlank(unsigned c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Reads up to maxDigits digits; the count read goes to `count`.
template <typename C>
int readNumber(const C*& p, const C* end, int maxDigits, int& count)
{
    int value = 0;
    count = 0;
    while (p < end && count < maxDigits + 1 && isDigit(unit(*p))) {
        value = value * 10 + static_cast<int>(unit(*p) - '0');
        ++count;
        ++p;
    }
    return value;
}

// What may follow the date: nothing, or a blank or 'T' and a time of day (h:mm...).
template <typename C>
bool isTimeTail(const C* p, const C* end)
{
    if (p == end)
        return true;
    if (*p != C('T') && !isBlank(unit(*p)))
        return false;
    ++p;
    while (p < end && isBlank(unit(*p)))
        ++p;
    int digits;
    readNumber(p, end, 2, digits);
    if (digits < 1 || digits > 2 || p == end || *p != C(':'))
        return false;
    ++p;
    readNumber(p, end, 2, digits);
    return digits == 2;
}

template <typename C>
std::optional<Ymd> parseYmd(const C* p, const C* end)
{
    while (p < end && isBlank(unit(*p)))
        ++p;
    while (end > p && isBlank(unit(end[-1])))
        --end;

    Ymd date;
    int digits;
    const int first = readNumber(p, end, 4, digits);
    if (digits == 4 && p < end && *p == C('-')) {
        date.year = first;
        ++p;
        date.month = readNumber(p, end, 2, digits);
        if (digits < 1 || digits > 2 || p == end || *p != C('-'))
            return std::nullopt;
        ++p;
        date.day = readNumber(p, end, 2, digits);
        if (digits < 1 || digits > 2)
            return std::nullopt;
    } else if (digits >= 1 && digits <= 2 && p < end && *p == C('/')) {
        date.month = first;
        ++p;
        date.day = readNumber(p, end, 2, digits);
        if (digits < 1 || digits > 2 || p == end || *p != C('/'))
            return std::nullopt;
        ++p;
        date.year = readNumber(p, end, 4, digits);
        if (digits < 1 || digits > 4)
            return std::nullopt;
        if (digits <= 2)
            date.year += date.year < 30 ? 2000 : 1900;
    } else {
        return std::nullopt;
    }
    if (!isTimeTail(p, end))
        return std::nullopt;
    if (date.year < 100 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1
        || date.day > daysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

void writeDigits(char* out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

} // namespace

std::optional<QDate> parse(QStringView text)
{
    const auto* data = reinterpret_cast<const char16_t*>(text.utf16());
    const std::optional<Ymd> date = parseYmd(data, data + text.size());
    if (!date)
        return std::nullopt;
    return QDate(date->year, date->month, date->day);
}

bool parseToIso(const char* utf8, size_t size, char* isoOut)
{
    const std::optional<Ymd> date = parseYmd(utf8, utf8 + size);
    if (!date)
        return false;
    writeDigits(isoOut, date->year, 4);
    isoOut[4] = '-';
    writeDigits(isoOut + 5, date->month, 2);
    isoOut[7] = '-';
    writeDigits(isoOut + 8, date->day, 2);
    return true;
}

std::optional<QDate> fromVariant(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().isValid() ? std::optional<QDate>(value.toDate()) : std::nullopt;
    case QMetaType::QDateTime: {
        const QDate date = value.toDateTime().date();
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    case QMetaType::QString: return parse(value.toString());
    case QMetaType::QByteArray: return parse(QString::fromUtf8(value.toByteArray()));
    default: return std::nullopt;
    }
}

QString toIso(const QDate& date)
{
    char text[10];
    writeDigits(text, date.year(), 4);
    text[4] = '-';
    writeDigits(text + 5, date.month(), 2);
    text[7] = '-';
    writeDigits(text + 8, date.day(), 2);
    return QString::fromLatin1(text, 10);
}

QString toShort(const QDate& date)
{
    char text[4];
    writeDigits(text, date.year(), 4);
    return QString::number(date.month()) + QLatin1Char('/') + QString::number(date.day()) + QLatin1Char('/')
        + QLatin1String(text, 4);
}

QString toTyped(const QDate& date)
{
    char text[10];
    writeDigits(text, date.month(), 2);
    text[2] = '/';
    writeDigits(text + 3, date.day(), 2);
    text[5] = '/';
    writeDigits(text + 6, date.year(), 4);
    return QString::fromLatin1(text, 10);
}

QString displayShort(const QVariant& stored)
{
    if (stored.isNull())
        return QString();
    if (const std::optional<QDate> date = fromVariant(stored))
        return toShort(*date);
    return stored.toString();
}

} // namespace DateText
