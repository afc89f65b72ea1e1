#include "platform/SqlStatement.h"

#include "platform/SqlConnection.h"

#include <QDateTime>
#include <sqlite3.h>
#include <utility>

SqlStatement::SqlStatement(sqlite3* db, std::string_view sql, std::string_view* rest) : m_db(db)
{
    if (!db) {
        m_failed = true;
        m_errorCode = SQLITE_MISUSE;
        m_error = QStringLiteral("The database is not open.");
        return;
    }
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_statement, &tail);
    if (rest)
        *rest = tail ? sql.substr(static_cast<size_t>(tail - sql.data())) : std::string_view();
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        fail(rc);
    }
}

SqlStatement::SqlStatement(const SqlConnection& connection, std::string_view sql)
    : SqlStatement(connection.handle(), sql)
{}

SqlStatement::~SqlStatement()
{
    sqlite3_finalize(m_statement);
}

SqlStatement::SqlStatement(SqlStatement&& other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr))
    , m_db(other.m_db)
    , m_failed(other.m_failed)
    , m_errorCode(other.m_errorCode)
    , m_error(std::move(other.m_error))
{}

SqlStatement& SqlStatement::operator=(SqlStatement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_statement = std::exchange(other.m_statement, nullptr);
        m_db = other.m_db;
        m_failed = other.m_failed;
        m_errorCode = other.m_errorCode;
        m_error = std::move(other.m_error);
    }
    return *this;
}

void SqlStatement::fail(int code)
{
    m_failed = true;
    m_errorCode = code;
    m_error = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code));
}

SqlStatement& SqlStatement::bind(int index, int64_t value)
{
    sqlite3_bind_int64(m_statement, index, value);
    return *this;
}

SqlStatement& SqlStatement::bind(int index, double value)
{
    sqlite3_bind_double(m_statement, index, value);
    return *this;
}

SqlStatement& SqlStatement::bind(int index, std::string_view utf8)
{
    sqlite3_bind_text(m_statement, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

SqlStatement& SqlStatement::bind(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return bind(index, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

SqlStatement& SqlStatement::bindNull(int index)
{
    sqlite3_bind_null(m_statement, index);
    return *this;
}

SqlStatement& SqlStatement::bind(int index, const QVariant& value)
{
    if (value.isNull())
        return bindNull(index);
    switch (value.typeId()) {
    case QMetaType::Bool: return bind(index, static_cast<int64_t>(value.toBool() ? -1 : 0));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Char: return bind(index, static_cast<int64_t>(value.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float: return bind(index, value.toDouble());
    case QMetaType::QDate: return bind(index, value.toDate().toString(Qt::ISODate));
    case QMetaType::QDateTime: return bind(index, value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(m_statement, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    default: return bind(index, value.toString());
    }
}

SqlStatement& SqlStatement::bindStaticText(int index, std::string_view utf8)
{
    sqlite3_bind_text(m_statement, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC);
    return *this;
}

SqlStatement& SqlStatement::bindValue(int index, const SqlStatement& from, int column)
{
    sqlite3_bind_value(m_statement, index, sqlite3_column_value(from.m_statement, column));
    return *this;
}

bool SqlStatement::next()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        fail(rc);
    return false;
}

bool SqlStatement::run()
{
    if (!m_statement)
        return false;
    const int rc = sqlite3_step(m_statement);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        fail(rc);
    reset();
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

void SqlStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

int SqlStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

bool SqlStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

bool SqlStatement::isInteger(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

std::string_view SqlStatement::utf8(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return data ? std::string_view(data, static_cast<size_t>(sqlite3_column_bytes(m_statement, column)))
                : std::string_view();
}

QStringView SqlStatement::text16(int column) const
{
    const auto* data = static_cast<const char16_t*>(sqlite3_column_text16(m_statement, column));
    return data ? QStringView(data, sqlite3_column_bytes16(m_statement, column) / 2) : QStringView();
}

QString SqlStatement::text(int column) const
{
    const std::string_view bytes = utf8(column);
    return bytes.data() ? QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())) : QString();
}

double SqlStatement::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

int64_t SqlStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QVariant SqlStatement::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QVariant::fromValue<qlonglong>(integer(column));
    case SQLITE_FLOAT: return real(column);
    default: return text(column);
    }
}
