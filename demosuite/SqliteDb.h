#pragma once

#include "platform/SqlStatement.h"

#include <QString>
#include <string_view>

struct sqlite3;

// An owned connection through the C API, for the paths where Qt SQL's per-row
// overhead matters (bulk generation) or the native handle is needed (dialect).
class SqliteDb {
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(SqliteDb&& other) noexcept;
    SqliteDb& operator=(SqliteDb&& other) noexcept;
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // Opens an existing file (create = false) or creates it; false and lastError().
    bool open(const QString& path, bool create);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // Runs statements without values; false and lastError() on the first failure.
    bool exec(std::string_view sql);
    SqlStatement prepare(std::string_view sql);
    QString lastError() const;

private:
    sqlite3* m_db = nullptr;
    QString m_openError;
};

// The engine's message for the last failure on a connection.
QString sqliteMessage(sqlite3* db);
