#include "platform/BasicRuntime.h"

#include "platform/CodeUnits.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace BasicRuntime {
namespace {

using CodeUnits::isDigit;
using CodeUnits::unit;

inline bool isValBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n';
}
inline bool isEdgeBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Collects the ASCII form of a number; long digit runs move to the heap, which
// real data never needs.
class NumberBuffer {
public:
    void push(char c)
    {
        if (m_size + 1 < sizeof(m_stack)) {
            m_stack[m_size++] = c;
            return;
        }
        if (m_heap.empty())
            m_heap.assign(m_stack, m_size);
        m_heap.push_back(c);
        ++m_size;
    }
    const char* terminated()
    {
        if (!m_heap.empty())
            return m_heap.c_str();
        m_stack[m_size] = '\0';
        return m_stack;
    }

private:
    char m_stack[96];
    size_t m_size = 0;
    std::string m_heap;
};

// Qt sets the process locale from the environment, so plain strtod might expect a
// decimal comma; parse in the C locale instead.
double parseAscii(const char* text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, cLocale);
}

template <typename C>
class Cursor {
public:
    Cursor(const C* begin, const C* end, bool skipBlanks) : m_p(begin), m_end(end), m_skip(skipBlanks) {}
    int peek()
    {
        if (m_skip)
            while (m_p < m_end && isValBlank(static_cast<int>(unit(*m_p))))
                ++m_p;
        return m_p < m_end ? static_cast<int>(unit(*m_p)) : -1;
    }
    void advance() { ++m_p; }
    bool atEnd() { return peek() < 0; }
    const C* position() const { return m_p; }
    void restore(const C* p) { m_p = p; }

private:
    const C* m_p;
    const C* m_end;
    bool m_skip;
};

