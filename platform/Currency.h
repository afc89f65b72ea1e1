#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

// Exact money: a 64-bit count of ten-thousandths, like the suite's currency type.
// Sums never drift, and formatting rounds half away from zero as the suite does.
class Currency {
public:
    // Whole units at and beyond this magnitude do not fit the type.
    static constexpr double LargestWhole = 922337203685477.0;

    constexpr Currency() = default;
    static constexpr Currency fromTenThousandths(int64_t units) { return Currency(units); }
    // Rounds to four decimals (half to even, as the runtime's conversion does) on the
    // value's decimal form (15 significant digits), so a stored 0.075 stays 0.075
    // rather than its binary neighbour. Magnitudes beyond the range saturate.
    static Currency fromDouble(double value);
    // Reads a stored amount: a number, or text that is wholly a number (blanks around
    // it, sign, decimals, exponent). Null, empty, non-numeric or out-of-range gives nothing.
    static std::optional<Currency> fromVariant(const QVariant& value);
    static std::optional<Currency> fromText(const QString& text);
    // The same for UTF-8 text; plain decimals ("-12.50") are read exactly without
    // going through a double, which is what stored amounts nearly always are.
    static std::optional<Currency> fromUtf8(const char* text, size_t size);

    constexpr int64_t tenThousandths() const { return m_units; }
    double toDouble() const { return static_cast<double>(m_units) / 10000.0; }

    // "#0.00": at least one integer digit, two decimals, '-' before negatives.
    QString toPlain() const;
    // The same into a buffer of at least PlainCapacity bytes; returns the length.
    static constexpr size_t PlainCapacity = 32;
    size_t writePlain(char* out) const;
    // "$#0.00": the same after '$', the minus first ("-$5.00").
    QString toDollars() const;

    constexpr Currency operator+(Currency o) const { return Currency(m_units + o.m_units); }
    constexpr Currency operator-(Currency o) const { return Currency(m_units - o.m_units); }
    constexpr Currency operator-() const { return Currency(-m_units); }
    Currency& operator+=(Currency o)
    {
        m_units += o.m_units;
        return *this;
    }
    Currency& operator-=(Currency o)
    {
        m_units -= o.m_units;
        return *this;
    }
    constexpr auto operator<=>(const Currency&) const = default;

private:
    constexpr explicit Currency(int64_t units) : m_units(units) {}
    int64_t m_units = 0;
};
