#pragma once

#include "platform/Outcome.h"

#include "platform/Currency.h"

#include <QString>
#include <QStringView>
#include <cstdint>

class HistoryModule;
class SqlConnection;

// The balance line of the highlighted account: what it owes, and what became of
// its deposit. Read live from the billing database at every call.
struct AccountBalance {
    Currency balance; // charges less payments
    Currency depositPaid; // payments on deposit codes (group 10)
    Currency depositReturned; // refunds applied to bills or returned
    bool inactive = false;

    QString caption() const;

    // The list line's status field (positions 25-32) reads INACTIVE.
    static bool lineIsInactive(QStringView listLine);

    // Sums for one account; keys are bound, never written into the statement.
    static AccountBalance read(SqlConnection& billing, int32_t custKey, int32_t locKey);

    // The window's balance line: opens and closes the billing database around the
    // reads; the inactive mark comes from the highlighted list line. The engine's
    // reason when the billing database cannot be opened.
    static Outcome show(HistoryModule& module, QStringView listLine, AccountBalance& result);

    // The same caption for an account without a list line (the command line tools):
    // the inactive mark from the customer's status, as the list line would show it.
    static Outcome forAccount(HistoryModule& module, int32_t custKey, int32_t locKey, QString& caption);
};
