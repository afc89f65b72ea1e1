#include "selection/SelectionSettings.h"

#include "app/SuiteFolder.h"
#include "platform/BasicRuntime.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr qint64 settingsReadLimit = 64 * 1024;

QByteArray withoutLineEnd(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

int optionIndex(const QByteArray& line)
{
    const auto index = BasicRuntime::toInt32(BasicRuntime::val(QString::fromLatin1(line)));
    return index && *index >= 0 && *index <= 4 ? *index : 0;
}

} // namespace

SelectionSettings SelectionSettings::parse(const QByteArray& contents)
{
    SelectionSettings settings;
    if (contents.isEmpty())
        return settings;
    const qsizetype firstEnd = contents.indexOf('\n');
    settings.SortIndex = optionIndex(withoutLineEnd(contents.left(firstEnd < 0 ? contents.size() : firstEnd + 1)));
    if (firstEnd < 0 || firstEnd + 1 >= contents.size())
        return settings;
    const QByteArray rest = contents.mid(firstEnd + 1);
    const qsizetype secondEnd = rest.indexOf('\n');
    settings.searchText = QString::fromUtf8(withoutLineEnd(rest.left(secondEnd < 0 ? rest.size() : secondEnd + 1)));
    return settings;
}

std::optional<SelectionSettings> SelectionSettings::read(const QString& programFolder)
{
    const QString path = SuiteFolder::findFile(programFolder, QString::fromLatin1(FileName));
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SelectionSettings{};
    return parse(file.read(settingsReadLimit));
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
