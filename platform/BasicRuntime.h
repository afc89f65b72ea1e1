#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <optional>

// The numeric conversions of the classic BASIC runtime that the suite's data and
// command lines were written for. The SQL dialect and C++ code share these.
namespace BasicRuntime {

// Val: the leading number of the text. Blanks (space, tab, line feed) anywhere are
// skipped; sign, decimal point, exponent (E or D) and the &H / &O prefixes are read;
// reading stops at the first character that cannot continue the number. Empty or
// non-numeric text gives 0. "&HFFFF" is -1 (16-bit), "&HFFFFFFFF" is -1 (32-bit);
// a prefixed number beyond 32 bits gives 0.
double val(QStringView text);
// The same over UTF-8 bytes, for the SQL functions (no conversion to QString).
double val(const char* utf8, size_t size);

// The whole text as a number: blanks around it, sign, digits, decimal point and
// exponent; nothing when anything else is present or the text is empty.
std::optional<double> toNumber(QStringView text);
std::optional<double> toNumber(const char* utf8, size_t size);

// Str: the number with a leading blank when not negative, up to 15 significant
// digits, no zero before the decimal point (" .24", "-.5"), exponent form for very
// large or small magnitudes (" 1E+16", " 1E-05").
QString str(double value);

// The engine's plain number-to-text form: like Str without the leading blank
// (120.0 -> "120", 1.5 -> "1.5", 0.24 -> "0.24").
QString plainNumber(double value);

// Integer conversion that rounds half to even (0.5 -> 0, 1.5 -> 2, 2.5 -> 2);
// nothing when the value is not finite or outside the 32-bit signed range.
std::optional<int32_t> toInt32(double value);

// "#0.00" / "$#0.00" of a double, rounding half away from zero on its
// 15-significant-digit decimal form. A value that rounds to zero shows no minus.
QString formatAmount(double value);
QString formatDollars(double value);

// A double as the runtime sees it when printing: digits * 10^exponent, with at
// most 15 significant digits (digits < 10^15), correctly rounded.
struct DecimalForm {
    bool negative = false;
    uint64_t digits = 0;
    int exponent = 0;
};
DecimalForm decimalForm(double value);

// Allocation-free writers for hot paths. Each writes without a terminating zero
// and returns the length; `out` must hold the given capacity.
inline constexpr size_t NumberTextCapacity = 32;
inline constexpr size_t AmountTextCapacity = 330;
size_t writeStr(double value, char* out); // NumberTextCapacity
size_t writePlainNumber(double value, char* out); // NumberTextCapacity
size_t writeAmount(double value, bool dollars, char* out); // AmountTextCapacity

} // namespace BasicRuntime
