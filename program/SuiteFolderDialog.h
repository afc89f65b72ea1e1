#pragma once

#include <QFileDialog>

class Messenger;
class QSettings;

// The folder chooser of a first start: a folder dialog that accepts only a folder
// holding global.mdb and says so when the operator picks another.
class SuiteFolderDialog : public QFileDialog {
    Q_OBJECT
public:
    SuiteFolderDialog(Messenger& messenger, const QString& startFolder);

    void accept() override;

    // The chosen folder; empty when the operator gave up.
    static QString ask(Messenger& messenger, const QString& startFolder);

    // The suite folder of a run of ledview: found without asking when it can be,
    // else asked for; a folder that holds a suite is remembered for the next start.
    static QString resolve(const QString& explicitHome, const QString& executableFolder, QSettings& settings,
                           Messenger& messenger);

private:
    Messenger& m_messenger;
};
