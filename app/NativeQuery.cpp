#include "app/NativeQuery.h"

#include "app/SqlConnection.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace {

sqlite3* handleOf(const SqlConnection& connection)
{
    if (!connection.isOpen())
        return nullptr;
    const QVariant handle = connection.database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

} // namespace

NativeQuery::NativeQuery(SqlConnection& connection, const char* sql)
{
    if (sqlite3* db = handleOf(connection)) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
            sqlite3_finalize(m_statement);
            m_statement = nullptr;
        }
    }
}

NativeQuery::~NativeQuery()
{
    sqlite3_finalize(m_statement);
}

bool NativeQuery::next()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        m_failed = true;
    return rc == SQLITE_ROW;
}

void NativeQuery::bindInteger(int index, int64_t value)
{
    sqlite3_bind_int64(m_statement, index, value);
}

void NativeQuery::bindReal(int index, double value)
{
    sqlite3_bind_double(m_statement, index, value);
}

void NativeQuery::bindNull(int index)
{
    sqlite3_bind_null(m_statement, index);
}

void NativeQuery::bindStaticText(int index, std::string_view utf8)
{
    sqlite3_bind_text(m_statement, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC);
}

void NativeQuery::bindText(int index, std::string_view utf8)
{
    sqlite3_bind_text(m_statement, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void NativeQuery::bindValue(int index, const NativeQuery& from, int column)
{
    sqlite3_bind_value(m_statement, index, sqlite3_column_value(from.m_statement, column));
}

bool NativeQuery::run()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        m_failed = true;
    return !m_failed;
}

bool NativeQuery::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

bool NativeQuery::isInteger(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

std::string_view NativeQuery::utf8(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return data ? std::string_view(data, static_cast<size_t>(sqlite3_column_bytes(m_statement, column)))
                : std::string_view();
}

QString NativeQuery::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column)) : QString();
}

double NativeQuery::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

int64_t NativeQuery::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QVariant NativeQuery::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QVariant::fromValue<qlonglong>(integer(column));
    case SQLITE_FLOAT: return real(column);
    default: return text(column);
    }
}
