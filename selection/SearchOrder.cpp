#include "selection/SearchOrder.h"

#include "selection/HugePages.h"
#include "selection/SearchLineFunction.h"
#include "selection/SearchOption.h"
#include "selection/SearchSourceRows.h"

#include <algorithm>
#include <thread>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Kind = SearchSourceValue::Kind;
using Column = SearchSourceRow::Column;

enum Rank : uint8_t { NullRank, NumberRank, TextRank, BlobRank };

struct Key {
    Rank rank = NullRank;
    bool isInteger = false;
    int64_t integer = 0;
    double number = 0;
    std::string_view bytes;
};

// How a clause reads a column: the billing value as it is, trimmed, as a text
// column or a numeric column of histsrch stores it, or the built address.
enum class Reading { Raw, Trimmed, TextColumn, NumericColumn, Address };

struct KeyRule {
    Column column;
    Reading reading;
    bool nocase;
};

struct Clause {
    KeyRule first;
    bool twoKeys;
    KeyRule second;
};

// The build clauses order the billing columns; the re-sort clauses the columns of
// histsrch, whose declared types convert the values on the way in.
const Clause buildClauses[SearchOption::Count] = {
    {{Column::Accno, Reading::Raw, true}, false, {}},
    {{Column::LookupName, Reading::Trimmed, true}, false, {}},
    {{Column::CustAddr2, Reading::Raw, true}, false, {}},
    {{Column::Id, Reading::Raw, true}, false, {}},
    {{Column::LocRoute, Reading::Raw, true}, true, {Column::LocSeq, Reading::Raw, false}},
};
const Clause resortClauses[SearchOption::Count] = {
    {{Column::Accno, Reading::TextColumn, true}, false, {}},
    {{Column::LookupName, Reading::Trimmed, true}, false, {}},
    {{Column::CustAddr2, Reading::Address, true}, false, {}},
    {{Column::Id, Reading::TextColumn, true}, false, {}},
    {{Column::LocRoute, Reading::TextColumn, true}, true, {Column::LocSeq, Reading::NumericColumn, false}},
};

std::string_view trimBlanks(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Whether the engine's numeric affinity would store this text as a number.
bool readNumber(std::string_view text, Key& key)
{
    const std::string_view trimmed = trimBlanks(text);
    if (trimmed.empty() || trimmed.find_first_of("xXnNiI") != std::string_view::npos)
        return false;
    const std::string copy(trimmed);
    char* end = nullptr;
    const long long integer = std::strtoll(copy.c_str(), &end, 10);
    if (end == copy.c_str() + copy.size()) {
        key.isInteger = true;
        key.integer = integer;
        key.number = static_cast<double>(integer);
        return true;
    }
    const double number = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size())
        return false;
    key.number = number;
    return true;
}

Key keyOf(const SearchSourceValue& value, const SearchSourceRow& row, const KeyRule& rule, std::string& owned)
{
    Key key;
    if (rule.reading == Reading::Address) {
        std::string scratch[2];
        SearchLineFunction::layOutAddress(owned, SearchLineFunction::textOf(row.values[Column::CustAddr2], scratch[0]),
                                          SearchLineFunction::textOf(row.values[Column::LocAddr2], scratch[1]));
        key.rank = TextRank;
        key.bytes = owned;
        return key;
    }
    if (value.kind == Kind::Null)
        return key;
    const bool number = value.kind == Kind::Integer || value.kind == Kind::Real;
    switch (rule.reading) {
    case Reading::Trimmed:
        key.rank = TextRank;
        key.bytes = trimBlanks(value.text);
        return key;
    case Reading::TextColumn:
        key.rank = value.kind == Kind::Blob ? BlobRank : TextRank;
        key.bytes = value.text;
        return key;
    case Reading::NumericColumn:
        if (value.kind == Kind::Text && readNumber(value.text, key)) {
            key.rank = NumberRank;
            return key;
        }
        [[fallthrough]];
    default:
        if (number) {
            key.rank = NumberRank;
            key.isInteger = value.kind == Kind::Integer;
            key.integer = value.integer;
            key.number = value.real;
        } else {
            key.rank = value.kind == Kind::Blob ? BlobRank : TextRank;
            key.bytes = value.text;
        }
        return key;
    }
}

