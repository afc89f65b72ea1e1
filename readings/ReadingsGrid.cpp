#include "readings/ReadingsGrid.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

bool isEnter(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

ReadingsGrid::ReadingsGrid(QWidget* parent)
    : QTableView(parent)
{
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed | SelectedClicked);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
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
            if (m_editor)
                m_editor->setFocus();
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
        return false;
    }
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
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
