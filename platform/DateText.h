#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

// Dates as the suite writes and types them. Stored dates are ISO text
// ("2017-05-01", optionally followed by a time); typed dates are month/day/year.
namespace DateText {

// A date from ISO ("YYYY-MM-DD[ time]") or month/day/year text with 1-2 digit month
// and day and a 2- or 4-digit year (00-29 -> 20xx, 30-99 -> 19xx). Surrounding blanks
// are ignored. Impossible dates (1/35/17, 2/30/2019) are no date.
std::optional<QDate> parse(const QString& text);
// The same for a stored value: a date, a date-time, or text as above.
std::optional<QDate> fromVariant(const QVariant& value);

QString toIso(const QDate& date);        // 2017-05-01
QString toShort(const QDate& date);      // 5/1/2017: the suite's short date on screen
QString toTyped(const QDate& date);      // 05/01/2017: the completed form of a typed date

// ISO text or other stored date text shown as the short date; text that is no
// date is returned unchanged, null as empty.
QString displayShort(const QVariant& stored);

} // namespace DateText
