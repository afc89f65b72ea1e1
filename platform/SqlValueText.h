#pragma once

#include <string>

struct sqlite3_stmt;

// Result values as the command line prints them: NULL as empty text, integers as
// integers, reals in their shortest round-trip form without a useless ".0"
// (120.0 -> "120", 1.5 -> "1.5"), text and blobs as stored.
namespace SqlValueText {
std::string number(double value);
std::string column(sqlite3_stmt* statement, int index);
} // namespace SqlValueText
