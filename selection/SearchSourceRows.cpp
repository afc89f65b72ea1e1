#include "selection/SearchSourceRows.h"

#include "selection/HugePages.h"

#include <algorithm>
#include <cstring>

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

void SearchSourceRows::reserve(int32_t rows, size_t bytes)
{
    m_starts.reserve(static_cast<size_t>(rows));
    HugePages::advise(m_starts.data(), m_starts.capacity() * sizeof(uint64_t));
    m_bytes.reserve(bytes);
    HugePages::advise(m_bytes.data(), m_bytes.capacity());
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
    const size_t start = m_bytes.size();
    m_starts.push_back(start);
    if (m_bytes.capacity() < start + size)
        m_bytes.reserve(std::max(2 * m_bytes.capacity(), start + size));
    m_bytes.resize(start + size);
    char* at = m_bytes.data() + start;
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

void SearchSourceRows::append(const SearchSourceRows& other)
{
    const uint64_t shift = m_bytes.size();
    m_bytes.append(other.m_bytes);
    m_starts.reserve(m_starts.size() + other.m_starts.size());
    for (const uint64_t start : other.m_starts)
        m_starts.push_back(start + shift);
}

SearchSourceRow SearchSourceRows::at(int32_t index) const
{
    SearchSourceRow row;
    const char* at = m_bytes.data() + m_starts[static_cast<size_t>(index)];
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
    std::string().swap(m_bytes);
    std::vector<uint64_t>().swap(m_starts);
}
