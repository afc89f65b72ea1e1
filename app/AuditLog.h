#pragma once

#include "platform/Outcome.h"

#include <QDateTime>
#include <QString>
#include <functional>

class HistoryModule;

// The inputs of the audit routine. AuditName names the log (its stem without the
// last four characters); an empty AuditName or text writes nothing.
struct AuditSettings {
    QString ProgramFolder;
    QString AuditName;
    QString AuditUser;
    QString AuditDbPath;
    bool AuditToTable = false;

    // The run's inputs: AuditName is the billing database's file name, AuditUser
    // the operator id. The LIDB row is off unless ledviewaudit.ini in the suite
    // folder turns it on: line 1 -1 or 1, line 2 the database holding LIDB (empty:
    // the billing database).
    static AuditSettings forModule(const HistoryModule& module);
};

// WriteAudit: one line in AUDIT/<stem><YYYYMM>.LOG under the suite folder and,
// when configured, one LIDB row. Every call opens and closes what it writes.
class AuditLog {
public:
    using Clock = std::function<QDateTime()>;

    explicit AuditLog(AuditSettings settings, Clock clock = {});

    // A failure when the file or the row could not be written (the message says
    // which); the caller's action goes on regardless.
    Outcome WriteAudit(const QString& text);

    const AuditSettings& settings() const { return m_settings; }
    void setClock(Clock clock);

    // "yyyymmdd hh:mm AM " on the 12-hour clock, English designator.
    static QString timeStamp(const QDateTime& when);
    // AUDIT/<stem><YYYYMM>.LOG, the folder and file matched without regard to case.
    QString logFilePath(const QDate& day) const;

private:
    Outcome appendLine(const QString& line, const QDate& day);
    Outcome insertRow(const QString& stamp, const QString& text);

    AuditSettings m_settings;
    Clock m_clock;
};
