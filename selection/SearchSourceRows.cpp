#include "selection/SearchSourceRows.h"

#include "selection/HugePages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>

namespace {

template <typename T>
void put(char*& at, T value)
{
    std::memcpy(at, &value, sizeof value);
    at += sizeof value;
}

template <typename T>
T take(const char*& at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

} // namespace

void SearchSourceRows::Free::operator()(char* block) const
{
    std::free(block);
}

char* SearchSourceRows::room(size_t bytes)
{
    if (static_cast<size_t>(m_end - m_next) < bytes) {
        // Blocks of whole huge pages: a block's first rows fault in a 2 MB page, not 512.
        constexpr size_t Huge = size_t(2) << 20;
        constexpr size_t BlockBytes = 2 * Huge;
        const size_t size = std::max(BlockBytes, (bytes + Huge - 1) / Huge * Huge);
        char* block = static_cast<char*>(std::aligned_alloc(Huge, size));
        if (!block)
            throw std::bad_alloc();
        HugePages::advise(block, size);
        m_blocks.emplace_back(block);
        m_next = block;
        m_end = block + size;
    }
    char* at = m_next;
    m_next += bytes;
    return at;
}

void SearchSourceRows::append(const SearchSourceRow& row)
{
    size_t size = 2 * sizeof(int64_t);
    for (const SearchSourceValue& value : row.values) {
        size += 1;
        if (value.kind != SearchSourceValue::Kind::Null)
            size += sizeof(uint32_t) + value.text.size()
                + (value.kind == SearchSourceValue::Kind::Integer || value.kind == SearchSourceValue::Kind::Real ? 8
                                                                                                                 : 0);
    }
    char* at = room(size);
    m_starts.push_back(at);
    put(at, row.custKey);
    put(at, row.locKey);
    for (const SearchSourceValue& value : row.values) {
        *at++ = static_cast<char>(value.kind);
        if (value.kind == SearchSourceValue::Kind::Null)
            continue;
        if (value.kind == SearchSourceValue::Kind::Integer)
            put(at, value.integer);
        else if (value.kind == SearchSourceValue::Kind::Real)
            put(at, value.real);
        put(at, static_cast<uint32_t>(value.text.size()));
        if (!value.text.empty())
            std::memcpy(at, value.text.data(), value.text.size());
        at += value.text.size();
    }
}

void SearchSourceRows::append(SearchSourceRows&& other)
{
    m_starts.insert(m_starts.end(), other.m_starts.begin(), other.m_starts.end());
    // Rows appended later still fill the room left in this object's current block.
    m_blocks.insert(
        m_blocks.end(), std::make_move_iterator(other.m_blocks.begin()), std::make_move_iterator(other.m_blocks.end()));
    other.clear();
}

SearchSourceRow SearchSourceRows::at(int32_t index) const
{
    SearchSourceRow row;
    const char* at = m_starts[static_cast<size_t>(index)];
    row.custKey = take<int64_t>(at);
    row.locKey = take<int64_t>(at);
    for (SearchSourceValue& value : row.values) {
        value.kind = static_cast<SearchSourceValue::Kind>(*at++);
        if (value.kind == SearchSourceValue::Kind::Null)
            continue;
        if (value.kind == SearchSourceValue::Kind::Integer) {
            value.integer = take<int64_t>(at);
            value.real = static_cast<double>(value.integer);
        } else if (value.kind == SearchSourceValue::Kind::Real) {
            value.real = take<double>(at);
        }
        const uint32_t length = take<uint32_t>(at);
        value.text = std::string_view(at, length);
        at += length;
    }
    return row;
}

void SearchSourceRows::clear()
{
    std::vector<const char*>().swap(m_starts);
    m_blocks.clear();
    m_next = m_end = nullptr;
}
