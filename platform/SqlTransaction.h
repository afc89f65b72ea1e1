#pragma once

#include <QSqlDatabase>
#include <QString>

struct sqlite3;
class SqlConnection;

// A transaction for the life of a scope: begun by the constructor, rolled back by
// the destructor unless commit() succeeded, so an early return or a failed write
// never leaves half a change behind. Nested opens a savepoint inside the caller's
// transaction, undone on its own.
class SqlTransaction {
public:
    enum class Kind { Deferred, Immediate, Nested };

    explicit SqlTransaction(sqlite3* db, Kind kind = Kind::Deferred);
    explicit SqlTransaction(const SqlConnection& connection, Kind kind = Kind::Deferred);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    // False when the begin failed (error() says why); nothing is undone then.
    bool isActive() const { return m_active; }
    // False (and error()) when the commit failed; the destructor then rolls back.
    bool commit();
    void rollback();
    const QString& error() const { return m_error; }

private:
    void begin();
    bool run(const char* sql);

    sqlite3* m_db = nullptr;
    QSqlDatabase m_server; // a server connection, when there is no SQLite handle
    Kind m_kind;
    bool m_active = false;
    QString m_error;
};
