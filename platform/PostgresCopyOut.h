#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>
#include <vector>

class SqlConnection;
struct pg_conn;

// The rows of one select streamed out of a server with COPY … TO STDOUT, the
// engine's own bulk path: one message per row and no conversion per value, where a
// query result costs a result object per row and a QVariant per value. Fields come
// as the text the server writes for them, unescaped. Runs inside the connection's
// open transaction; nothing else may use the connection until the rows are read.
class PostgresCopyOut {
public:
    // `select` is a whole select statement; its values are already in it.
    PostgresCopyOut(const SqlConnection& connection, const QString& select);
    // Rows left unread are read and dropped, so the connection can be used again.
    ~PostgresCopyOut();
    PostgresCopyOut(const PostgresCopyOut&) = delete;
    PostgresCopyOut& operator=(const PostgresCopyOut&) = delete;

    bool isActive() const { return m_connection != nullptr; }
    int columnCount() const { return m_columns; }
    // The next row: true while there is one. Its fields stay valid until the next call.
    bool next();
    bool isNull(int column) const { return m_fields[static_cast<size_t>(column)].data() == nullptr; }
    // The field's text, followed by a zero byte; empty for NULL.
    std::string_view text(int column) const { return m_fields[static_cast<size_t>(column)]; }
    // The field of a bytea column as its bytes.
    QByteArray bytes(int column) const;
    // True when the copy could not start or broke off (a connection lost, a server
    // error): never taken for the end of the rows, so check it after the loop.
    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }

private:
    bool split(char* row, int length);
    void finish();
    void fail(const QString& message);

    pg_conn* m_connection = nullptr;
    char* m_row = nullptr;
    int m_columns = 0;
    std::vector<std::string_view> m_fields;
    QString m_error;
};
