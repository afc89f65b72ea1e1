#include "readings/ReadingsAccount.h"

#include "app/SuiteFolder.h"

#include <QFile>

namespace ReadingsAccount {

void read(const QString& programFolder, QString& accNo, QString& lookupName)
{
    const QString path = SuiteFolder::findFile(programFolder, QStringLiteral("rdgsacct.txt"));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    parse(file.read(ReadLimit), accNo, lookupName);
}

void parse(const QByteArray& contents, QString& accNo, QString& lookupName)
{
    QString* targets[] = {&accNo, &lookupName};
    qsizetype start = 0;
    for (QString* target : targets) {
        if (start >= contents.size())
            return;
        const qsizetype newline = contents.indexOf('\n', start);
        const qsizetype end = newline < 0 ? contents.size() : newline;
        QByteArray line = contents.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        *target = QString::fromUtf8(line);
        start = end + 1;
    }
}

} // namespace ReadingsAccount
