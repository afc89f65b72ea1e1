#pragma once

#include "app/widgets/SuiteWindow.h"
#include "selection/ListSearch.h"
#include "selection/SearchListWriter.h"
#include "selection/widgets/SelectionControls.h"

#include <optional>

class HistoryModule;
class Messenger;
class Navigator;
class QKeyEvent;
class SearchListModel;

// "Customer History": every customer location as one fixed-width line, searched
// and sorted by one of five options; View Journal opens the chosen account.
class frmHistorySelect : public SuiteWindow {
    Q_OBJECT
public:
    frmHistorySelect(HistoryModule& module, Messenger& messenger, Navigator& navigator, QWidget* parent = nullptr);
    ~frmHistorySelect() override;

    // Settings, scratch database and the list; run before showing. False after
    // telling the operator why the list cannot be built (the run must end).
    bool Form_Load() override;

    QString TypedText;
    bool TypingSearch = false;
    bool LoadingOption = false;
    int SortIndex = 0;

    const SearchListModel& list() const { return *m_model; }
    // The list's current row (the row the find buttons move from), -1 for none.
    qsizetype currentRow() const { return m_currentRow; }
    // The text of the highlighted line, empty when none is highlighted.
    QString listText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void connectControls();
    bool BuildSearchList(int index, QString* error);
    void SortSearchList(int index);
    // Waits for histsrch and the re-sort orders (written behind the shown list);
    // tells the operator once when histsrch could not be written.
    void finishWriting();
    void ShowAccountBalance();
    void FindInList(ListSearch::Direction direction);
    void Form_Activate() override;
    void Form_Unload() override;
    void Text1_GotFocus();
    bool Text1_KeyPress(int keyAscii, const QString& text);
    void searchAsTyped(const QString& typed);
    void opt_Click(int index);
    void cmdFindPrev_Click();
    void DBList1_Click();
    void openJournalFromList(bool showBalanceFirst);
    void moveTo(qsizetype row);
    void highlightRow(qsizetype row);
    void takeKeys(qsizetype row);
    std::optional<int> selectedOption() const;

    Navigator& m_navigator;
    SearchListModel* m_model;
    SelectionControls m_controls;
    SearchListWriter m_writer;
    qsizetype m_currentRow = -1;
    bool m_highlighting = false;
};
