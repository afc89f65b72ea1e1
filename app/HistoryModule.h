#pragma once

#include "platform/SqlConnection.h"

#include <QDate>
#include <QString>
#include <cstdint>

// The state every window shares for one run, with the suite's names, and the six
// database procedures. Made once by Main and handed to every window and logic call.
class HistoryModule {
public:
    QString ProgramFolder; // the suite folder: every file of the suite lives here
    QString UserId;
    QString BillingDbPath;
    QString WorkDbPath;
    QString CompanyTitle;
    QString CommandLine;
    int32_t CustKey = 0;
    int32_t LocKey = 0;
    int16_t JournalIsStartWindow = 0;
    int16_t NoHistory = 0; // True = -1
    float DelaySeconds = 0;
    QDate SelectedDate;
    QString SelectedDescr;
    int16_t CommentDeleteMode = 0;
    int BusyTimeoutMs = SqlConnection::DefaultBusyTimeoutMs;

    SqlConnection BillingDb;
    SqlConnection WorkDb;

    // Open the billing / scratch file (never creating it); the engine's reason when
    // it cannot be opened. A server's connection is kept from one action to the next
    // while it stays fit for use: a new one costs the server a process and cold caches,
    // tens of milliseconds of every journal's open and balance line.
    Outcome OpenBillingDb();
    // A connection of its own to the billing file, for a window's model or a report.
    SqlConnection openBilling() const;
    Outcome OpenWorkDb();
    void CloseBillingDb();
    // Ends a kept server connection too, at the end of the run.
    void ReleaseBillingDb();
    void CloseWorkDb();
    // Run one action statement; a failure is ignored by design (drops of missing
    // tables, creates of existing ones) but reported through the result.
    bool ExecBilling(const QString& sql, const QVariantList& binds = {});
    bool ExecWork(const QString& sql, const QVariantList& binds = {});

    QString suiteFile(const QString& name) const;
    // The billing database as messages name it: the file, or the server's URI
    // without its password.
    QString billingName() const;

private:
    QString m_billingOpenedFrom; // the path BillingDb was opened with
};
