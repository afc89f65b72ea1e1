#include "selection/SelectionSettings.h"

#include "app/SuiteFolder.h"
#include "app/SuiteTextFile.h"
#include "platform/BasicRuntime.h"

#include <QFile>
#include <QSaveFile>

namespace {

int optionIndex(const QByteArray& line)
{
    const auto index = BasicRuntime::toInt32(BasicRuntime::val(QString::fromLatin1(line)));
    return index && *index >= 0 && *index <= 4 ? *index : 0;
}

} // namespace

SelectionSettings SelectionSettings::parse(const QByteArray& contents)
{
    SelectionSettings settings;
    const QList<QByteArray> lines = SuiteTextFile::lines(contents);
    if (lines.isEmpty())
        return settings;
    settings.SortIndex = optionIndex(lines[0]);
    if (lines.size() > 1)
        settings.searchText = QString::fromUtf8(lines[1]);
    return settings;
}

std::optional<SelectionSettings> SelectionSettings::read(const QString& programFolder)
{
    if (const std::optional<QByteArray> contents =
            SuiteTextFile::readNamed(programFolder, QString::fromLatin1(FileName)))
        return parse(*contents);
    return std::nullopt;
}

QByteArray SelectionSettings::format(std::optional<int> sortIndex, const QString& searchText)
{
    QByteArray contents;
    if (sortIndex)
        contents += ' ' + QByteArray::number(*sortIndex) + " \r\n";
    return contents + searchText.toUtf8() + "\r\n";
}

bool SelectionSettings::write(const QString& programFolder, std::optional<int> sortIndex, const QString& searchText)
{
    QSaveFile file(SuiteFolder::pathFor(programFolder, QString::fromLatin1(FileName)));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(format(sortIndex, searchText));
    return file.commit();
}
