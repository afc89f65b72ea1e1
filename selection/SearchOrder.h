#pragma once

#include <cstdint>
#include <vector>

class SearchSourceRows;
struct SearchOption;

// The list's orders computed in memory, as the engine orders the same clauses:
// nulls first, then numbers, then text compared without regard to the case of A-Z
// (the engine's nocase) where the clause asks for it, then blobs byte by byte. Rows
// are named by their position in `rows` (read order).
namespace SearchOrder {
// The option's build order over the billing values; ties keep read order.
std::vector<int32_t> build(const SearchSourceRows& rows, const SearchOption& option);

// The option's re-sort order over the values as histsrch holds them (text columns
// turn numbers into text; LocSeq reads numeric text as a number); ties keep the
// stored order, `stored` being the rows in that order.
std::vector<int32_t> resort(const SearchSourceRows& rows, const SearchOption& option,
                            const std::vector<int32_t>& stored);
} // namespace SearchOrder
