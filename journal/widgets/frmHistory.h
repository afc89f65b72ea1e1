#pragma once

#include "app/widgets/SuiteWindow.h"
#include "journal/CodeBalances.h"
#include "journal/JournalFlags.h"
#include "journal/PendingJournalTable.h"
#include "journal/JournalSettings.h"

#include <QStringList>

class CodeBalanceModel;
class HistoryModule;
class JournalGrid;
class JournalModel;
class Messenger;
class Navigator;
class QLabel;
class QPushButton;
class QTableView;

// The history journal of one account: header, journal grid, and the commands that
// change what it shows, page through accounts, and keep comments.
class frmHistory : public SuiteWindow {
    Q_OBJECT
public:
    frmHistory(HistoryModule& module, Messenger& messenger, Navigator& navigator, QWidget* parent = nullptr);

    // The whole load: settings, extraction, header, journal. Run before showing and
    // again in place when the window moves to another account. A failed load is
    // told and still shows the window, which its activation then closes.
    bool Form_Load() override;

    JournalFlags& flags() { return m_flags; }
    JournalModel& journal() { return *m_model; }
    int16_t Reloading = 0;
    int16_t ShowBalances = 0;
    int SearchCount = 0;
    QString AccNo;
    QString LookupName;
    PrintRange printRange;
    float LongestDescr = 0;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Layout (frmHistory.cpp)
    void createControls();
    void createButtons();
    void placeButtons();
    void applyLoadedSettings(const std::optional<JournalViewSettings>& settings);
    void applyPreviousReadingsLayout();
    void fitColumns();
    void SizeJournalRows();
    void RefreshJournalGrid();
    void Form_Activate() override;
    void Form_Unload() override;

    // Commands (frmHistoryCommands.cpp)
    void connectCommands();
    void cmdHideCom_Click();
    void cmdPmts_Click();
    void cmdApplyMult_Click();
    void cmdShowPrev_Click();
    void cmdPrev_Click();
    void cmdNext_Click();
    void cmdBals_Click();
    void cmdComment_Click();
    void cmdPrint_Click();
    void grd_DblClick();
    void Data1_Reposition();
    void ShowCodeBalances();
    void rebuildJournal();
    void page(bool previous);

    Navigator& m_navigator;
    JournalFlags m_flags;
    JournalModel* m_model = nullptr;
    CodeBalanceModel* m_balanceModel = nullptr;
    CodeBalances m_balances;
    PendingJournalTable m_pendingTable;
    QStringList m_missingTold;

    QLabel* Label2 = nullptr;
    QLabel* Data1 = nullptr;
    QLabel* grdbalCaption = nullptr;
    JournalGrid* grd = nullptr;
    QTableView* grdbal = nullptr;
    QPushButton* cmdComment = nullptr;
    QPushButton* cmdShowPrev = nullptr;
    QPushButton* cmdApplyMult = nullptr;
    QPushButton* cmdHideCom = nullptr;
    QPushButton* cmdPmts = nullptr;
    QPushButton* cmdBals = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPrev = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdExit = nullptr;
};
