#pragma once

#include "app/AuditLog.h"
#include "app/widgets/SuiteWindow.h"
#include "readings/ReadingAudit.h"

#include <cstdint>

class HistoryModule;
class Messenger;
class QLabel;
class QLineEdit;
class QPushButton;
class ReadingsGrid;
class ReadingsModel;

// Every meter reading of the account's location in an editable grid that writes
// each changed cell straight back to the billing database and audits it.
class frmUncomputedReadings : public SuiteWindow {
    Q_OBJECT
public:
    frmUncomputedReadings(HistoryModule& module, Messenger& messenger, QWidget* parent = nullptr);
    ~frmUncomputedReadings() override;

    int16_t NoReadings = 0; // True = -1: the next activation closes the window
    QString ReadingsAccNo;
    QString ReadingsLookupName;
    int computeTimeoutSeconds = 300;

    void setAuditClock(AuditLog::Clock clock) { m_audit.setClock(std::move(clock)); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void createGrid();
    void placeControls();
    void Form_Activate() override;
    bool Form_QueryUnload() override;
    void Form_Unload() override;
    void placeCurrentRow();
    void rememberCurrentRow();
    bool commitCell(int row, int column, const QString& typed);
    void audit(const QString& text);
    void cmdCompute_Click();
    bool savePendingValue();
    bool discardPendingValue();

    AuditLog m_audit;
    ReadingAudit m_remembered;
    ReadingsModel* Data1 = nullptr;
    bool m_auditFailureTold = false;

    QLabel* SSDBGrid1Caption = nullptr;
    ReadingsGrid* SSDBGrid1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* cmdCompute = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdExit = nullptr;
};
