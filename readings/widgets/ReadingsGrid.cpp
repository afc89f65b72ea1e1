#include "readings/widgets/ReadingsGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

namespace {

bool isEnter(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

ReadingsGrid::ReadingsGrid(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed | SelectedClicked);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setWordWrap(false);
    verticalHeader()->setMinimumSectionSize(1);
}

void ReadingsGrid::sizeRowsToLines()
{
    // One text line per row, so that a screenful holds many readings; a cell with
    // line breaks (a comment) gets the lines it needs.
    const int line = fontMetrics().lineSpacing();
    const int padding = 4;
    verticalHeader()->setDefaultSectionSize(line + padding);
    for (int row = 0; row < model()->rowCount(); ++row) {
        qsizetype lines = 1;
        for (int column = 0; column < model()->columnCount(); ++column) {
            if (!isColumnHidden(column))
                lines = std::max(lines, model()->index(row, column).data().toString().count(QLatin1Char('\n')) + 1);
        }
        if (lines > 1)
            setRowHeight(row, static_cast<int>(lines) * line + padding);
    }
}

QWidget* ReadingsGrid::openEditor() const
{
    return state() == EditingState ? m_editor.data() : nullptr;
}

bool ReadingsGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (!QTableView::edit(index, trigger, event))
        return false;
    QWidget* editor = indexWidget(index);
    if (editor && editor != m_editor) {
        // Ahead of the delegate's own filter, which would commit Enter on its own.
        editor->installEventFilter(this);
        m_editor = editor;
        m_editing = index;
        // Typed figures stand where the cell shows them.
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setAlignment(Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()));
    }
    return true;
}

void ReadingsGrid::commitData(QWidget* editor)
{
    // A message shown while committing takes the focus, which would commit again.
    if (m_committing || editor != m_editor)
        return;
    const auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !m_commit || !m_editing.isValid())
        return;
    // The same refused text is not offered (and refused, with its message) twice.
    if (m_refusedText && *m_refusedText == line->text()) {
        m_keepEditor = true;
        return;
    }
    m_committing = true;
    m_keepEditor = !m_commit(m_editing, line->text());
    m_committing = false;
    m_refusedText = m_keepEditor ? std::optional<QString>(line->text()) : std::nullopt;
}

void ReadingsGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (m_committing && editor == m_editor)
        return;
    if (m_keepEditor && editor == m_editor) {
        m_keepEditor = false;
        // Back to the cell being edited once the move that closed it has finished.
        const QPersistentModelIndex cell = m_editing;
        QTimer::singleShot(0, this, [this, cell] {
            if (cell.isValid() && currentIndex() != cell)
                setCurrentIndex(cell);
            focusRefusedEditor();
        });
        return;
    }
    if (editor == m_editor) {
        m_refusedText.reset();
        m_editor = nullptr;
        m_editing = QPersistentModelIndex();
    }
    QTableView::closeEditor(editor, hint);
}

bool ReadingsGrid::finishEditing()
{
    QWidget* editor = openEditor();
    if (!editor)
        return true;
    commitData(editor);
    if (m_keepEditor) {
        m_keepEditor = false;
        // Asked for in so many words: the next request offers the text again.
        m_refusedText.reset();
        focusRefusedEditor();
        return false;
    }
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void ReadingsGrid::discardEditing()
{
    QWidget* editor = openEditor();
    if (!editor)
        return;
    m_keepEditor = false;
    closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void ReadingsGrid::focusRefusedEditor()
{
    // What the operator types next replaces the refused text rather than joining it.
    auto* line = qobject_cast<QLineEdit*>(m_editor.data());
    if (!line)
        return;
    m_refusedText.reset();
    // The message box that told of the refusal may have left no window active.
    if (!isActiveWindow())
        activateWindow();
    line->setFocus(Qt::OtherFocusReason);
    line->selectAll();
}

void ReadingsGrid::keyPressEvent(QKeyEvent* event)
{
    if (isEnter(event) && state() != EditingState) {
        moveAfterEnter();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool ReadingsGrid::eventFilter(QObject* watched, QEvent* event)
{
    // A key is the operator asking again: a text refused for a passing reason (the
    // billing database locked by another program) must be offered once more.
    if (watched == m_editor && event->type() == QEvent::KeyPress)
        m_refusedText.reset();
    if (watched == m_editor && isEnter(event)) {
        moveAfterEnter();
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void ReadingsGrid::moveAfterEnter()
{
    const QModelIndex from = currentIndex();
    if (!from.isValid())
        return;
    if (!finishEditing())
        return;
    const QModelIndex next = model()->index(from.row(), nextVisibleColumn(from.column()));
    setCurrentIndex(next);
    edit(next);
}

int ReadingsGrid::nextVisibleColumn(int column) const
{
    for (int next = column + 1; next < model()->columnCount(); ++next) {
        if (!isColumnHidden(next))
            return next;
    }
    return column;
}
