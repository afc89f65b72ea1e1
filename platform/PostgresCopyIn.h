#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

class SqlConnection;
struct pg_conn;

// Rows streamed into one table of a server database with COPY … FROM STDIN, the
// engine's own bulk path: many times faster than insert statements. Values travel as
// data in COPY's text format, never as SQL text. Runs inside the connection's open
// transaction; nothing else may use the connection until finish().
class PostgresCopyIn {
public:
    // `table` and `columns` are already quoted identifiers.
    PostgresCopyIn(const SqlConnection& connection, const QString& table, const QStringList& columns);
    // An unfinished copy is ended as failed, so the transaction rolls it back.
    ~PostgresCopyIn();
    PostgresCopyIn(const PostgresCopyIn&) = delete;
    PostgresCopyIn& operator=(const PostgresCopyIn&) = delete;

    bool isActive() const { return m_connection != nullptr; }
    // One row, a value per column in order; a null QVariant is NULL.
    void addRow(const QVariantList& values);
    // Sends what is left and ends the copy; false (and error()) when the server refused it.
    bool finish();
    const QString& error() const { return m_error; }

private:
    void append(const QVariant& value);
    bool send();
    bool fail(const QString& message);

    pg_conn* m_connection = nullptr;
    QByteArray m_buffer;
    QString m_error;
};
