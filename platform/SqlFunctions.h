#pragma once

// What the dialect's functions share: reading their arguments as the runtime reads
// them, and the families SqlDialect::registerOn puts on a connection.

#include "platform/BasicRuntime.h"

#include <sqlite3.h>

#include <charconv>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace SqlDialect {

struct Function {
    const char* name;
    int argumentCount;
    void (*call)(sqlite3_context*, int, sqlite3_value**);
};

// datevalue, format, val, str and the money functions.
std::span<const Function> numberFunctions();
// left, mid, instr, space, len, the trims, vbjoin and plaintext.
std::span<const Function> textFunctions();
// LIKE with the desktop engine's wildcards.
std::span<const Function> likeFunctions();

inline constexpr char kInvalidCall[] = "Invalid procedure call or argument";
inline constexpr char kTypeMismatch[] = "Type mismatch";

// The text of an argument; numbers are written in the plain form into the
// argument's own buffer, so no allocation happens per row.
struct TextArg {
    const char* data = "";
    int size = 0;
    char buffer[BasicRuntime::NumberTextCapacity];

    TextArg() = default;
    TextArg(const TextArg&) = delete;
    TextArg& operator=(const TextArg&) = delete;

    // False for NULL.
    bool read(sqlite3_value* value)
    {
        switch (sqlite3_value_type(value)) {
        case SQLITE_NULL: return false;
        case SQLITE_INTEGER:
            data = buffer;
            size = static_cast<int>(std::to_chars(buffer, buffer + sizeof buffer, sqlite3_value_int64(value)).ptr
                                    - buffer);
            return true;
        case SQLITE_FLOAT:
            data = buffer;
            size = static_cast<int>(BasicRuntime::writePlainNumber(sqlite3_value_double(value), buffer));
            return true;
        default:
            if (const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value))) {
                data = text;
                size = sqlite3_value_bytes(value);
            }
            return true;
        }
    }
    std::string_view view() const { return {data, static_cast<size_t>(size)}; }
};

enum class Read { Null, Ok, Bad };

// A number argument: numbers as they are, text only when it is wholly a number.
inline Read readNumber(sqlite3_value* value, double& out)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL: return Read::Null;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: out = sqlite3_value_double(value); return Read::Ok;
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const std::optional<double> number =
            BasicRuntime::toNumber(text ? text : "", static_cast<size_t>(sqlite3_value_bytes(value)));
        if (!number)
            return Read::Bad;
        out = *number;
        return Read::Ok;
    }
    }
}

// A count or position argument, rounded half to even like the runtime's Long.
inline Read readCount(sqlite3_value* value, int64_t& out)
{
    if (sqlite3_value_type(value) == SQLITE_INTEGER) {
        out = sqlite3_value_int64(value);
        return Read::Ok;
    }
    double number = 0;
    const Read read = readNumber(value, number);
    if (read != Read::Ok)
        return read;
    const std::optional<int32_t> whole = BasicRuntime::toInt32(number);
    if (!whole)
        return Read::Bad;
    out = *whole;
    return Read::Ok;
}

inline bool isContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The byte offset `count` characters after `from`, or the end.
inline int skipChars(const TextArg& text, int from, int64_t count)
{
    int pos = from;
    while (count > 0 && pos < text.size) {
        ++pos;
        while (pos < text.size && isContinuation(text.data[pos]))
            ++pos;
        --count;
    }
    return pos;
}

inline int64_t countChars(const char* data, int size)
{
    int64_t count = 0;
    for (int i = 0; i < size; ++i)
        count += isContinuation(data[i]) ? 0 : 1;
    return count;
}

inline void resultText(sqlite3_context* context, const char* data, int size)
{
    sqlite3_result_text(context, data, size, SQLITE_TRANSIENT);
}

// Reads a count argument that must not be below `minimum`; false when the result
// is already set (NULL or an error).
inline bool countArg(sqlite3_context* context, sqlite3_value* value, int64_t minimum, int64_t& out)
{
    switch (readCount(value, out)) {
    case Read::Null: sqlite3_result_null(context); return false;
    case Read::Bad: sqlite3_result_error(context, kTypeMismatch, -1); return false;
    case Read::Ok: break;
    }
    if (out < minimum) {
        sqlite3_result_error(context, kInvalidCall, -1);
        return false;
    }
    return true;
}

} // namespace SqlDialect
