#include "demosuite/SqliteDb.h"

#include <sqlite3.h>

#include <utility>

QString sqliteMessage(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("no database connection");
}

SqliteDb::~SqliteDb()
{
    close();
}

SqliteDb::SqliteDb(SqliteDb&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_openError(std::move(other.m_openError))
{}

SqliteDb& SqliteDb::operator=(SqliteDb&& other) noexcept
{
    if (this != &other) {
        close();
        m_db = std::exchange(other.m_db, nullptr);
        m_openError = std::move(other.m_openError);
    }
    return *this;
}

bool SqliteDb::open(const QString& path, bool create)
{
    close();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        m_openError = QStringLiteral("%1: %2").arg(path, sqliteMessage(db));
        sqlite3_close(db);
        return false;
    }
    // Another suite program may hold the file for a moment: wait rather than fail.
    sqlite3_busy_timeout(db, 5000);
    m_db = db;
    m_openError.clear();
    return true;
}

void SqliteDb::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool SqliteDb::exec(std::string_view sql)
{
    const std::string text(sql);
    return m_db && sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

SqlStatement SqliteDb::prepare(std::string_view sql)
{
    return SqlStatement(m_db, sql);
}

QString SqliteDb::lastError() const
{
    return m_db ? sqliteMessage(m_db) : m_openError;
}
