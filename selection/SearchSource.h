#pragma once

#include "platform/Outcome.h"

#include <cstdint>
#include <functional>
#include <string_view>

class SqlConnection;
class SearchSourceRows;

// One value of the billing join as the engine holds it: its storage class, the
// number for numbers, and its text (the bytes of text and blobs; numbers as the
// engine writes them as text, 7 and 2.5 and 7.0).
struct SearchSourceValue {
    enum class Kind : uint8_t { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    int64_t integer = 0;
    double real = 0;
    std::string_view text;
};

// One row of customer x location that the account list is built from. The values
// are in the order the line lays them out.
struct SearchSourceRow {
    enum Column { Accno, LocRoute, LocSeq, Status, LookupName, CustAddr2, LocAddr2, Id, ColumnCount };
    int64_t custKey = 0;
    int64_t locKey = 0;
    SearchSourceValue values[ColumnCount];
};

// The one read of the billing database that the account list needs.
namespace SearchSource {
// Calls `each` for every row of [tbl customer] inner join [tbl location] on custkey,
// in location key order ([tbl location] is keyed by lockey, so that is the order in
// which the engine's join scans it, and in which the engine's own stable sort left
// ties). A row's texts are valid only during its call. A failure says why.
Outcome read(SqlConnection& billing, const std::function<void(const SearchSourceRow&)>& each);
// Every row read() gives, packed into `rows` in the same order. A file is read in
// pieces of the key range by two connections at once, the second on a thread of its
// own; `progress` is called now and then on the calling thread.
Outcome readInto(SqlConnection& billing, SearchSourceRows& rows, const std::function<void()>& progress = {});
} // namespace SearchSource
