#include "platform/SqlDialect.h"

#include "platform/Currency.h"

#include "platform/BasicRuntime.h"
#include "platform/DateText.h"
#include "platform/LikePattern.h"
#include "platform/SqlConnection.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace SqlDialect {
namespace {

const char kInvalidCall[] = "Invalid procedure call or argument";
const char kTypeMismatch[] = "Type mismatch";

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
        case SQLITE_NULL:
            return false;
        case SQLITE_INTEGER:
            data = buffer;
            size = static_cast<int>(std::to_chars(buffer, buffer + sizeof buffer, sqlite3_value_int64(value)).ptr - buffer);
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
Read readNumber(sqlite3_value* value, double& out)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return Read::Null;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        out = sqlite3_value_double(value);
        return Read::Ok;
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
Read readCount(sqlite3_value* value, int64_t& out)
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

inline bool isContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The byte offset `count` characters after `from`, or the end.
int skipChars(const TextArg& text, int from, int64_t count)
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

int64_t countChars(const char* data, int size)
{
    int64_t count = 0;
    for (int i = 0; i < size; ++i)
        count += isContinuation(data[i]) ? 0 : 1;
    return count;
}

void resultText(sqlite3_context* context, const char* data, int size)
{
    sqlite3_result_text(context, data, size, SQLITE_TRANSIENT);
}

bool isAscii(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

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
        for (size_t at = static_cast<size_t>(from); at + pin.size() <= hay.size() && found == std::string_view::npos; ++at) {
            size_t i = 0;
            while (i < pin.size() && asciiLower(hay[at + i]) == asciiLower(pin[i]))
                ++i;
            if (i == pin.size())
                found = at;
        }
    } else {
        const QString wide = QString::fromUtf8(hay.data() + from, static_cast<qsizetype>(hay.size()) - from);
        const qsizetype index = wide.indexOf(QString::fromUtf8(pin.data(), static_cast<qsizetype>(pin.size())), 0,
                                             Qt::CaseInsensitive);
        if (index < 0)
            return -1;
        return start + QStringView(wide).left(index).toUcs4().size();
    }
    if (found == std::string_view::npos)
        return -1;
    return countChars(hay.data(), static_cast<int>(found));
}

void dateValue(sqlite3_context* context, int, sqlite3_value** argv)
{
    TextArg text;
    char iso[10];
    if (text.read(argv[0]) && DateText::parseToIso(text.data, static_cast<size_t>(text.size), iso))
        resultText(context, iso, 10);
    else
        sqlite3_result_null(context);
}

void format(sqlite3_context* context, int, sqlite3_value** argv)
{
    double number = 0;
    const Read read = readNumber(argv[0], number);
    if (read == Read::Null) {
        sqlite3_result_null(context);
        return;
    }
    TextArg pattern;
    pattern.read(argv[1]);
    if (read == Read::Bad) {
        // The runtime formats text that is no number as the text itself.
        TextArg text;
        text.read(argv[0]);
        resultText(context, text.data, text.size);
        return;
    }
    const bool amount = pattern.view() == "#0.00";
    const bool dollars = pattern.view() == "$#0.00";
    if (amount || dollars) {
        char out[BasicRuntime::AmountTextCapacity];
        resultText(context, out, static_cast<int>(BasicRuntime::writeAmount(number, dollars, out)));
        return;
    }
    TextArg plain;
    plain.read(argv[0]);
    resultText(context, plain.data, plain.size);
}

void val(sqlite3_context* context, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        return;
    default: {
        TextArg text;
        text.read(argv[0]);
        sqlite3_result_double(context, BasicRuntime::val(text.data, static_cast<size_t>(text.size)));
    }
    }
}

void str(sqlite3_context* context, int, sqlite3_value** argv)
{
    double number = 0;
    switch (readNumber(argv[0], number)) {
    case Read::Null:
        sqlite3_result_null(context);
        return;
    case Read::Bad:
        sqlite3_result_error(context, kTypeMismatch, -1);
        return;
    case Read::Ok:
        break;
    }
    char out[BasicRuntime::NumberTextCapacity];
    resultText(context, out, static_cast<int>(BasicRuntime::writeStr(number, out)));
}

