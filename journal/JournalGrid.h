#pragma once

#include <QTableView>
#include <vector>

// The journal grid. As in the suite's grids, clicking or moving through cells only
// makes a row current (shown highlighted); rows are selected through the row
// selectors at the left, and the grid remembers the order they were selected in,
// which is what printing a range goes by.
class JournalGrid : public QTableView {
    Q_OBJECT
public:
    explicit JournalGrid(QWidget* parent = nullptr);

    // Selected rows, first selected first.
    const std::vector<int>& selectedRowsInOrder() const { return m_selectionOrder; }
    void setModel(QAbstractItemModel* model) override;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void trackSelection(const QItemSelection& selected, const QItemSelection& deselected);
    std::vector<int> m_selectionOrder;
};
