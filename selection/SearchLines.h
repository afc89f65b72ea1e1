#pragma once

#include "selection/SearchSliceFold.h"

#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// The account list in memory: every line packed into one text buffer as an entry,
// the stored order (the order histsrch holds the entries), the order in which the
// list shows them now, and each option's re-sort order once it has been prepared.
// Rows are positions in the shown order.
class SearchLines {
public:
    static constexpr int OptionCount = 5;

    void clear();
    void reserve(qsizetype lines, qsizetype characters);
    // Gives back what the growth of the buffers left unused.
    void squeeze();
    // Appends an entry at the end of the stored order.
    void append(QStringView text, int32_t custKey, int32_t locKey);
    void appendUtf8(std::string_view text, int32_t custKey, int32_t locKey);
    // Moves the entries of `other`, in its stored order, to the end of the stored
    // order, taking its text as it is; for lines being built, before any re-sort
    // order is set. `other` is left empty.
    void append(SearchLines&& other);

    qsizetype size() const { return static_cast<qsizetype>(m_custKeys.size()); }
    bool isEmpty() const { return m_custKeys.empty(); }

    QStringView text(qsizetype row) const { return entryText(m_order[row]); }
    int32_t custKey(qsizetype row) const { return m_custKeys[m_order[row]]; }
    int32_t locKey(qsizetype row) const { return m_locKeys[m_order[row]]; }
    int32_t entryOf(qsizetype row) const { return m_order[row]; }
    QStringView entryText(int32_t entry) const;
    // The row that shows an entry, -1 when there is none.
    qsizetype rowOf(int32_t entry) const;

    // The entries in stored order.
    const std::vector<int32_t>& storedOrder() const { return m_stored; }
    void setResortOrder(int option, std::vector<int32_t> entries);
    bool hasResortOrder(int option) const;
    // Shows the option's re-sort order (false, order unchanged, when it is not
    // prepared); an index outside the options shows the stored order.
    bool showResortOrder(int option);

    // The option's slices folded for a keystroke's quick test, made at the first call
    // after the lines were built.
    const SearchSliceFold& sliceFold(const SearchOption& option) const;

    // First row at or after `from` whose text equals `text` exactly; -1 when none.
    qsizetype findText(QStringView text, qsizetype from = 0) const;

    size_t memoryBytes() const;

private:
    void endEntry(int32_t custKey, int32_t locKey);
    QString& textBuffer() { return m_upperFirst == NoUpper ? m_buffer : m_upperBuffer; }

    static constexpr int32_t NoUpper = INT32_MAX;
    // The text of entries before m_upperFirst, and of the rest: lines laid out in two
    // halves at once keep both buffers as they were made.
    QString m_buffer;
    QString m_upperBuffer;
    int32_t m_upperFirst = NoUpper;
    // Where each entry's text ends in its buffer (the first offset is 0): a list stays
    // well under 4 G characters.
    std::vector<uint32_t> m_offsets{0};
    std::vector<int32_t> m_custKeys;
    std::vector<int32_t> m_locKeys;
    std::vector<int32_t> m_stored;
    std::vector<int32_t> m_order;
    std::array<std::vector<int32_t>, OptionCount> m_resort;
    mutable std::array<SearchSliceFold, OptionCount> m_folds;
};
