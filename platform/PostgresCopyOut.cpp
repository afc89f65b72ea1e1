#include "platform/PostgresCopyOut.h"

#include "platform/SqlConnection.h"

#include <libpq-fe.h>
#include <utility>

namespace {

int octal(char c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

int hex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// COPY's text format in place, from `from` to `end`; returns the new end. The server
// writes \\, \b, \f, \n, \r, \t and \v; octal and hex escapes are read as COPY FROM reads them.
char* unescape(char* from, const char* end)
{
    char* to = from;
    while (from < end) {
        if (*from != '\\' || from + 1 == end) {
            *to++ = *from++;
            continue;
        }
        const char c = from[1];
        from += 2;
        switch (c) {
        case 'b': *to++ = '\b'; break;
        case 'f': *to++ = '\f'; break;
        case 'n': *to++ = '\n'; break;
        case 'r': *to++ = '\r'; break;
        case 't': *to++ = '\t'; break;
        case 'v': *to++ = '\v'; break;
        case 'x':
            if (from < end && hex(*from) >= 0) {
                int value = hex(*from++);
                if (from < end && hex(*from) >= 0)
                    value = value * 16 + hex(*from++);
                *to++ = static_cast<char>(value);
            } else {
                *to++ = 'x';
            }
            break;
        default:
            if (octal(c) >= 0) {
                int value = octal(c);
                for (int digits = 1; digits < 3 && from < end && octal(*from) >= 0; ++digits)
                    value = value * 8 + octal(*from++);
                *to++ = static_cast<char>(value);
            } else {
                *to++ = c;
            }
        }
    }
    return to;
}

} // namespace

PostgresCopyOut::PostgresCopyOut(const SqlConnection& connection, const QString& select)
{
    PGconn* handle = connection.serverHandle();
    if (!handle) {
        fail(QStringLiteral("No server connection to copy from."));
        return;
    }
    const QByteArray sql = QStringLiteral("copy (%1) to stdout").arg(select).toUtf8();
    PGresult* result = PQexec(handle, sql.constData());
    if (PQresultStatus(result) == PGRES_COPY_OUT) {
        m_connection = handle;
        m_columns = PQnfields(result);
        m_fields.resize(static_cast<size_t>(m_columns));
    } else {
        const char* message = PQresultErrorMessage(result);
        fail(QString::fromUtf8(message && *message ? message : PQerrorMessage(handle)).trimmed());
    }
    PQclear(result);
}

PostgresCopyOut::~PostgresCopyOut()
{
    finish();
}

bool PostgresCopyOut::next()
{
    if (!m_connection)
        return false;
    PQfreemem(std::exchange(m_row, nullptr));
    const int length = PQgetCopyData(m_connection, &m_row, 0);
    if (length > 0 && split(m_row, length))
        return true;
    if (length > 0)
        fail(QStringLiteral("The server sent a row of the wrong shape."));
    else if (length == -2)
        fail(QString::fromUtf8(PQerrorMessage(m_connection)).trimmed());
    finish();
    return false;
}

// Each field ends at a tab, the row at its newline; a field of \N alone is NULL.
bool PostgresCopyOut::split(char* row, int length)
{
    char* const end = row + length;
    char* start = row;
    for (size_t column = 0; column < m_fields.size(); ++column) {
        char* stop = start;
        bool escaped = false;
        while (stop < end && *stop != '\t' && *stop != '\n') {
            escaped = escaped || *stop == '\\';
            ++stop;
        }
        if (stop == end || (*stop == '\n') != (column + 1 == m_fields.size()))
            return false;
        if (stop - start == 2 && start[0] == '\\' && start[1] == 'N') {
            m_fields[column] = std::string_view();
        } else {
            char* last = escaped ? unescape(start, stop) : stop;
            *last = '\0';
            m_fields[column] = std::string_view(start, static_cast<size_t>(last - start));
        }
        start = stop + 1;
    }
    return start == end;
}

QByteArray PostgresCopyOut::bytes(int column) const
{
    const std::string_view field = text(column);
    if (!field.data())
        return {};
    size_t length = 0;
    unsigned char* decoded = PQunescapeBytea(reinterpret_cast<const unsigned char*>(field.data()), &length);
    if (!decoded)
        return {};
    QByteArray result(reinterpret_cast<const char*>(decoded), static_cast<qsizetype>(length));
    PQfreemem(decoded);
    return result;
}

void PostgresCopyOut::finish()
{
    PQfreemem(std::exchange(m_row, nullptr));
    PGconn* connection = std::exchange(m_connection, nullptr);
    if (!connection)
        return;
    // The rest of a copy cut short has to be read before the connection takes another statement.
    char* rest = nullptr;
    while (PQgetCopyData(connection, &rest, 0) > 0)
        PQfreemem(std::exchange(rest, nullptr));
    while (PGresult* result = PQgetResult(connection)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK)
            fail(QString::fromUtf8(PQresultErrorMessage(result)).trimmed());
        PQclear(result);
    }
}

void PostgresCopyOut::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message.isEmpty() ? QStringLiteral("The server ended the copy without a reason.") : message;
}
