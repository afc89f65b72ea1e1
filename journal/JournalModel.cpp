#include "journal/JournalModel.h"

#include "platform/SqlStatement.h"
#include "platform/SqlConnection.h"
#include "platform/DateText.h"

#include <QSqlQuery>
#include <QTextDocument>

JournalModel::JournalModel(QObject* parent) : QAbstractTableModel(parent)
{}

std::vector<JournalRow> JournalModel::read(SqlConnection& work)
{
    std::vector<JournalRow> rows;
    SqlStatement q(work,
                   "select bdate, rdate, tcode, descr, prev, pres, usage, chg, pmt, rbal, dorder, mult, trow "
                   "from jurn order by rowid");
    while (q.next()) {
        JournalRow row;
        row.bdate = q.text(0);
        row.rdate = q.text(1);
        row.tcode = q.text(2);
        row.descr = q.text(3);
        row.prev = q.text(4);
        row.pres = q.text(5);
        row.usage = q.text(6);
        row.chg = q.text(7);
        row.pmt = q.text(8);
        row.rbal = q.text(9);
        row.dorder = q.real(10);
        row.mult = q.text(11);
        row.trow = static_cast<int>(q.integer(12));
        rows.push_back(std::move(row));
    }
    return rows;
}

QString JournalModel::caption(int column)
{
    static const char* const captions[] = {"POST DATE", "READ DATE", "CODE",    "DESCRIPTION", "PREVIOUS", "READING",
                                           "USAGE",     "CHARGE",    "PAYMENT", "BALANCE",     "dorder"};
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(captions[column]) : QString();
}

QString JournalModel::displayText(const JournalRow& row, int column)
{
    switch (column) {
    case PostDate: return DateText::displayShort(row.bdate);
    case ReadDate: return DateText::displayShort(row.rdate);
    case Code: return row.tcode;
    case Description: return row.descr;
    case Previous: return row.prev;
    case Reading: return row.pres;
    case Usage: return row.usage;
    case Charge: return row.chg;
    case Payment: return row.pmt;
    case Balance: return row.rbal;
    case Rank: return QString::number(row.dorder);
    default: return {};
    }
}

void JournalModel::setRows(std::vector<JournalRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

bool JournalModel::editRows(const std::function<bool(std::vector<JournalRow>&)>& change)
{
    const size_t count = m_rows.size();
    if (!change(m_rows))
        return false;
    Q_ASSERT(m_rows.size() == count);
    if (count > 0)
        Q_EMIT dataChanged(
            index(0, 0), index(static_cast<int>(count) - 1, ColumnCount - 1), {Qt::DisplayRole, Qt::ToolTipRole});
    return true;
}

void JournalModel::clear()
{
    setRows({});
}

const JournalRow* JournalModel::rowAt(int row) const
{
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? &m_rows[static_cast<size_t>(row)] : nullptr;
}

int JournalModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int JournalModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JournalModel::data(const QModelIndex& index, int role) const
{
    const JournalRow* row = index.isValid() ? rowAt(index.row()) : nullptr;
    if (!row || index.column() >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return displayText(*row, index.column());
    // A tooltip that looks like markup would be shown as markup: hand it over escaped.
    if (role == Qt::ToolTipRole && index.column() == Description)
        return row->descr.isEmpty() ? QVariant() : QVariant(Qt::convertFromPlainText(row->descr));
    if (role == Qt::TextAlignmentRole) {
        if (index.column() == Code)
            return int(Qt::AlignHCenter | Qt::AlignVCenter);
        if (index.column() == Description)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    // Rows have bare selectors, no numbers.
    return orientation == Qt::Horizontal ? QVariant(caption(section)) : QVariant();
}
