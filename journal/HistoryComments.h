#pragma once

#include "platform/Outcome.h"

#include <QDate>
#include <QString>

class HistoryModule;

// History comments kept in both the billing database (histcomments) and the
// journal's copy (hcom). The billing database is written first: it is the record.
namespace HistoryComments {

struct Result {
    bool saved = true; // the billing database holds the change
    Outcome outcome; // what went wrong, for the operator
};

// Apostrophes are stored as backquotes, as the suite does.
QString storedText(const QString& typed);

Result add(HistoryModule& module, const QDate& date, const QString& typed);
// Every comment of the account with that date and exactly that text, in both places.
Result remove(HistoryModule& module, const QDate& date, const QString& text);

} // namespace HistoryComments
