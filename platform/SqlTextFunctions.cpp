// The dialect's text functions, counting characters as the runtime does.
#include "platform/SqlFunctions.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace SqlDialect {
namespace {

bool isAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

inline char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The 0-based character index of needle in haystack at or after character `start`,
// or -1. Case-blind comparison folds case the way QString does.
int64_t findChars(const TextArg& haystack, const TextArg& needle, int64_t start, bool ignoreCase)
{
    const int from = skipChars(haystack, 0, start);
    const std::string_view hay = haystack.view();
    const std::string_view pin = needle.view();
    size_t found = std::string_view::npos;
    if (!ignoreCase) {
        found = hay.find(pin, static_cast<size_t>(from));
    } else if (isAscii(hay) && isAscii(pin)) {
        for (size_t at = static_cast<size_t>(from); at + pin.size() <= hay.size() && found == std::string_view::npos;
             ++at) {
            size_t i = 0;
            while (i < pin.size() && asciiLower(hay[at + i]) == asciiLower(pin[i]))
                ++i;
            if (i == pin.size())
                found = at;
        }
    } else {
        const QString wide = QString::fromUtf8(hay.data() + from, static_cast<qsizetype>(hay.size()) - from);
        const qsizetype index =
            wide.indexOf(QString::fromUtf8(pin.data(), static_cast<qsizetype>(pin.size())), 0, Qt::CaseInsensitive);
        if (index < 0)
            return -1;
        return start + QStringView(wide).left(index).toUcs4().size();
    }
    if (found == std::string_view::npos)
        return -1;
    return countChars(hay.data(), static_cast<int>(found));
}

void left(sqlite3_context* context, int, sqlite3_value** argv)
{
    TextArg text;
    int64_t count = 0;
    if (!text.read(argv[0])) {
        sqlite3_result_null(context);
        return;
    }
    if (!countArg(context, argv[1], 0, count))
        return;
    resultText(context, text.data, skipChars(text, 0, count));
}

void mid(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    TextArg text;
    int64_t start = 0;
    int64_t count = 0;
    if (!text.read(argv[0])) {
        sqlite3_result_null(context);
        return;
    }
    if (!countArg(context, argv[1], 1, start))
        return;
    if (argc > 2 && !countArg(context, argv[2], 0, count))
        return;
    const int begin = skipChars(text, 0, start - 1);
    const int end = argc > 2 ? skipChars(text, begin, count) : text.size;
    resultText(context, text.data + begin, end - begin);
}

void instr(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    int64_t start = 0;
    if (!countArg(context, argv[0], 1, start))
        return;
    TextArg haystack;
    TextArg needle;
    if (!haystack.read(argv[1]) || !needle.read(argv[2])) {
        sqlite3_result_null(context);
        return;
    }
    int64_t compare = 1;
    if (argc > 3 && !countArg(context, argv[3], 0, compare))
        return;
    if (compare > 1) {
        sqlite3_result_error(context, kInvalidCall, -1);
        return;
    }
    if (start > countChars(haystack.data, haystack.size)) {
        sqlite3_result_int64(context, 0);
        return;
    }
    if (needle.size == 0) {
        sqlite3_result_int64(context, start);
        return;
    }
    const int64_t index = findChars(haystack, needle, start - 1, compare == 1);
    sqlite3_result_int64(context, index < 0 ? 0 : index + 1);
}

void space(sqlite3_context* context, int, sqlite3_value** argv)
{
    int64_t count = 0;
    if (!countArg(context, argv[0], 0, count))
        return;
    if (count > sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LENGTH, -1)) {
        sqlite3_result_error_toobig(context);
        return;
    }
    auto* blanks = static_cast<char*>(sqlite3_malloc64(static_cast<sqlite3_uint64>(count) + 1));
    if (!blanks) {
        sqlite3_result_error_nomem(context);
        return;
    }
    std::memset(blanks, ' ', static_cast<size_t>(count));
    sqlite3_result_text64(context, blanks, static_cast<sqlite3_uint64>(count), sqlite3_free, SQLITE_UTF8);
}

void len(sqlite3_context* context, int, sqlite3_value** argv)
{
    TextArg text;
    if (!text.read(argv[0]))
        sqlite3_result_null(context);
    else
        sqlite3_result_int64(context, countChars(text.data, text.size));
}

template <bool Leading, bool Trailing>
void trimBlanks(sqlite3_context* context, int, sqlite3_value** argv)
{
    TextArg text;
    if (!text.read(argv[0])) {
        sqlite3_result_null(context);
        return;
    }
    int begin = 0;
    int end = text.size;
    if (Leading)
        while (begin < end && text.data[begin] == ' ')
            ++begin;
    if (Trailing)
        while (end > begin && text.data[end - 1] == ' ')
            --end;
    resultText(context, text.data + begin, end - begin);
}

// Joins into one allocation sized up front; the arguments are read once, on the
// stack unless the list is very long.
void vbjoin(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    constexpr int kMostOnStack = 16;
    TextArg onStack[kMostOnStack];
    std::vector<TextArg> onHeap(argc > kMostOnStack ? static_cast<size_t>(argc) : 0);
    TextArg* texts = argc > kMostOnStack ? onHeap.data() : onStack;
    sqlite3_uint64 total = 0;
    for (int i = 0; i < argc; ++i) {
        if (!texts[i].read(argv[i]))
            texts[i].size = 0;
        total += static_cast<sqlite3_uint64>(texts[i].size);
    }
    if (total
        > static_cast<sqlite3_uint64>(sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LENGTH, -1))) {
        sqlite3_result_error_toobig(context);
        return;
    }
    auto* joined = static_cast<char*>(sqlite3_malloc64(total + 1));
    if (!joined) {
        sqlite3_result_error_nomem(context);
        return;
    }
    char* at = joined;
    for (int i = 0; i < argc; ++i) {
        if (texts[i].size > 0)
            std::memcpy(at, texts[i].data, static_cast<size_t>(texts[i].size));
        at += texts[i].size;
    }
    sqlite3_result_text64(context, joined, total, sqlite3_free, SQLITE_UTF8);
}

// A value in a text column's plain form: numbers without a trailing ".0".
void plainText(sqlite3_context* context, int, sqlite3_value** argv)
{
    TextArg text;
    if (!text.read(argv[0]))
        return;
    resultText(context, text.data, text.size);
}

constexpr Function kFunctions[] = {
    {"left", 2, left},
    {"mid", 2, mid},
    {"mid", 3, mid},
    {"instr", 3, instr},
    {"instr", 4, instr},
    {"space", 1, space},
    {"len", 1, len},
    {"trim", 1, trimBlanks<true, true>},
    {"ltrim", 1, trimBlanks<true, false>},
    {"rtrim", 1, trimBlanks<false, true>},
    {"vbjoin", -1, vbjoin},
    {"plaintext", 1, plainText},
};

} // namespace

std::span<const Function> textFunctions()
{
    return kFunctions;
}

} // namespace SqlDialect
