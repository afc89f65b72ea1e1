#pragma once

#include "selection/SearchSource.h"

#include <cstdint>
#include <string>
#include <vector>

// The rows of the billing join packed into one byte buffer, in the order they were
// read, so the list can be ordered and written to the scratch table after the read.
class SearchSourceRows {
public:
    void reserve(int32_t rows, size_t bytes);
    void append(const SearchSourceRow& row);
    // Appends every row of `other`, in its order.
    void append(const SearchSourceRows& other);
    int32_t size() const { return static_cast<int32_t>(m_starts.size()); }
    // The row as appended; its texts point into this buffer.
    SearchSourceRow at(int32_t index) const;
    void clear();
    size_t memoryBytes() const { return m_bytes.capacity() + m_starts.capacity() * sizeof(uint64_t); }

private:
    std::string m_bytes;
    std::vector<uint64_t> m_starts;
};
