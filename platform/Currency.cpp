#include "platform/Currency.h"

#include <algorithm>
#include <charconv>

#include "platform/BasicRuntime.h"

#include <cmath>
#include <limits>

namespace {

constexpr int64_t kUnitsPerWhole = 10000;
// The largest magnitude a count of ten-thousandths can hold, as a double.
constexpr double kLargestWhole = Currency::LargestWhole;

constexpr uint64_t powerOfTen(int n)
{
    uint64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

size_t writeAmount(int64_t units, bool dollars, char* out)
{
    const uint64_t magnitude = units < 0 ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
    const uint64_t cents = (magnitude + 50) / 100; // half away from zero
    char* at = out;
    if (units < 0 && cents != 0)
        *at++ = '-';
    if (dollars)
        *at++ = '$';
    at = std::to_chars(at, at + 21, cents / 100).ptr;
    *at++ = '.';
    const auto fraction = static_cast<int>(cents % 100);
    *at++ = static_cast<char>('0' + fraction / 10);
    *at++ = static_cast<char>('0' + fraction % 10);
    return static_cast<size_t>(at - out);
}

QString format(int64_t units, bool dollars)
{
    // Magnitude as unsigned so the most negative count does not overflow.
    const uint64_t magnitude = units < 0 ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
    const uint64_t cents = (magnitude + 50) / 100; // half away from zero
    QString text;
    text.reserve(24);
    if (units < 0 && cents != 0)
        text += QLatin1Char('-');
    if (dollars)
        text += QLatin1Char('$');
    text += QString::number(cents / 100);
    text += QLatin1Char('.');
    const auto fraction = static_cast<int>(cents % 100);
    text += QLatin1Char(static_cast<char>('0' + fraction / 10));
    text += QLatin1Char(static_cast<char>('0' + fraction % 10));
    return text;
}

} // namespace

Currency Currency::fromDouble(double value)
{
    if (std::isnan(value))
        return Currency();
    if (std::fabs(value) >= kLargestWhole) // saturate rather than wrap
        return Currency(value < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max());
    const BasicRuntime::DecimalForm form = BasicRuntime::decimalForm(value);
    // units = digits * 10^(exponent + 4), rounded half to even like the runtime's
    // conversion to its currency type.
    const int shift = form.exponent + 4;
    uint64_t units;
    if (shift >= 0) {
        units = form.digits * powerOfTen(shift);
    } else if (-shift > 15) {
        units = 0;
    } else {
        const uint64_t divisor = powerOfTen(-shift);
        units = form.digits / divisor;
        const uint64_t remainder = form.digits % divisor;
        if (remainder * 2 > divisor || (remainder * 2 == divisor && units % 2 != 0))
            ++units;
    }
    const auto signedUnits = static_cast<int64_t>(units);
    return Currency(form.negative ? -signedUnits : signedUnits);
}

std::optional<Currency> Currency::fromText(const QString& text)
{
    const std::optional<double> number = BasicRuntime::toNumber(text);
    if (!number || !std::isfinite(*number) || std::fabs(*number) >= kLargestWhole)
        return std::nullopt;
    return fromDouble(*number);
}

std::optional<Currency> Currency::fromUtf8(const char* text, size_t size)
{
    // Fast path: [-]digits[.digits] with at most four decimals and no blanks. More
    // than 15 significant digits take the general path, which reads the number as the
    // runtime does (rounded to 15 digits), so both paths give one amount.
    size_t i = 0;
    const bool negative = size > 0 && text[0] == '-';
    if (negative)
        ++i;
    uint64_t units = 0;
    int wholeDigits = 0;
    int decimals = -1;
    int significant = 0;
    bool plain = i < size;
    for (; plain && i < size; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if ((units > 0 || c != '0') && ++significant > 15)
                plain = false;
            else if (decimals >= 0 && ++decimals > 4)
                plain = false;
            else if (decimals < 0 && ++wholeDigits > 14)
                plain = false;
            else
                units = units * 10 + static_cast<uint64_t>(c - '0');
        } else if (c == '.' && decimals < 0) {
            decimals = 0;
        } else {
            plain = false;
        }
    }
    if (plain && (wholeDigits > 0 || decimals > 0)) {
        for (int d = std::max(decimals, 0); d < 4; ++d)
            units *= 10;
        const auto signedUnits = static_cast<int64_t>(units);
        return Currency(negative ? -signedUnits : signedUnits);
    }
    const std::optional<double> number = BasicRuntime::toNumber(text, size);
    if (!number || !std::isfinite(*number) || std::fabs(*number) >= kLargestWhole)
        return std::nullopt;
    return fromDouble(*number);
}

std::optional<Currency> Currency::fromVariant(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar: {
        const qlonglong whole = value.toLongLong();
        if (whole > std::numeric_limits<int64_t>::max() / kUnitsPerWhole
            || whole < std::numeric_limits<int64_t>::min() / kUnitsPerWhole)
            return std::nullopt;
        return Currency(whole * kUnitsPerWhole);
    }
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        // A server's driver hands positive whole numbers over unsigned.
        const qulonglong whole = value.toULongLong();
        if (whole > static_cast<qulonglong>(std::numeric_limits<int64_t>::max() / kUnitsPerWhole))
            return std::nullopt;
        return Currency(static_cast<int64_t>(whole) * kUnitsPerWhole);
    }
    case QMetaType::QString: return fromText(value.toString());
    case QMetaType::QByteArray: return fromText(QString::fromUtf8(value.toByteArray()));
    default: break;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) >= kLargestWhole)
        return std::nullopt;
    return fromDouble(number);
}

QString Currency::toPlain() const
{
    return format(m_units, false);
}

size_t Currency::writePlain(char* out) const
{
    return writeAmount(m_units, false, out);
}

QString Currency::toDollars() const
{
    return format(m_units, true);
}
