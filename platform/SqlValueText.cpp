#include "platform/SqlValueText.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>

namespace SqlValueText {

std::string number(double value)
{
    // Whole values below 1e15 print as integers; beyond, the shortest form is
    // clearer than a run of invented zeros.
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string column(sqlite3_stmt* statement, int index)
{
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return std::to_string(sqlite3_column_int64(statement, index));
    case SQLITE_FLOAT: return number(sqlite3_column_double(statement, index));
    default: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, index));
        return bytes ? std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(statement, index))) : std::string();
    }
    }
}

} // namespace SqlValueText
