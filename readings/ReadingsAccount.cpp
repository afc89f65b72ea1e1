#include "readings/ReadingsAccount.h"

#include "app/SuiteFolder.h"
#include "app/SuiteTextFile.h"

#include <QFile>

namespace ReadingsAccount {

void read(const QString& programFolder, QString& accNo, QString& lookupName)
{
    const QByteArray contents =
        SuiteTextFile::read(SuiteFolder::findFile(programFolder, QStringLiteral("rdgsacct.txt")), ReadLimit);
    if (!contents.isEmpty())
        parse(contents, accNo, lookupName);
}

void parse(const QByteArray& contents, QString& accNo, QString& lookupName)
{
    // A line that is not there leaves its value as it was.
    const QList<QByteArray> lines = SuiteTextFile::lines(contents);
    if (lines.size() > 0)
        accNo = QString::fromUtf8(lines[0]);
    if (lines.size() > 1)
        lookupName = QString::fromUtf8(lines[1]);
}

} // namespace ReadingsAccount
