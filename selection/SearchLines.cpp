#include "selection/SearchLines.h"

#include <algorithm>
#include <numeric>

void SearchLines::clear()
{
    m_buffer.clear();
    m_offsets.assign(1, 0);
    m_rowids.clear();
    m_custKeys.clear();
    m_locKeys.clear();
    m_order.clear();
}

void SearchLines::reserve(qsizetype lines, qsizetype characters)
{
    m_buffer.reserve(characters);
    m_offsets.reserve(lines + 1);
    m_rowids.reserve(lines);
    m_custKeys.reserve(lines);
    m_locKeys.reserve(lines);
    m_order.reserve(lines);
}

void SearchLines::squeeze()
{
    m_buffer.squeeze();
    m_offsets.shrink_to_fit();
    m_rowids.shrink_to_fit();
    m_custKeys.shrink_to_fit();
    m_locKeys.shrink_to_fit();
    m_order.shrink_to_fit();
}

void SearchLines::append(int64_t rowid, QStringView text, int32_t custKey, int32_t locKey)
{
    m_order.push_back(static_cast<int32_t>(m_custKeys.size()));
    m_buffer.append(text);
    m_offsets.push_back(m_buffer.size());
    m_rowids.push_back(rowid);
    m_custKeys.push_back(custKey);
    m_locKeys.push_back(locKey);
}

QStringView SearchLines::entryText(int32_t entry) const
{
    const qsizetype start = m_offsets[entry];
    return QStringView(m_buffer).sliced(start, m_offsets[entry + 1] - start);
}

qsizetype SearchLines::rowOf(int32_t entry) const
{
    if (entry < 0 || entry >= size())
        return -1;
    // Rows are few lookups (a re-sort keeping its highlight): a scan is enough.
    const auto found = std::find(m_order.begin(), m_order.end(), entry);
    return found == m_order.end() ? -1 : found - m_order.begin();
}

int32_t SearchLines::entryOfRowid(int64_t rowid) const
{
    // Stored order is rowid order, so the rowids ascend.
    const auto found = std::lower_bound(m_rowids.begin(), m_rowids.end(), rowid);
    return found != m_rowids.end() && *found == rowid ? static_cast<int32_t>(found - m_rowids.begin()) : -1;
}

bool SearchLines::setOrderByRowids(const std::vector<int64_t>& rowids)
{
    if (rowids.size() != m_rowids.size())
        return false;
    std::vector<int32_t> order;
    order.reserve(rowids.size());
    std::vector<bool> seen(rowids.size(), false);
    for (const int64_t rowid : rowids) {
        const int32_t entry = entryOfRowid(rowid);
        if (entry < 0 || seen[entry])
            return false;
        seen[entry] = true;
        order.push_back(entry);
    }
    m_order = std::move(order);
    return true;
}

void SearchLines::resetOrder()
{
    m_order.resize(m_custKeys.size());
    std::iota(m_order.begin(), m_order.end(), 0);
}

qsizetype SearchLines::findText(QStringView text, qsizetype from) const
{
    for (qsizetype row = std::max<qsizetype>(from, 0); row < size(); ++row) {
        if (this->text(row) == text)
            return row;
    }
    return -1;
}

size_t SearchLines::memoryBytes() const
{
    return static_cast<size_t>(m_buffer.capacity()) * sizeof(QChar) + m_offsets.capacity() * sizeof(qsizetype)
        + m_rowids.capacity() * sizeof(int64_t)
        + (m_custKeys.capacity() + m_locKeys.capacity() + m_order.capacity()) * sizeof(int32_t);
}
