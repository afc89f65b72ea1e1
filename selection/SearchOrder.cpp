#include "selection/SearchOrder.h"

#include "platform/SqlStatement.h"
#include "selection/SearchOption.h"

#include <sqlite3.h>
#include <algorithm>
#include <cstring>
#include <string>

namespace {

// One sort key of a row: its storage class, then a number or a piece of the text arena.
struct SortValue {
    uint8_t rank = 0; // 0 null, 1 number, 2 text
    double number = 0;
    uint32_t offset = 0;
    uint32_t length = 0;
};

struct SortRow {
    int64_t rowid;
    SortValue first;
    SortValue second;
};

SortValue readValue(sqlite3_stmt* row, int column, std::string& arena)
{
    SortValue value;
    switch (sqlite3_column_type(row, column)) {
    case SQLITE_NULL: return value;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        value.rank = 1;
        value.number = sqlite3_column_double(row, column);
        return value;
    default:
        value.rank = 2;
        value.offset = static_cast<uint32_t>(arena.size());
        arena.append(reinterpret_cast<const char*>(sqlite3_column_text(row, column)),
                     static_cast<size_t>(sqlite3_column_bytes(row, column)));
        value.length = static_cast<uint32_t>(arena.size()) - value.offset;
        return value;
    }
}

inline unsigned char foldAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

int compareText(const char* a, uint32_t aLength, const char* b, uint32_t bLength, bool nocase)
{
    const uint32_t common = std::min(aLength, bLength);
    if (!nocase) {
        const int c = std::memcmp(a, b, common);
        return c != 0 ? c : int(aLength) - int(bLength);
    }
    for (uint32_t i = 0; i < common; ++i) {
        const int c = foldAscii(static_cast<unsigned char>(a[i])) - foldAscii(static_cast<unsigned char>(b[i]));
        if (c != 0)
            return c;
    }
    return int(aLength) - int(bLength);
}

int compare(const SortValue& a, const SortValue& b, const std::string& arena, bool nocase)
{
    if (a.rank != b.rank)
        return int(a.rank) - int(b.rank);
    if (a.rank == 1)
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    if (a.rank == 2)
        return compareText(arena.data() + a.offset, a.length, arena.data() + b.offset, b.length, nocase);
    return 0;
}

} // namespace

bool SearchOrder::rowids(sqlite3* work, const SearchOption& option, std::vector<int64_t>& result)
{
    const bool twoKeys = option.resortSecondKey != nullptr;
    const std::string sql = std::string("select rowid, ") + option.resortKey
        + (twoKeys ? std::string(", ") + option.resortSecondKey : std::string()) + " from histsrch";
    SqlStatement statement(work, sql);
    sqlite3_stmt* row = statement.handle();
    std::vector<SortRow> rows;
    std::string arena;
    while (statement.next()) {
        SortRow sortRow{statement.integer(0), readValue(row, 1, arena), {}};
        if (twoKeys)
            sortRow.second = readValue(row, 2, arena);
        rows.push_back(sortRow);
    }
    if (!statement.isValid() || statement.failed())
        return false;

    // Rows arrive in rowid order, so a stable sort leaves ties in stored order.
    std::stable_sort(rows.begin(), rows.end(), [&arena, twoKeys](const SortRow& a, const SortRow& b) {
        const int first = compare(a.first, b.first, arena, true);
        if (first != 0 || !twoKeys)
            return first < 0;
        return compare(a.second, b.second, arena, false) < 0;
    });
    result.clear();
    result.reserve(rows.size());
    for (const SortRow& sorted : rows)
        result.push_back(sorted.rowid);
    return true;
}
