#pragma once

#include <string>

struct sqlite3_stmt;
class QVariant;

// Result values as the command line prints them: NULL as empty text, integers as
// integers, reals in their shortest round-trip form without a useless ".0"
// (120.0 -> "120", 1.5 -> "1.5"), text and blobs as stored.
namespace SqlValueText {
std::string number(double value);
std::string column(sqlite3_stmt* statement, int index);
// A value read through Qt from a server, printed as the same value in a file would
// be: dates and times as the ISO text the suite stores, booleans as 1 and 0.
std::string value(const QVariant& value);
} // namespace SqlValueText
