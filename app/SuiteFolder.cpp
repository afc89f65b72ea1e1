#include "app/SuiteFolder.h"

#include <QDir>
#include <QFileInfo>

namespace SuiteFolder {

QString resolve(const QString& explicitHome, const QString& executableFolder)
{
    QString folder = explicitHome;
    if (folder.isEmpty())
        folder = qEnvironmentVariable("LEDVIEW_HOME");
    if (folder.isEmpty())
        folder = executableFolder;
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

QString findFile(const QString& folder, const QString& name)
{
    const QString exact = QDir(folder).filePath(name);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(entry);
    }
    return {};
}

QString pathFor(const QString& folder, const QString& name)
{
    const QString found = findFile(folder, name);
    return found.isEmpty() ? QDir(folder).filePath(name) : found;
}

} // namespace SuiteFolder
