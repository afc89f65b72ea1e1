#include "selection/SearchLines.h"

#include "selection/HugePages.h"
#include "selection/SearchOption.h"

#include <algorithm>

namespace {

template <typename T>
void reserveLarge(std::vector<T>& vector, qsizetype size)
{
    vector.reserve(static_cast<size_t>(size));
    HugePages::advise(vector.data(), vector.capacity() * sizeof(T));
}

} // namespace

void SearchLines::clear()
{
    m_buffer.clear();
    m_upperBuffer.clear();
    m_upperFirst = NoUpper;
    m_offsets.assign(1, 0);
    m_custKeys.clear();
    m_locKeys.clear();
    m_stored.clear();
    m_order.clear();
    for (std::vector<int32_t>& order : m_resort)
        std::vector<int32_t>().swap(order);
    m_folds = {};
}

void SearchLines::reserve(qsizetype lines, qsizetype characters)
{
    m_buffer.reserve(characters);
    HugePages::advise(m_buffer.constData(), static_cast<size_t>(m_buffer.capacity()) * sizeof(QChar));
    reserveLarge(m_offsets, lines + 1);
    reserveLarge(m_custKeys, lines);
    reserveLarge(m_locKeys, lines);
    reserveLarge(m_stored, lines);
    reserveLarge(m_order, lines);
}

void SearchLines::squeeze()
{
    m_buffer.squeeze();
    m_upperBuffer.squeeze();
    m_offsets.shrink_to_fit();
    m_custKeys.shrink_to_fit();
    m_locKeys.shrink_to_fit();
    m_stored.shrink_to_fit();
    m_order.shrink_to_fit();
}

void SearchLines::append(QStringView text, int32_t custKey, int32_t locKey)
{
    textBuffer().append(text);
    endEntry(custKey, locKey);
}

void SearchLines::appendUtf8(std::string_view text, int32_t custKey, int32_t locKey)
{
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        textBuffer().append(QLatin1StringView(text.data(), static_cast<qsizetype>(text.size())));
    else
        textBuffer().append(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    endEntry(custKey, locKey);
}

void SearchLines::append(SearchLines&& other)
{
    if (m_upperFirst != NoUpper || other.m_upperFirst != NoUpper) {
        // Already in two parts: entry by entry.
        for (int32_t entry = 0; entry < other.size(); ++entry)
            append(other.entryText(entry), other.m_custKeys[entry], other.m_locKeys[entry]);
        other.clear();
        return;
    }
    const auto entryShift = static_cast<int32_t>(size());
    m_upperFirst = entryShift;
    m_upperBuffer = std::move(other.m_buffer);
    m_offsets.insert(m_offsets.end(), other.m_offsets.begin() + 1, other.m_offsets.end());
    m_custKeys.insert(m_custKeys.end(), other.m_custKeys.begin(), other.m_custKeys.end());
    m_locKeys.insert(m_locKeys.end(), other.m_locKeys.begin(), other.m_locKeys.end());
    for (const int32_t entry : other.m_stored) {
        m_stored.push_back(entry + entryShift);
        m_order.push_back(entry + entryShift);
    }
    other.clear();
}

void SearchLines::endEntry(int32_t custKey, int32_t locKey)
{
    m_stored.push_back(static_cast<int32_t>(m_custKeys.size()));
    m_order.push_back(m_stored.back());
    m_offsets.push_back(static_cast<uint32_t>(textBuffer().size()));
    m_custKeys.push_back(custKey);
    m_locKeys.push_back(locKey);
}

QStringView SearchLines::entryText(int32_t entry) const
{
    const bool upper = entry >= m_upperFirst;
    const qsizetype start = entry == m_upperFirst ? 0 : m_offsets[entry];
    return QStringView(upper ? m_upperBuffer : m_buffer).sliced(start, m_offsets[entry + 1] - start);
}

qsizetype SearchLines::rowOf(int32_t entry) const
{
    if (entry < 0 || entry >= size())
        return -1;
    // Rows are few lookups (a re-sort keeping its highlight): a scan is enough.
    const auto found = std::find(m_order.begin(), m_order.end(), entry);
    return found == m_order.end() ? -1 : found - m_order.begin();
}

void SearchLines::setResortOrder(int option, std::vector<int32_t> entries)
{
    m_resort[static_cast<size_t>(option)] = std::move(entries);
}

bool SearchLines::hasResortOrder(int option) const
{
    return option >= 0 && option < OptionCount && m_resort[static_cast<size_t>(option)].size() == m_stored.size();
}

bool SearchLines::showResortOrder(int option)
{
    if (option < 0 || option >= OptionCount) {
        m_order = m_stored;
        return true;
    }
    if (!hasResortOrder(option))
        return false;
    m_order = m_resort[static_cast<size_t>(option)];
    return true;
}

qsizetype SearchLines::findText(QStringView text, qsizetype from) const
{
    for (qsizetype row = std::max<qsizetype>(from, 0); row < size(); ++row) {
        if (this->text(row) == text)
            return row;
    }
    return -1;
}

const SearchSliceFold& SearchLines::sliceFold(const SearchOption& option) const
{
    SearchSliceFold& fold = m_folds[static_cast<size_t>(&option - SearchOption::at(0))];
    if (!fold.isBuiltFor(*this))
        fold.build(*this, option);
    return fold;
}

size_t SearchLines::memoryBytes() const
{
    size_t orders = m_custKeys.capacity() + m_locKeys.capacity() + m_stored.capacity() + m_order.capacity();
    for (const std::vector<int32_t>& order : m_resort)
        orders += order.capacity();
    size_t folds = 0;
    for (const SearchSliceFold& fold : m_folds)
        folds += fold.memoryBytes();
    return static_cast<size_t>(m_buffer.capacity() + m_upperBuffer.capacity()) * sizeof(QChar)
        + m_offsets.capacity() * sizeof(uint32_t) + orders * sizeof(int32_t) + folds;
}
