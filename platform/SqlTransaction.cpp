#include "platform/SqlTransaction.h"

#include "platform/SqlConnection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

SqlTransaction::SqlTransaction(sqlite3* db, Kind kind) : m_db(db), m_kind(kind)
{
    begin();
}

SqlTransaction::SqlTransaction(const SqlConnection& connection, Kind kind) : m_db(connection.handle()), m_kind(kind)
{
    if (connection.engine() == SqlConnection::Engine::Postgres)
        m_server = connection.database();
    begin();
}

void SqlTransaction::begin()
{
    switch (m_kind) {
    case Kind::Deferred: m_active = run("begin"); break;
    // A server takes its row locks as it writes; there is no immediate mode to ask for.
    case Kind::Immediate: m_active = run(m_server.isValid() ? "begin" : "begin immediate"); break;
    case Kind::Nested: m_active = run("savepoint nested"); break;
    }
}

SqlTransaction::~SqlTransaction()
{
    rollback();
}

bool SqlTransaction::run(const char* sql)
{
    if (m_server.isValid()) {
        QSqlQuery q(m_server);
        if (q.exec(QString::fromLatin1(sql)))
            return true;
        m_error = q.lastError().databaseText().trimmed();
        if (m_error.isEmpty())
            m_error = q.lastError().text();
        return false;
    }
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
    if (m_server.isValid()) {
        run(m_kind == Kind::Nested ? "rollback to savepoint nested" : "rollback");
        if (m_kind == Kind::Nested)
            run("release savepoint nested");
        return;
    }
    if (m_kind == Kind::Nested) {
        sqlite3_exec(m_db, "rollback to nested; release nested", nullptr, nullptr, nullptr);
        return;
    }
    // Some failures (a full disk, an I/O error) have already ended the transaction.
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
}
