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
    QString* targets[] = {&accNo, &lookupName};
    for (QString* target : targets) {
        if (file.atEnd())
            return;
        QByteArray line = file.readLine(64 * 1024);
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        *target = QString::fromUtf8(line);
    }
}

} // namespace ReadingsAccount
