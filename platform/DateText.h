#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <QVariant>
#include <cstddef>
#include <optional>

// Dates as the suite writes and types them. Stored dates are ISO text
// ("2017-05-01", optionally followed by a time); typed dates are month/day/year.
namespace DateText {

// A date from ISO ("YYYY-MM-DD" followed by nothing or by a blank or 'T' and a time)
// or month/day/year text with 1-2 digit month and day and a 1-4 digit year
// (0-29 -> 20xx, 30-99 -> 19xx, years from 100 as written, up to 9999). Surrounding
// blanks are ignored. Impossible dates (1/35/17, 2/30/2019) are no date.
std::optional<QDate> parse(QStringView text);
// The same over UTF-8 bytes, for the SQL functions: writes "YYYY-MM-DD" (10 bytes,
// no terminating zero) into isoOut and returns true when the text is a date.
bool parseToIso(const char* utf8, size_t size, char* isoOut);
// The same for a stored value: a date, a date-time, or text as above.
std::optional<QDate> fromVariant(const QVariant& value);

QString toIso(const QDate& date); // 2017-05-01
QString toShort(const QDate& date); // 5/1/2017: the suite's short date on screen
QString toTyped(const QDate& date); // 05/01/2017: the completed form of a typed date

// ISO text or other stored date text shown as the short date; text that is no
// date is returned unchanged, null as empty.
QString displayShort(const QVariant& stored);

} // namespace DateText
