#include "journal/CodeBalanceModel.h"

CodeBalanceModel::CodeBalanceModel(QObject* parent) : QAbstractTableModel(parent)
{}

void CodeBalanceModel::setTable(CodeBalances::Table table)
{
    beginResetModel();
    m_table = std::move(table);
    endResetModel();
}

int CodeBalanceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_table.rows.size());
}

int CodeBalanceModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_table.columns.size());
}

bool CodeBalanceModel::isMoney(int column) const
{
    const QString& name = m_table.columns.value(column);
    return name.compare(QLatin1String("totalcharges"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("totalpaid"), Qt::CaseInsensitive) == 0 || name == QLatin1String("bal");
}

QVariant CodeBalanceModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const QVariant& value = m_table.rows[static_cast<size_t>(index.row())].values.value(index.column());
    if (role == Qt::DisplayRole) {
        if (isMoney(index.column()) && !value.isNull())
            return Currency::fromDouble(value.toDouble()).toDollars();
        return value.toString();
    }
    if (role == Qt::TextAlignmentRole)
        return int((isMoney(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}

QVariant CodeBalanceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_table.columns.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
