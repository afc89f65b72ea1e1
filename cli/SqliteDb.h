#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A prepared statement owned for its lifetime; binds are 1-based and chainable so
// that bulk writers can reuse one statement per table.
class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    sqlite3_stmt* handle() const { return m_stmt; }

    SqliteStatement& bind(int index, int64_t value);
    SqliteStatement& bind(int index, int value) { return bind(index, static_cast<int64_t>(value)); }
    SqliteStatement& bind(int index, double value);
    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bind(int index, const char* text) { return bind(index, std::string_view(text)); }
    SqliteStatement& bind(int index, const QString& text);
    SqliteStatement& bindNull(int index);

    // One step; true while a row is available. Errors end the iteration and are
    // kept in failed().
    bool next();
    // Runs a statement that returns no rows and resets it for reuse.
    bool run();
    void reset();
    bool failed() const { return m_failed; }

    int64_t columnInt(int index) const;
    double columnDouble(int index) const;
    QString columnText(int index) const;
    bool columnIsNull(int index) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    bool m_failed = false;
};

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
    SqliteStatement prepare(std::string_view sql);
    QString lastError() const;

private:
    sqlite3* m_db = nullptr;
    QString m_openError;
};

// The engine's message for the last failure on a connection.
QString sqliteMessage(sqlite3* db);
