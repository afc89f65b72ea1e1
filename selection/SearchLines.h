#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

// The account list in memory: every line of histsrch in stored order, packed into
// one text buffer, and the order in which the list currently shows them. Rows are
// positions in the shown order; entries are positions in the stored order.
class SearchLines {
public:
    void clear();
    void reserve(qsizetype lines, qsizetype characters);
    // Gives back what the growth of the buffers left unused.
    void squeeze();
    void append(int64_t rowid, QStringView text, int32_t custKey, int32_t locKey);

    qsizetype size() const { return static_cast<qsizetype>(m_custKeys.size()); }
    bool isEmpty() const { return m_custKeys.empty(); }

    QStringView text(qsizetype row) const { return entryText(m_order[row]); }
    int32_t custKey(qsizetype row) const { return m_custKeys[m_order[row]]; }
    int32_t locKey(qsizetype row) const { return m_locKeys[m_order[row]]; }
    int32_t entryOf(qsizetype row) const { return m_order[row]; }
    // The row that shows a stored entry, -1 when there is none.
    qsizetype rowOf(int32_t entry) const;

    // Shows the entries in the order of these rowids (stored rowids of histsrch).
    // False, order unchanged, when they are not a permutation of the stored rows.
    bool setOrderByRowids(const std::vector<int64_t>& rowids);
    void resetOrder();

    // First row at or after `from` whose text equals `text` exactly; -1 when none.
    qsizetype findText(QStringView text, qsizetype from = 0) const;

    size_t memoryBytes() const;

private:
    QStringView entryText(int32_t entry) const;
    int32_t entryOfRowid(int64_t rowid) const;

    QString m_buffer;
    std::vector<qsizetype> m_offsets{0};
    std::vector<int64_t> m_rowids;
    std::vector<int32_t> m_custKeys;
    std::vector<int32_t> m_locKeys;
    std::vector<int32_t> m_order;
};