// Sign, digits, point, digits, exponent; false when no mantissa digit was read.
template <typename C>
bool scanDecimal(Cursor<C>& in, NumberBuffer& out)
{
    int c = in.peek();
    if (c == '+' || c == '-') {
        if (c == '-')
            out.push('-');
        in.advance();
    }
    int mantissaDigits = 0;
    while (isDigit(c = in.peek())) {
        out.push(static_cast<char>(c));
        in.advance();
        ++mantissaDigits;
    }
    if (c == '.') {
        out.push('.');
        in.advance();
        while (isDigit(c = in.peek())) {
            out.push(static_cast<char>(c));
            in.advance();
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D') {
        const C* mark = in.position();
        in.advance();
        char sign = 0;
        c = in.peek();
        if (c == '+' || c == '-') {
            sign = static_cast<char>(c);
            in.advance();
            c = in.peek();
        }
        if (!isDigit(c)) {
            in.restore(mark); // "12E" or "12Ex": the E does not belong to the number
            return true;
        }
        out.push('e');
        if (sign)
            out.push(sign);
        while (isDigit(c = in.peek())) {
            out.push(static_cast<char>(c));
            in.advance();
        }
    }
    return true;
}

template <typename C>
double prefixedValue(Cursor<C>& in, unsigned radix)
{
    uint64_t value = 0;
    bool any = false;
    for (int c = in.peek();; c = in.peek()) {
        unsigned digit;
        if (isDigit(c))
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        if (digit >= radix)
            break;
        value = value * radix + digit;
        if (value > 0xFFFFFFFFull)
            return 0; // the runtime overflows here; no sensible number to give
        any = true;
        in.advance();
    }
    if (!any)
        return 0;
    // The runtime types a prefixed constant as the smallest signed integer that
    // holds its bits, so &HFFFF is a 16-bit -1.
    if (value <= 0xFFFF)
        return static_cast<int16_t>(static_cast<uint16_t>(value));
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

template <typename C>
double valImpl(const C* begin, const C* end)
{
    Cursor<C> in(begin, end, true);
    if (in.peek() == '&') {
        in.advance();
        const int kind = in.peek();
        if (kind == 'h' || kind == 'H') {
            in.advance();
            return prefixedValue(in, 16);
        }
        if (kind == 'o' || kind == 'O') {
            in.advance();
            return prefixedValue(in, 8);
        }
        return 0;
    }
    NumberBuffer buffer;
    if (!scanDecimal(in, buffer))
        return 0;
    return parseAscii(buffer.terminated());
}

template <typename C>
std::optional<double> toNumberImpl(const C* begin, const C* end)
{
    while (begin < end && isEdgeBlank(static_cast<int>(unit(*begin))))
        ++begin;
    while (end > begin && isEdgeBlank(static_cast<int>(unit(end[-1]))))
        --end;
    Cursor<C> in(begin, end, false);
    NumberBuffer buffer;
    if (!scanDecimal(in, buffer) || !in.atEnd())
        return std::nullopt;
    return parseAscii(buffer.terminated());
}

inline double normalisedZero(double value)
{
    return value == 0 ? 0.0 : value;
}

constexpr uint64_t powerOfTen(int n)
{
    uint64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

size_t writeUnsigned(uint64_t value, char* out)
{
    return static_cast<size_t>(std::to_chars(out, out + 24, value).ptr - out);
}

} // namespace

double val(QStringView text)
{
    const auto* data = reinterpret_cast<const char16_t*>(text.utf16());
    return valImpl(data, data + text.size());
}

double val(const char* utf8, size_t size)
{
    return valImpl(utf8, utf8 + size);
}

std::optional<double> toNumber(QStringView text)
{
    const auto* data = reinterpret_cast<const char16_t*>(text.utf16());
    return toNumberImpl(data, data + text.size());
}

std::optional<double> toNumber(const char* utf8, size_t size)
{
    return toNumberImpl(utf8, utf8 + size);
}

DecimalForm decimalForm(double value)
{
    DecimalForm form;
    if (!std::isfinite(value) || value == 0)
        return form;
    form.negative = value < 0;
    // d.dddddddddddddde±x: exactly 15 significant digits, correctly rounded.
    char buffer[NumberTextCapacity];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14).ptr;
    const char* p = buffer;
    for (; p < end && *p != 'e'; ++p)
        if (isDigit(*p))
            form.digits = form.digits * 10 + static_cast<uint64_t>(*p - '0');
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
    form.exponent = exponent - 14;
    while (form.digits % 10 == 0) {
        form.digits /= 10;
        ++form.exponent;
    }
    return form;
}

size_t writePlainNumber(double value, char* out)
{
    char* end = std::to_chars(out, out + NumberTextCapacity, normalisedZero(value), std::chars_format::general, 15).ptr;
    for (char* p = out; p < end; ++p)
        if (*p == 'e')
            *p = 'E';
    return static_cast<size_t>(end - out);
}

size_t writeStr(double value, char* out)
{
    value = normalisedZero(value);
    size_t n = 0;
    if (!(value < 0))
        out[n++] = ' ';
    const size_t length = writePlainNumber(value, out + n);
    char* number = out + n;
    const size_t zeroAt = (number[0] == '-') ? 1 : 0;
    if (length > zeroAt + 1 && number[zeroAt] == '0' && number[zeroAt + 1] == '.') {
        std::memmove(number + zeroAt, number + zeroAt + 1, length - zeroAt - 1);
        return n + length - 1;
    }
    return n + length;
}

size_t writeAmount(double value, bool dollars, char* out)
{
    const DecimalForm form = decimalForm(value);
    // The amount in cents as decimal digits, rounded half away from zero.
    char cents[AmountTextCapacity];
    size_t centsLength;
    const int shift = form.exponent + 2;
    if (form.digits == 0) {
        centsLength = writeUnsigned(0, cents);
    } else if (shift >= 0) {
        centsLength = writeUnsigned(form.digits, cents);
        std::memset(cents + centsLength, '0', static_cast<size_t>(shift));
        centsLength += static_cast<size_t>(shift);
    } else if (-shift > 15) {
        centsLength = writeUnsigned(0, cents);
    } else {
        const uint64_t divisor = powerOfTen(-shift);
        uint64_t quotient = form.digits / divisor;
        if ((form.digits % divisor) * 2 >= divisor)
            ++quotient;
        centsLength = writeUnsigned(quotient, cents);
    }
    const bool isZero = centsLength == 1 && cents[0] == '0';

    if (centsLength < 3) {
        const size_t pad = 3 - centsLength;
        std::memmove(cents + pad, cents, centsLength);
        std::memset(cents, '0', pad);
        centsLength = 3;
    }

    size_t n = 0;
    if (form.negative && !isZero)
        out[n++] = '-';
    if (dollars)
        out[n++] = '$';
    std::memcpy(out + n, cents, centsLength - 2);
    n += centsLength - 2;
    out[n++] = '.';
    out[n++] = cents[centsLength - 2];
    out[n++] = cents[centsLength - 1];
    return n;
}

QString str(double value)
{
    char buffer[NumberTextCapacity];
    return QString::fromLatin1(buffer, static_cast<qsizetype>(writeStr(value, buffer)));
}

QString plainNumber(double value)
{
    char buffer[NumberTextCapacity];
    return QString::fromLatin1(buffer, static_cast<qsizetype>(writePlainNumber(value, buffer)));
}

std::optional<int32_t> toInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double lower = std::floor(value);
    const double fraction = value - lower; // exact for every double below 2^52
    double rounded = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0))
        rounded = lower + 1;
    if (rounded < -2147483648.0 || rounded > 2147483647.0)
        return std::nullopt;
    return static_cast<int32_t>(rounded);
}

QString formatAmount(double value)
{
    char buffer[AmountTextCapacity];
    return QString::fromLatin1(buffer, static_cast<qsizetype>(writeAmount(value, false, buffer)));
}

QString formatDollars(double value)
{
    char buffer[AmountTextCapacity];
    return QString::fromLatin1(buffer, static_cast<qsizetype>(writeAmount(value, true, buffer)));
}

} // namespace BasicRuntime
