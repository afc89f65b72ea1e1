#pragma once

#include <QString>

class QAbstractItemModel;
class QButtonGroup;
class QDialog;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QToolButton;

// The selection window's controls with their names, captions and tooltips, laid
// out on the window; the window wires them to its handlers.
class SelectionControls {
public:
    SelectionControls(QDialog* window, QAbstractItemModel* model);

    // The balance line: white on red for an inactive account, else black on button face.
    void showBalance(const QString& caption, bool inactive);
    // Highlights and shows the row, or clears the highlight for -1.
    void highlight(int row);
    // The highlighted row, -1 when no line is highlighted.
    int highlightedRow() const;

    QButtonGroup* opt = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* cmdFindFirst = nullptr;
    QPushButton* cmdFindNext = nullptr;
    QPushButton* cmdFindPrev = nullptr;
    QListView* DBList1 = nullptr;
    QToolButton* Data1First = nullptr;
    QToolButton* Data1Previous = nullptr;
    QToolButton* Data1Next = nullptr;
    QToolButton* Data1Last = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdExit = nullptr;

private:
    void createSearchFrame(QDialog* window);
    void createList(QDialog* window, QAbstractItemModel* model);
    void createNavigation(QDialog* window);
    void createBottom(QDialog* window);
};
