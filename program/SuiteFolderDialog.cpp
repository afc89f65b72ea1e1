#include "program/SuiteFolderDialog.h"

#include "app/SuiteFolder.h"
#include "platform/Messenger.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

SuiteFolderDialog::SuiteFolderDialog(Messenger& messenger, const QString& startFolder)
    : QFileDialog(
        nullptr, QStringLiteral("ledview: choose the suite folder (the folder that holds global.mdb)"), startFolder)
    , m_messenger(messenger)
{
    setObjectName(QStringLiteral("SuiteFolderDialog"));
    setFileMode(QFileDialog::Directory);
    // The same widget dialog on every desktop, so what is tested is what is shown.
    setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    setLabelText(QFileDialog::Accept, QStringLiteral("&Open"));
}

void SuiteFolderDialog::accept()
{
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty())
        return;
    const QString folder = chosen.first();
    if (QFileInfo(folder).isDir() && !SuiteFolder::holdsSuite(folder)) {
        m_messenger.tell(QStringLiteral("The folder ") + QDir::toNativeSeparators(folder)
                             + QStringLiteral(" holds no global.mdb.\n\nChoose the suite folder: the folder that "
                                              "holds global.mdb, tuid.txt and the settings files."),
                         QStringLiteral("TRY AGAIN"), Messenger::Icon::Warning);
        return;
    }
    QFileDialog::accept();
}

QString SuiteFolderDialog::ask(Messenger& messenger, const QString& startFolder)
{
    SuiteFolderDialog dialog(messenger, startFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString SuiteFolderDialog::resolve(const QString& explicitHome, const QString& executableFolder, QSettings& settings,
                                   Messenger& messenger)
{
    const SuiteFolder::Located located =
        SuiteFolder::locate(explicitHome, executableFolder, SuiteFolder::remembered(settings));
    QString folder = located.folder;
    if (located.source == SuiteFolder::Source::None)
        folder = ask(messenger, QDir::homePath());
    if (!folder.isEmpty() && SuiteFolder::holdsSuite(folder))
        SuiteFolder::remember(settings, folder);
    return folder;
}
