#include "cli/SqliteDb.h"

#include <sqlite3.h>

#include <utility>

QString sqliteMessage(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("no database connection");
}

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql)
{
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_failed = true;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr)), m_failed(other.m_failed)
{
}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_failed = other.m_failed;
    }
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, int64_t value)
{
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, double value)
{
    sqlite3_bind_double(m_stmt, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text)
{
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
    return *this;
}

bool SqliteStatement::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_failed = true;
    return false;
}

bool SqliteStatement::run()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    reset();
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        m_failed = true;
        return false;
    }
    return true;
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int64_t SqliteStatement::columnInt(int index) const
{
    return sqlite3_column_int64(m_stmt, index);
}

double SqliteStatement::columnDouble(int index) const
{
    return sqlite3_column_double(m_stmt, index);
}

QString SqliteStatement::columnText(int index) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, index)) : QString();
}

bool SqliteStatement::columnIsNull(int index) const
{
    return sqlite3_column_type(m_stmt, index) == SQLITE_NULL;
}

SqliteDb::~SqliteDb()
{
    close();
}

SqliteDb::SqliteDb(SqliteDb&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_openError(std::move(other.m_openError))
{
}

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

SqliteStatement SqliteDb::prepare(std::string_view sql)
{
    return SqliteStatement(m_db, sql);
}

QString SqliteDb::lastError() const
{
    return m_db ? sqliteMessage(m_db) : m_openError;
}
