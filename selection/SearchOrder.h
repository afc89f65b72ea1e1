#pragma once

#include <cstdint>
#include <vector>

struct sqlite3;
struct SearchOption;

// The re-sort of the account list done in memory: reads each row's sort keys once
// (no ORDER BY in the engine) and orders them as the engine orders the option's
// re-sort clause: nulls first, numbers before text, text compared without regard to
// the case of A-Z (the engine's nocase), ties in stored (rowid) order.
namespace SearchOrder {
// The rowids of histsrch in the option's re-sort order; false when the read fails.
bool rowids(sqlite3* work, const SearchOption& option, std::vector<int64_t>& result);
} // namespace SearchOrder
