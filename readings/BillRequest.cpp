#include "readings/BillRequest.h"

#include "app/SuiteFolder.h"
#include "app/Waits.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace BillRequest {

bool canCompute(const Request& request)
{
    return !request.accNo.isEmpty() && request.CustKey > 0 && request.LocKey > 0;
}

QByteArray requestText(const Request& request)
{
    const QString text = QString::number(request.CustKey) + QStringLiteral("\r\n") + QString::number(request.LocKey)
        + QStringLiteral("\r\n") + request.billDate + QStringLiteral("\r\n") + request.accNo + QStringLiteral("\r\n");
    return text.toUtf8();
}

bool writeRequest(const QString& programFolder, const Request& request, QString& error)
{
    QSaveFile file(SuiteFolder::pathFor(programFolder, QStringLiteral("CompOneRdg.ini")));
    if (!file.open(QIODevice::WriteOnly) || file.write(requestText(request)) < 0 || !file.commit()) {
        error = QStringLiteral("The request file ") + file.fileName() + QStringLiteral(" could not be written: ")
            + file.errorString();
        return false;
    }
    return true;
}

QString meterEntryProgram(const QString& programFolder)
{
    for (const char* name : {"entmeter.exe", "entmeter"}) {
        const QString path = SuiteFolder::findFile(programFolder, QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString doneMarker(const QString& programFolder)
{
    return SuiteFolder::pathFor(programFolder, QStringLiteral("componerdgdone.ini"));
}

bool isDone(const QString& programFolder)
{
    return QFileInfo::exists(doneMarker(programFolder));
}

void removeDoneMarker(const QString& programFolder)
{
    const QString marker = doneMarker(programFolder);
    if (!QFileInfo::exists(marker))
        return;
    QFile::remove(marker);
    Waits::WaitForFileGone(marker);
}

} // namespace BillRequest
