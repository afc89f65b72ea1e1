#pragma once

#include <QModelIndex>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <optional>

// The editable readings grid. A finished cell edit goes to the window's commit
// handler instead of straight to the model, so a value that cannot be saved
// keeps its editor open with what the operator typed. Enter moves to the next
// column (staying in the last) with the cell's text selected.
class ReadingsGrid : public QTableView {
    Q_OBJECT
public:
    // Gets the cell and the typed text; false keeps the editor open.
    using CommitHandler = std::function<bool(const QModelIndex& cell, const QString& typed)>;

    explicit ReadingsGrid(QWidget* parent = nullptr);
    void setCommitHandler(CommitHandler handler) { m_commit = std::move(handler); }
    // Rows one text line high, taller only where a cell holds line breaks.
    void sizeRowsToLines();

    // The editor open on the current cell, if any, and its cell.
    QWidget* openEditor() const;
    QModelIndex editingCell() const { return m_editing; }
    using QTableView::edit;
    // Commits and closes an open editor; false when its value could not be saved
    // (the editor stays open with the typed text selected and the focus).
    bool finishEditing();
    // Closes an open editor without saving what it holds.
    void discardEditing();
    // Gives the open editor the focus with its text selected.
    void focusRefusedEditor();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveAfterEnter();
    int nextVisibleColumn(int column) const;

    CommitHandler m_commit;
    QPersistentModelIndex m_editing;
    QPointer<QWidget> m_editor;
    bool m_committing = false;
    bool m_keepEditor = false;
    std::optional<QString> m_refusedText;
};
