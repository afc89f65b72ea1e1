#pragma once

#include "platform/Outcome.h"

#include <QString>
#include <QStringList>

class HistoryModule;

// Copies one account's rows from the billing database into the scratch database's
// work tables (cust, loc, bd, mr, pd, dep, depref, bal, hcom, ae, lutc). Leaves
// WorkDb open on the scratch database for the rest of the journal's load.
class AccountExtraction {
public:
    struct Result {
        Outcome outcome; // what could not be opened or copied, for the operator
        QStringList missing; // source tables the billing database lacks (copied empty)
    };

    // Names the missing tables and the kinds of journal rows that go with them.
    static QString missingMessage(const QString& billingDbPath, const QStringList& missing);

    // The work tables, in copy order.
    static const QStringList& workTables();

    static Result run(HistoryModule& module);

private:
    static Outcome prepareScratch(HistoryModule& module);
    // Empty when every table was copied; else what failed, for the operator.
    static Outcome copyAccount(HistoryModule& module, QStringList& missing);
};
