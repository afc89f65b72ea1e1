#pragma once

struct sqlite3;
class QSqlDatabase;

// Registers the suite's SQL dialect on a connection: datevalue, format, val, str,
// left, mid, instr, space, len, the LIKE operator with the desktop engine's
// wildcards, and vbjoin(a, b, ...) which joins texts treating NULL as empty.
// Returns false when the connection has no native SQLite handle.
namespace SqlDialect {
bool registerOn(sqlite3* db);
bool registerOn(const QSqlDatabase& db);
} // namespace SqlDialect
