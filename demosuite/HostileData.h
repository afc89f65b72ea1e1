#pragma once

#include "platform/Outcome.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <cstdint>

class SqlConnection;

// Accounts whose every stored value is one that careless code chokes on: quotes,
// the wildcards of both SQL dialects, brackets, backslashes, non-ASCII, 1,000
// characters, blanks, NULL; dates null, impossible or in other text forms; amounts
// null, negative, huge or text. Written into a billing database that already has
// the suite's tables, beside whatever it holds.
namespace HostileData {

// The account holding a row of every kind for every text, date and amount.
inline constexpr int32_t CustKey = 900001;
inline constexpr int32_t LocKey = 900001;
// Customers FirstTextCustomer + i (location the same number) carry texts()[i] in
// every text column of [tbl customer] and [tbl location].
inline constexpr int32_t FirstTextCustomer = 900100;

// The stored texts; a null QVariant is NULL.
const QVariantList& texts();
const QVariantList& dates();
const QVariantList& amounts();
// Transaction codes of the hostile rows, each also in [lkup transaction code].
const QStringList& codes();
// The 1,000-character value among texts().
QString longText();

// Adds the accounts; the first failing insert's reason.
Outcome write(const SqlConnection& db);

} // namespace HostileData
