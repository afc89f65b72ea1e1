#pragma once

#include <QTableView>
#include <vector>

struct JournalRow;

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

    // Every column at its design width; PREVIOUS shown or not.
    void resetColumns();
    void showPreviousColumn(bool show);
    // Money columns as wide as their widest amount; DESCRIPTION takes `spare` pixels
    // (what the window has beyond its design width) less what the amounts took.
    void fitColumns(const std::vector<JournalRow>& rows, int spare);
    // Rows as tall as the longest description needs at DESCRIPTION's width.
    void sizeRows(float longestDescr);
    void keepNewestRowsInView();
    // 0 for a hidden column.
    int columnWidthTwips(int column) const;
    int lineHeight() const { return m_lineHeight; }

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    void trackSelection(const QItemSelection& selected, const QItemSelection& deselected);
    void setColumnWidthTwips(int column, int twips);
    int twipsToPixels(int twips) const;

    std::vector<int> m_selectionOrder;
    int m_lineHeight = 0;
};
