#pragma once

#include "app/widgets/SuiteWindow.h"

class HistoryModule;
class Messenger;
class Outcome;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Adds a dated history comment to the account, or deletes the journal's current
// comment row, in the billing database and the journal's copy.
class frmHistoryComment : public SuiteWindow {
    Q_OBJECT
public:
    frmHistoryComment(HistoryModule& module, Messenger& messenger, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cmdSave_Click();
    void cmdDelete_Click();
    void finish(bool stored, const Outcome& problem, const QString& notStoredTitle);
    void dateBoxLostFocus();
    bool isValidDate() const;
    void tryAgain(const QString& text);
    void showCharactersLeft();

    QLineEdit* txtDate = nullptr; // txt index 0
    QPlainTextEdit* txtComment = nullptr; // txt index 1
    QLabel* charactersLeft = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdDelete = nullptr;
};