// Reads a count argument that must not be below `minimum`; false when the result
// is already set (NULL or an error).
bool countArg(sqlite3_context* context, sqlite3_value* value, int64_t minimum, int64_t& out)
{
    switch (readCount(value, out)) {
    case Read::Null:
        sqlite3_result_null(context);
        return false;
    case Read::Bad:
        sqlite3_result_error(context, kTypeMismatch, -1);
        return false;
    case Read::Ok:
        break;
    }
    if (out < minimum) {
        sqlite3_result_error(context, kInvalidCall, -1);
        return false;
    }
    return true;
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

// A compiled LIKE pattern kept for the rest of the statement; the source is
// compared on every row because SQLite keeps it only while the argument is constant.
struct CompiledLike {
    std::string source;
    std::string escape;
    LikePattern pattern;
};

void deleteCompiledLike(void* compiled) { delete static_cast<CompiledLike*>(compiled); }

// The engine's pattern for one written with an escape character: each escaped
// character becomes a pattern that matches exactly that character.
QString unescapePattern(const QString& pattern, char32_t escape)
{
    const QList<uint> chars = pattern.toUcs4();
    QString result;
    result.reserve(pattern.size());
    for (qsizetype i = 0; i < chars.size(); ++i) {
        char32_t c = chars[i];
        if (c == escape && i + 1 < chars.size())
            c = chars[++i];
        else if (c != escape) {
            result += QString::fromUcs4(&c, 1);
            continue;
        }
        result += LikePattern::escape(QString::fromUcs4(&c, 1));
    }
    return result;
}

void like(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    TextArg pattern;
    TextArg text;
    if (!pattern.read(argv[0]) || !text.read(argv[1])) {
        sqlite3_result_null(context);
        return;
    }
    TextArg escape;
    if (argc > 2) {
        if (!escape.read(argv[2])) {
            sqlite3_result_null(context);
            return;
        }
        if (countChars(escape.data, escape.size) != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    auto* cached = static_cast<CompiledLike*>(sqlite3_get_auxdata(context, 0));
    if (cached && cached->source == pattern.view() && cached->escape == escape.view()) {
        sqlite3_result_int(context, cached->pattern.matchesUtf8(text.data, text.size) ? 1 : 0);
        return;
    }
    QString source = QString::fromUtf8(pattern.data, pattern.size);
    if (argc > 2)
        source = unescapePattern(source, QString::fromUtf8(escape.data, escape.size).toUcs4().value(0));
    auto* compiled = new CompiledLike{std::string(pattern.view()), std::string(escape.view()), LikePattern(source)};
    sqlite3_result_int(context, compiled->pattern.matchesUtf8(text.data, text.size) ? 1 : 0);
    // SQLite may free the pattern at once, so it is handed over only after use.
    sqlite3_set_auxdata(context, 0, compiled, deleteCompiledLike);
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
    if (total > static_cast<sqlite3_uint64>(sqlite3_limit(sqlite3_context_db_handle(context), SQLITE_LIMIT_LENGTH, -1))) {
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

// Money as whole ten-thousandths, so sums in SQL are exact; NULL for no number.
enum class Money { Null, Amount, Unreadable };

// An amount as ten-thousandths. Text that is no number and numbers beyond the
// currency's range are unreadable: saturating them would make sums lie.
Money readMoney(sqlite3_value* value, int64_t& units)
{
    std::optional<Currency> amount;
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return Money::Null;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        const double number = sqlite3_value_double(value);
        if (std::isfinite(number) && std::fabs(number) < Currency::LargestWhole)
            amount = Currency::fromDouble(number);
        break;
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const auto size = static_cast<size_t>(sqlite3_value_bytes(value));
        // A blank amount is no amount, as the grid shows it.
        if (std::all_of(text, text + (text ? size : 0), [](char c) { return c == ' ' || c == '\t'; }))
            return Money::Null;
        amount = Currency::fromUtf8(text, size);
    }
    }
    if (!amount)
        return Money::Unreadable;
    units = amount->tenThousandths();
    return Money::Amount;
}

void moneyUnits(sqlite3_context* context, int, sqlite3_value** argv)
{
    int64_t units = 0;
    if (readMoney(argv[0], units) == Money::Amount)
        sqlite3_result_int64(context, units);
}

// moneydelta(chg, pmt): the charge less the payment in ten-thousandths, a NULL amount
// counting as none. NULL when an amount is no money or the difference is out of
// range, so a balance summed from it can say it is unknown instead of being short.
void moneyDelta(sqlite3_context* context, int, sqlite3_value** argv)
{
    int64_t charge = 0;
    int64_t payment = 0;
    const Money chargeRead = readMoney(argv[0], charge);
    const Money paymentRead = readMoney(argv[1], payment);
    int64_t delta = 0;
    if (chargeRead != Money::Unreadable && paymentRead != Money::Unreadable
        && !__builtin_sub_overflow(charge, payment, &delta))
        sqlite3_result_int64(context, delta);
}

// Ten-thousandths back to "#0.00".
void moneyText(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    char text[Currency::PlainCapacity];
    const size_t size = Currency::fromTenThousandths(sqlite3_value_int64(argv[0])).writePlain(text);
    resultText(context, text, static_cast<int>(size));
}

struct Function {
    const char* name;
    int argumentCount;
    void (*call)(sqlite3_context*, int, sqlite3_value**);
};

constexpr Function kFunctions[] = {
    {"datevalue", 1, dateValue},
    {"format", 2, format},
    {"val", 1, val},
    {"str", 1, str},
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
    {"like", 2, like},
    {"like", 3, like},
    {"vbjoin", -1, vbjoin},
    {"plaintext", 1, plainText},
    {"moneyunits", 1, moneyUnits},
    {"moneytext", 1, moneyText},
    {"moneydelta", 2, moneyDelta},
};

} // namespace

bool registerOn(sqlite3* db)
{
    if (!db)
        return false;
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (const Function& function : kFunctions) {
        if (sqlite3_create_function_v2(db, function.name, function.argumentCount, flags, nullptr, function.call,
                                       nullptr, nullptr, nullptr)
            != SQLITE_OK)
            return false;
    }
    return true;
}

bool registerOn(const QSqlDatabase& db)
{
    return registerOn(SqlConnection::nativeHandle(db));
}

} // namespace SqlDialect
