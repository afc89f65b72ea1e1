#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// The request that asks the suite's meter-entry program to compute one bill again:
// CompOneRdg.ini in the suite folder, the program started with "cor", and the done
// marker componerdgdone.ini that it creates when it has finished.
namespace BillRequest {

struct Request {
    int32_t CustKey = 0;
    int32_t LocKey = 0;
    QString billDate; // as the grid shows it: the suite's short date
    QString accNo;
};

// A request needs an account number and both keys.
bool canCompute(const Request& request);
// Four CR LF lines: customer key, location key, bill date, account number.
QByteArray requestText(const Request& request);
// Writes CompOneRdg.ini (found without regard to case, else created); the reason on failure.
bool writeRequest(const QString& programFolder, const Request& request, QString& error);
// entmeter.exe, or entmeter when only that exists; empty when neither does.
QString meterEntryProgram(const QString& programFolder);
QString doneMarker(const QString& programFolder);
bool isDone(const QString& programFolder);
// Deletes the marker and waits until it is gone.
void removeDoneMarker(const QString& programFolder);

} // namespace BillRequest
