#include "app/SuiteTextFile.h"

#include "app/SuiteFolder.h"

#include <QFile>

namespace SuiteTextFile {

QByteArray read(const QString& path, qint64 limit)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.read(limit);
}

std::optional<QByteArray> readNamed(const QString& folder, const QString& name, qint64 limit)
{
    const QString path = SuiteFolder::findFile(folder, name);
    if (path.isEmpty())
        return std::nullopt;
    return read(path, limit);
}

QList<QByteArray> lines(const QByteArray& contents)
{
    QList<QByteArray> result = contents.split('\n');
    if (contents.isEmpty() || contents.endsWith('\n'))
        result.removeLast();
    for (QByteArray& line : result) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return result;
}

} // namespace SuiteTextFile
