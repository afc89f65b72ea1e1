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
    return m_statement && sqlite3_step(m_statement) == SQLITE_ROW;
}

bool NativeQuery::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
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
