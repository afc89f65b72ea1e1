#include "platform/PostgresCopyIn.h"

#include "platform/SqlConnection.h"

#include <QLocale>
#include <cmath>
#include <libpq-fe.h>

namespace {

// Sent in pieces of about this size: large enough to cut the calls, small enough
// to keep memory flat whatever the table's size.
constexpr qsizetype kSendBytes = 1 << 20;

QString serverMessage(PGconn* connection)
{
    return QString::fromUtf8(PQerrorMessage(connection)).trimmed();
}

} // namespace

PostgresCopyIn::PostgresCopyIn(const SqlConnection& connection, const QString& table, const QStringList& columns)
{
    PGconn* handle = connection.serverHandle();
    if (!handle) {
        fail(QStringLiteral("No server connection to copy into."));
        return;
    }
    const QByteArray sql =
        QStringLiteral("copy %1 (%2) from stdin").arg(table, columns.join(QLatin1String(", "))).toUtf8();
    PGresult* result = PQexec(handle, sql.constData());
    const bool started = PQresultStatus(result) == PGRES_COPY_IN;
    if (!started)
        fail(QString::fromUtf8(PQresultErrorMessage(result)).trimmed());
    PQclear(result);
    if (started)
        m_connection = handle;
    m_buffer.reserve(kSendBytes + 4096);
}

PostgresCopyIn::~PostgresCopyIn()
{
    if (!m_connection)
        return;
    PQputCopyEnd(m_connection, "abandoned");
    while (PGresult* result = PQgetResult(m_connection))
        PQclear(result);
}

void PostgresCopyIn::addRow(const QVariantList& values)
{
    if (!m_connection)
        return;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            m_buffer += '\t';
        append(values[i]);
    }
    m_buffer += '\n';
    if (m_buffer.size() >= kSendBytes)
        send();
}

// COPY's text format: \N is NULL; backslash, tab, newline and return are escaped.
void PostgresCopyIn::append(const QVariant& value)
{
    if (value.isNull()) {
        m_buffer += "\\N";
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong: m_buffer += QByteArray::number(value.toLongLong()); return;
    case QMetaType::Double: {
        const double number = value.toDouble();
        if (std::isnan(number))
            m_buffer += "NaN";
        else if (std::isinf(number))
            m_buffer += number < 0 ? "-Infinity" : "Infinity";
        else
            m_buffer += QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
        return;
    }
    case QMetaType::QByteArray: m_buffer += "\\\\x" + value.toByteArray().toHex(); return;
    default: break;
    }
    const QByteArray text = value.toString().toUtf8();
    for (const char c : text) {
        switch (c) {
        case '\\': m_buffer += "\\\\"; break;
        case '\t': m_buffer += "\\t"; break;
        case '\n': m_buffer += "\\n"; break;
        case '\r': m_buffer += "\\r"; break;
        default: m_buffer += c;
        }
    }
}

bool PostgresCopyIn::send()
{
    if (!m_connection)
        return false;
    if (!m_buffer.isEmpty()
        && PQputCopyData(m_connection, m_buffer.constData(), static_cast<int>(m_buffer.size())) != 1)
        return fail(serverMessage(m_connection));
    m_buffer.clear();
    return true;
}

bool PostgresCopyIn::finish()
{
    if (!m_connection || !send())
        return false;
    PGconn* connection = std::exchange(m_connection, nullptr);
    if (PQputCopyEnd(connection, nullptr) != 1)
        return fail(serverMessage(connection));
    bool ok = true;
    while (PGresult* result = PQgetResult(connection)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK && ok) {
            ok = false;
            m_error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        }
        PQclear(result);
    }
    return ok;
}

bool PostgresCopyIn::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message;
    return false;
}
