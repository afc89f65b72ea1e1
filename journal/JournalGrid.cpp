#include "journal/JournalGrid.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

// Paints the current row as highlighted even when it is not selected.
class CurrentRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto* view = qobject_cast<const QAbstractItemView*>(option->widget);
        if (view && view->currentIndex().row() == index.row())
            option->state |= QStyle::State_Selected;
    }
};

} // namespace

JournalGrid::JournalGrid(QWidget* parent)
    : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setItemDelegate(new CurrentRowDelegate(this));
    verticalHeader()->setVisible(true);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setSectionsClickable(true);
}

void JournalGrid::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    m_selectionOrder.clear();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &JournalGrid::trackSelection);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, viewport(), [this] { viewport()->update(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { m_selectionOrder.clear(); });
}

QItemSelectionModel::SelectionFlags JournalGrid::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    // Clicks and keys in the cells move the current row only; the row selectors
    // (which come here without an event) select.
    if (event)
        return QItemSelectionModel::NoUpdate;
    return QTableView::selectionCommand(index, event);
}

void JournalGrid::trackSelection(const QItemSelection& selected, const QItemSelection& deselected)
{
    for (const QModelIndex& index : deselected.indexes()) {
        if (!selectionModel()->isRowSelected(index.row(), index.parent()))
            m_selectionOrder.erase(std::remove(m_selectionOrder.begin(), m_selectionOrder.end(), index.row()),
                                   m_selectionOrder.end());
    }
    for (const QModelIndex& index : selected.indexes()) {
        if (std::find(m_selectionOrder.begin(), m_selectionOrder.end(), index.row()) == m_selectionOrder.end())
            m_selectionOrder.push_back(index.row());
    }
}
