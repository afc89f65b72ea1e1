#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The numeric conversions of the classic BASIC runtime that the suite's data and
// command lines were written for. The SQL dialect and C++ code share these.
namespace BasicRuntime {

// Val: the leading number of the text. Blanks (space, tab, line feed) anywhere are
// skipped; sign, decimal point, exponent (E or D) and the &H / &O prefixes are read;
// reading stops at the first character that cannot continue the number. Empty or
// non-numeric text gives 0. "&HFFFF" is -1 (16-bit), "&HFFFFFFFF" is -1 (32-bit).
double val(const QString& text);

// Str: the number with a leading blank when not negative, up to 15 significant
// digits, no zero before the decimal point (" .24", "-.5"), exponent form for very
// large or small magnitudes (" 1E+16").
QString str(double value);

// The engine's plain number-to-text form: like Str without the leading blank
// (120.0 -> "120", 1.5 -> "1.5", 0.24 -> "0.24").
QString plainNumber(double value);

// Integer conversion that rounds half to even (0.5 -> 0, 1.5 -> 2, 2.5 -> 2);
// nothing when the value is not finite or outside the 32-bit signed range.
std::optional<int32_t> toInt32(double value);

// "#0.00" / "$#0.00" of a double, rounding half away from zero on its
// 15-significant-digit decimal form.
QString formatAmount(double value);
QString formatDollars(double value);

} // namespace BasicRuntime
