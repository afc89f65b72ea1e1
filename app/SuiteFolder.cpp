#include "app/SuiteFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace SuiteFolder {

namespace {

const QString kRememberedKey = QStringLiteral("suite/folder");

QString absolute(const QString& folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

} // namespace

Located locate(const QString& explicitHome, const QString& executableFolder, const QString& remembered)
{
    QString named = explicitHome;
    if (named.isEmpty())
        named = qEnvironmentVariable("LEDVIEW_HOME");
    if (!named.isEmpty())
        return {absolute(named), Source::Named};
    if (!executableFolder.isEmpty() && holdsSuite(executableFolder))
        return {absolute(executableFolder), Source::Executable};
    if (!remembered.isEmpty() && holdsSuite(remembered))
        return {absolute(remembered), Source::Remembered};
    return {};
}

bool holdsSuite(const QString& folder)
{
    return QFileInfo(findFile(folder, QStringLiteral("global.mdb"))).isFile();
}

std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ledview"), QStringLiteral("ledview"));
}

QString remembered(const QSettings& settings)
{
    return settings.value(kRememberedKey).toString();
}

void remember(QSettings& settings, const QString& folder)
{
    settings.setValue(kRememberedKey, absolute(folder));
    settings.sync();
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
