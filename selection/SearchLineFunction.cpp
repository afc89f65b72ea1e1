#include "selection/SearchLineFunction.h"

#include "platform/BasicRuntime.h"

#include <sqlite3.h>
#include <string>
#include <string_view>

namespace {

// The value as text: numbers in the plain form (7, not 7.0), null as empty.
std::string_view textOf(sqlite3_value* value, std::string& scratch)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL: return {};
    case SQLITE_FLOAT: scratch = BasicRuntime::plainNumber(sqlite3_value_double(value)).toStdString(); return scratch;
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        return text ? std::string_view(text, static_cast<size_t>(sqlite3_value_bytes(value))) : std::string_view();
    }
    }
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The first `width` characters (not bytes) of the text.
std::string_view cut(std::string_view text, int width)
{
    size_t pos = 0;
    for (int count = 0; pos < text.size(); ++pos) {
        if ((static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80 && count++ == width)
            break;
    }
    return text.substr(0, pos);
}

void appendPadded(std::string& out, std::string_view text, int width)
{
    const std::string_view kept = cut(text, width);
    out.append(kept);
    int characters = 0;
    for (const char c : kept)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    out.append(static_cast<size_t>(width - characters), ' ');
}

void searchLine(sqlite3_context* context, int, sqlite3_value** argv)
{
    std::string scratch[SearchLineFunction::LineValues];
    std::string_view arg[SearchLineFunction::LineValues];
    for (int i = 0; i < SearchLineFunction::LineValues; ++i)
        arg[i] = textOf(argv[i], scratch[i]);
    std::string line;
    SearchLineFunction::layOutLine(line, arg);
    sqlite3_result_text(context, line.data(), static_cast<int>(line.size()), SQLITE_TRANSIENT);
}

void searchAddress(sqlite3_context* context, int, sqlite3_value** argv)
{
    std::string scratch[2];
    std::string address;
    SearchLineFunction::layOutAddress(address, textOf(argv[0], scratch[0]), textOf(argv[1], scratch[1]));
    sqlite3_result_text(context, address.data(), static_cast<int>(address.size()), SQLITE_TRANSIENT);
}

} // namespace

void SearchLineFunction::layOutLine(std::string& line, const std::string_view (&arg)[LineValues])
{
    std::string routeSeq(trimBlanks(cut(trimBlanks(arg[1]), 5)));
    routeSeq += '-';
    routeSeq += trimBlanks(cut(trimBlanks(arg[2]), 5));

    line.clear();
    line.reserve(112 + arg[7].size());
    appendPadded(line, arg[0], 12);
    appendPadded(line, routeSeq, 11);
    line += ' ';
    appendPadded(line, arg[3], 9);
    appendPadded(line, trimBlanks(arg[4]), 20);
    line += "  ";
    appendPadded(line, trimBlanks(arg[5]), 15);
    line += "  ";
    appendPadded(line, trimBlanks(arg[6]), 15);
    line += "  Loc ID: ";
    line += arg[7];
}

void SearchLineFunction::layOutAddress(std::string& address, std::string_view custAddr2, std::string_view locAddr2)
{
    address.clear();
    address.reserve(50);
    appendPadded(address, trimBlanks(custAddr2), 25);
    appendPadded(address, trimBlanks(locAddr2), 25);
}

std::string_view SearchLineFunction::textOf(const SearchSourceValue& value, std::string& scratch)
{
    if (value.kind != SearchSourceValue::Kind::Real)
        return value.text;
    scratch = BasicRuntime::plainNumber(value.real).toStdString();
    return scratch;
}

bool SearchLineFunction::registerOn(sqlite3* db)
{
    if (!db)
        return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(db, "searchline", 8, flags, nullptr, &searchLine, nullptr, nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(db, "searchaddress", 2, flags, nullptr, &searchAddress, nullptr, nullptr, nullptr)
        == SQLITE_OK;
}
