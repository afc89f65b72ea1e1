#include "journal/widgets/JournalGrid.h"

#include "journal/JournalBuilder.h"
#include "journal/JournalModel.h"
#include "platform/Twips.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

namespace {

// Design widths in twips, 0 for a hidden column.
const int columnWidths[] = {1000, 1000, 800, 3100, 0, 900, 800, 900, 900, 900, 0};
const int moneyColumns[] = {JournalModel::Charge, JournalModel::Payment, JournalModel::Balance};
constexpr int minimumDescriptionWidth = 1200;

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

JournalGrid::JournalGrid(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setItemDelegate(new CurrentRowDelegate(this));
    verticalHeader()->setVisible(true);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setSectionsClickable(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    // The suite's grid is set in a small face so the columns' twip widths hold a date.
    QFont gridFont = font();
    gridFont.setPointSizeF(7.5);
    setFont(gridFont);
    horizontalHeader()->setFont(gridFont);
    m_lineHeight = QFontMetrics(gridFont).lineSpacing() + 4;
}

int JournalGrid::twipsToPixels(int twips) const
{
    return Twips::toPixels(twips, logicalDpiX());
}

void JournalGrid::resetColumns()
{
    for (int column = 0; column < JournalModel::ColumnCount; ++column)
        setColumnWidthTwips(column, columnWidths[column]);
}

void JournalGrid::showPreviousColumn(bool show)
{
    setColumnWidthTwips(JournalModel::Previous, show ? 900 : 0);
}

void JournalGrid::fitColumns(const std::vector<JournalRow>& rows, int spare)
{
    // An amount shown in part is a wrong amount: each money column is widened to its
    // widest text (every digit as wide as the widest digit, which no sign or point
    // exceeds). Measuring lengths, not every row, keeps this fast on long journals.
    const QFontMetrics metrics(font());
    const int padding = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 4;
    int moneyExtra = 0;
    for (const int column : moneyColumns) {
        qsizetype longest = 0;
        for (const JournalRow& row : rows)
            longest = std::max(longest, JournalModel::displayText(row, column).size());
        const int design = twipsToPixels(columnWidths[column]);
        const int needed = metrics.horizontalAdvance(QString(longest, QLatin1Char('0'))) + padding;
        setColumnWidth(column, std::max(design, needed));
        moneyExtra += std::max(0, needed - design);
    }
    // DESCRIPTION gives up what the amounts took, so BALANCE stays in view.
    const int designWidth = isColumnHidden(JournalModel::Previous) ? 3100 : 2200;
    setColumnWidth(JournalModel::Description,
                   std::max(twipsToPixels(minimumDescriptionWidth), twipsToPixels(designWidth) + spare - moneyExtra));
}

void JournalGrid::setColumnWidthTwips(int column, int twips)
{
    setColumnHidden(column, twips == 0);
    if (twips > 0)
        setColumnWidth(column, twipsToPixels(twips));
}

int JournalGrid::columnWidthTwips(int column) const
{
    return isColumnHidden(column) ? 0 : Twips::fromPixels(columnWidth(column), logicalDpiX());
}

void JournalGrid::sizeRows(float longestDescr)
{
    const float height = JournalBuilder::rowHeightTwips(longestDescr, columnWidthTwips(JournalModel::Description));
    // 300 twips is one line of the grid's text; 0 (no long description) means one line.
    const int lines = std::max(1, static_cast<int>(std::ceil(height / 300.0f)));
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(lines * m_lineHeight);
}

void JournalGrid::keepNewestRowsInView()
{
    // The scroll range follows new row heights only once the view is laid out again.
    doItemsLayout();
    scrollToBottom();
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
            m_selectionOrder.erase(
                std::remove(m_selectionOrder.begin(), m_selectionOrder.end(), index.row()), m_selectionOrder.end());
    }
    for (const QModelIndex& index : selected.indexes()) {
        if (std::find(m_selectionOrder.begin(), m_selectionOrder.end(), index.row()) == m_selectionOrder.end())
            m_selectionOrder.push_back(index.row());
    }
}
