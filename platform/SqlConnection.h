#pragma once

#include "platform/Outcome.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <string_view>

struct sqlite3;
struct pg_conn;

// An owned connection to one SQLite file with the suite's dialect registered, or
// to a PostgreSQL database named by a postgresql:// URI (the billing database of a
// suite kept on a server). Closing (or destruction) removes the Qt connection, so
// handles never outlive the action that opened them.
class SqlConnection {
public:
    enum class Mode { OpenExisting, CreateIfMissing };
    enum class Engine { Sqlite, Postgres };
    // How long a statement waits for another program's lock before it fails as locked.
    static constexpr int DefaultBusyTimeoutMs = 5000;

    SqlConnection() = default;
    ~SqlConnection();
    SqlConnection(SqlConnection&& other) noexcept;
    SqlConnection& operator=(SqlConnection&& other) noexcept;
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    // Opens the file, or the server's database when `path` is a postgresql:// URI,
    // or a private database in memory for ":memory:"; OpenExisting fails (never
    // creates) when the file is missing. On failure isOpen() is false and outcome() says why.
    static SqlConnection open(const QString& path, Mode mode = Mode::OpenExisting,
                              int busyTimeoutMs = DefaultBusyTimeoutMs);

    bool isOpen() const { return !m_name.isEmpty(); }
    Engine engine() const { return m_engine; }
    // The file, or the server's URI without its password: the name messages use.
    const QString& path() const { return m_path; }
    // The last open or statement: ok, or the engine's message and code.
    const Outcome& outcome() const { return m_outcome; }
    QSqlDatabase database() const;
    // The engine's own handle, for SqlStatement and the dialect; null when closed
    // or on a server.
    sqlite3* handle() const;
    static sqlite3* nativeHandle(const QSqlDatabase& db);
    // The server connection's libpq handle, for the bulk copies; null when closed or
    // on a file.
    pg_conn* serverHandle() const;
    // A server connection that is up, outside any transaction and with nothing unread
    // from the server (a server that ended it has said so by now): fit for the next
    // action as it is. False on a file.
    bool isIdleOnServer() const;

    // Runs one statement with bound values; false (and outcome()) when it fails.
    bool exec(const QString& sql, const QVariantList& binds = {});
    // Runs statements separated by semicolons, without values (a schema script), on
    // a file; false (and outcome()) at the first that fails, and always on a server.
    bool execScript(std::string_view sql);
    // A forward-only query, already executed; check isActive() / outcome().
    QSqlQuery query(const QString& sql, const QVariantList& binds = {});
    // The first column of the first row, or a null QVariant.
    QVariant scalar(const QString& sql, const QVariantList& binds = {});
    bool tableExists(const QString& table);
    // An ORDER BY term that sorts as SQLite does on either engine: text by its bytes,
    // nulls first.
    enum class SortAs { Text, Number };
    QString sortKey(const QString& column, SortAs as) const;
    // A name written so either engine reads it as given ("tbl reading").
    static QString quotedName(const QString& name);
    // ATTACH another file under a schema name (bound path: any file name is safe).
    bool attach(const QString& path, const QString& schema);
    bool detach(const QString& schema);

    // Pragmas for a disposable scratch file: no fsync, journal kept in memory.
    void makeScratch();
    void close();

private:
    static SqlConnection openServer(const QString& uri, int busyTimeoutMs);
    bool run(QSqlQuery& query, const QString& sql, const QVariantList& binds);

    QString m_name;
    QString m_path;
    Engine m_engine = Engine::Sqlite;
    // A server connection that broke is opened afresh by the next statement, so an
    // action fails while the server is away and works again once it is back.
    bool m_reconnect = false;
    void fail(const QString& message, int nativeCode = 0);

    Outcome m_outcome;
};
