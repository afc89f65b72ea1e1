#pragma once

#include "selection/SearchSource.h"

#include <cstdint>
#include <memory>
#include <vector>

// The rows of the billing join packed into blocks of bytes, in the order they were
// read, so the list can be ordered and written to the scratch table after the read.
// Blocks never move: rows read apart (a key range each) are joined without a copy.
class SearchSourceRows {
public:
    void append(const SearchSourceRow& row);
    // Moves every row of `other` to the end, in its order; `other` is left empty.
    void append(SearchSourceRows&& other);
    int32_t size() const { return static_cast<int32_t>(m_starts.size()); }
    // The row as appended; its texts point into this object's blocks.
    SearchSourceRow at(int32_t index) const;
    void clear();

private:
    char* room(size_t bytes);

    struct Free {
        void operator()(char* block) const;
    };
    std::vector<std::unique_ptr<char, Free>> m_blocks;
    char* m_next = nullptr;
    char* m_end = nullptr;
    std::vector<const char*> m_starts;
};