inline unsigned char fold(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

constexpr size_t InlineBytes = 24;

// The key's first bytes (folded when the compare is without case) as numbers that
// order as the bytes do, or a number's value as one that orders as numbers do.
// True when that holds the whole key, so equal inline bytes and lengths mean equal keys.
bool inlineKey(const Key& key, bool nocase, uint64_t (&words)[InlineBytes / 8])
{
    words[0] = words[1] = words[2] = 0;
    if (key.rank == NullRank)
        return true;
    if (key.rank == NumberRank) {
        const double number = key.number == 0 ? 0.0 : key.number;
        const uint64_t bits = std::bit_cast<uint64_t>(number);
        words[0] = bits >> 63 ? ~bits : bits | (uint64_t(1) << 63);
        return !key.isInteger || (key.integer > -(int64_t(1) << 53) && key.integer < (int64_t(1) << 53));
    }
    const bool folding = nocase && key.rank == TextRank;
    for (size_t i = 0; i < InlineBytes; ++i) {
        const unsigned char c = i < key.bytes.size() ? static_cast<unsigned char>(key.bytes[i]) : 0;
        words[i / 8] = words[i / 8] << 8 | (folding ? fold(c) : c);
    }
    return key.bytes.size() <= InlineBytes;
}

int compareKeys(const Key& a, const Key& b, bool nocase)
{
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    if (a.rank == NullRank)
        return 0;
    if (a.rank == NumberRank) {
        if (a.isInteger && b.isInteger)
            return a.integer < b.integer ? -1 : (a.integer > b.integer ? 1 : 0);
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    }
    const size_t common = std::min(a.bytes.size(), b.bytes.size());
    int c = 0;
    if (nocase && a.rank == TextRank) {
        for (size_t i = 0; i < common && c == 0; ++i)
            c = fold(static_cast<unsigned char>(a.bytes[i])) - fold(static_cast<unsigned char>(b.bytes[i]));
    } else if (common > 0) {
        c = std::memcmp(a.bytes.data(), b.bytes.data(), common);
    }
    if (c != 0)
        return c;
    return a.bytes.size() < b.bytes.size() ? -1 : (a.bytes.size() > b.bytes.size() ? 1 : 0);
}

template <typename T>
std::vector<T> largeVector(int32_t size)
{
    std::vector<T> vector;
    vector.reserve(static_cast<size_t>(size));
    HugePages::advise(vector.data(), vector.capacity() * sizeof(T));
    vector.resize(static_cast<size_t>(size));
    return vector;
}

struct Item {
    uint64_t words[InlineBytes / 8];
    uint32_t length;
    int32_t entry;
    uint32_t tie;
    Rank rank;
    bool whole;
};

// Runs work(from, to) over [0, count) in two halves at once when `both`, the
// upper half on a thread of its own; else over the whole range here.
template <typename Work>
void inHalves(int32_t count, bool both, const Work& work)
{
    if (!both) {
        work(0, count);
        return;
    }
    std::thread upper([&] { work(count / 2, count); });
    work(0, count / 2);
    upper.join();
}

// Orders the rows by the clause; `tieOf` gives each row's place among equals, so the
// order is total and two halves sorted apart merge into the same result. `bothCores`
// does the work in two halves at once.
template <typename TieOf>
std::vector<int32_t> order(const SearchSourceRows& rows, const Clause& clause, TieOf tieOf, bool bothCores)
{
    const int32_t count = rows.size();
    std::vector<Key> first = largeVector<Key>(count);
    std::vector<Key> second = largeVector<Key>(clause.twoKeys ? count : 0);
    // Built addresses are the only keys not found in the rows themselves.
    std::vector<std::string> owned(clause.first.reading == Reading::Address ? static_cast<size_t>(count) : 0);
    std::vector<Item> items = largeVector<Item>(count);
    inHalves(count, bothCores, [&](int32_t from, int32_t to) {
        std::string unused;
        for (int32_t entry = from; entry < to; ++entry) {
            const SearchSourceRow row = rows.at(entry);
            std::string& text = owned.empty() ? unused : owned[static_cast<size_t>(entry)];
            const Key key = keyOf(row.values[clause.first.column], row, clause.first, text);
            first[static_cast<size_t>(entry)] = key;
            if (clause.twoKeys)
                second[static_cast<size_t>(entry)] =
                    keyOf(row.values[clause.second.column], row, clause.second, unused);
            Item& item = items[static_cast<size_t>(entry)];
            item.whole = inlineKey(key, clause.first.nocase, item.words);
            item.length = static_cast<uint32_t>(key.bytes.size());
            item.entry = entry;
            item.tie = tieOf(entry);
            item.rank = key.rank;
        }
    });
    const auto before = [&](const Item& a, const Item& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        for (size_t i = 0; i < InlineBytes / 8; ++i) {
            if (a.words[i] != b.words[i])
                return a.words[i] < b.words[i];
        }
        int c = 0;
        if (a.whole && b.whole)
            c = a.length == b.length ? 0 : (a.length < b.length ? -1 : 1);
        else
            c = compareKeys(
                first[static_cast<size_t>(a.entry)], first[static_cast<size_t>(b.entry)], clause.first.nocase);
        if (c == 0 && clause.twoKeys)
            c = compareKeys(
                second[static_cast<size_t>(a.entry)], second[static_cast<size_t>(b.entry)], clause.second.nocase);
        return c != 0 ? c < 0 : a.tie < b.tie;
    };
    const auto middle = items.begin() + count / 2;
    inHalves(count, bothCores,
             [&](int32_t from, int32_t to) { std::sort(items.begin() + from, items.begin() + to, before); });
    // The halves merged (a lone sorted range merges with an empty one).
    std::vector<int32_t> result;
    result.reserve(items.size());
    auto lower = items.begin();
    auto upper = bothCores ? middle : items.end();
    const auto lowerEnd = upper;
    while (lower != lowerEnd || upper != items.end()) {
        const bool takeUpper = lower == lowerEnd || (upper != items.end() && before(*upper, *lower));
        result.push_back((takeUpper ? upper++ : lower++)->entry);
    }
    return result;
}

int indexOf(const SearchOption& option)
{
    return static_cast<int>(&option - SearchOption::at(0));
}

} // namespace

std::vector<int32_t> SearchOrder::build(const SearchSourceRows& rows, const SearchOption& option)
{
    return order(
        rows, buildClauses[indexOf(option)], [](int32_t entry) { return static_cast<uint32_t>(entry); }, true);
}

std::vector<int32_t> SearchOrder::resort(const SearchSourceRows& rows, const SearchOption& option,
                                         const std::vector<int32_t>& stored)
{
    std::vector<uint32_t> place(stored.size());
    for (size_t position = 0; position < stored.size(); ++position)
        place[static_cast<size_t>(stored[position])] = static_cast<uint32_t>(position);
    // Behind the window: one core, the other left to the operator's keystrokes.
    return order(
        rows, resortClauses[indexOf(option)], [&place](int32_t entry) { return place[static_cast<size_t>(entry)]; },
        false);
}
