#include "platform/SqlTransaction.h"

#include "platform/SqlConnection.h"

#include <sqlite3.h>

SqlTransaction::SqlTransaction(sqlite3* db, Kind kind) : m_db(db), m_kind(kind)
{
    switch (kind) {
    case Kind::Deferred: m_active = run("begin"); break;
    case Kind::Immediate: m_active = run("begin immediate"); break;
    case Kind::Nested: m_active = run("savepoint nested"); break;
    }
}

SqlTransaction::SqlTransaction(const SqlConnection& connection, Kind kind) : SqlTransaction(connection.handle(), kind)
{}

SqlTransaction::~SqlTransaction()
{
    rollback();
}

bool SqlTransaction::run(const char* sql)
{
    if (!m_db) {
        m_error = QStringLiteral("The database is not open.");
        return false;
    }
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}

bool SqlTransaction::commit()
{
    if (!m_active) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("No transaction is open.");
        return false;
    }
    if (!run(m_kind == Kind::Nested ? "release nested" : "commit"))
        return false;
    m_active = false;
    return true;
}

void SqlTransaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    if (m_kind == Kind::Nested) {
        sqlite3_exec(m_db, "rollback to nested; release nested", nullptr, nullptr, nullptr);
        return;
    }
    // Some failures (a full disk, an I/O error) have already ended the transaction.
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
}
