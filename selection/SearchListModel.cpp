#include "selection/SearchListModel.h"

SearchListModel::SearchListModel(QObject* parent) : QAbstractListModel(parent)
{}

void SearchListModel::change(const std::function<void(SearchLines&)>& edit)
{
    beginResetModel();
    edit(m_lines);
    endResetModel();
}

int SearchListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant SearchListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole: return m_lines.text(index.row()).toString();
    case CustKeyRole: return m_lines.custKey(index.row());
    case LocKeyRole: return m_lines.locKey(index.row());
    default: return {};
    }
}
