#pragma once

#include <QString>
#include <QVariant>

// How a column of the billing file is kept on a server: the file's affinity, by
// SQLite's own rules, and the server type chosen for it.
namespace BillingColumnType {

enum class Affinity { Integer, Text, None, Real, Numeric };
enum class ServerType { BigInt, Double, Numeric, Text, Bytea };

Affinity affinityOf(const QString& declared);
const char* serverTypeName(ServerType type);
bool isNumber(const QVariant& value);
// The value as the server column takes it. A number kept in a text column is written
// as the program shows it when read from the file (a double's shortest exact form).
QVariant serverValue(const QVariant& value, ServerType type);

} // namespace BillingColumnType
