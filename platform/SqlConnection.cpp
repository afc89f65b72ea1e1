#include "platform/SqlConnection.h"

#include "platform/PostgresUri.h"
#include "platform/SqlDialect.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <libpq-fe.h>
#include <poll.h>
#include <sqlite3.h>

namespace {

QString nextConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("ledview-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString describe(const QSqlError& error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text.trimmed();
}

int nativeCode(const QSqlError& error)
{
    return error.nativeErrorCode().toInt();
}

} // namespace

SqlConnection::~SqlConnection()
{
    close();
}

SqlConnection::SqlConnection(SqlConnection&& other) noexcept
    : m_name(std::exchange(other.m_name, QString()))
    , m_path(std::exchange(other.m_path, QString()))
    , m_engine(other.m_engine)
    , m_reconnect(std::exchange(other.m_reconnect, false))
    , m_outcome(std::exchange(other.m_outcome, Outcome()))
{}

SqlConnection& SqlConnection::operator=(SqlConnection&& other) noexcept
{
    if (this != &other) {
        close();
        m_name = std::exchange(other.m_name, QString());
        m_path = std::exchange(other.m_path, QString());
        m_engine = other.m_engine;
        m_reconnect = std::exchange(other.m_reconnect, false);
        m_outcome = std::exchange(other.m_outcome, Outcome());
    }
    return *this;
}

SqlConnection SqlConnection::open(const QString& path, Mode mode, int busyTimeoutMs)
{
    SqlConnection connection;
    connection.m_path = path;
    if (path.isEmpty()) {
        connection.fail(QStringLiteral("No database file was named."));
        return connection;
    }
    if (PostgresUri::isUri(path))
        return openServer(path, busyTimeoutMs);
    const QFileInfo info(path);
    const bool inMemory = path == QLatin1String(":memory:");
    if (mode == Mode::OpenExisting && !inMemory && !info.isFile()) {
        connection.fail(QStringLiteral("The file %1 does not exist.").arg(path));
        return connection;
    }

    const QString name = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        // A URI keeps SQLite from creating a file that should already be there.
        const QString mode_ = mode == Mode::OpenExisting ? QStringLiteral("rw") : QStringLiteral("rwc");
        QUrl uri = QUrl::fromLocalFile(info.absoluteFilePath());
        uri.setQuery(QStringLiteral("mode=") + mode_);
        db.setDatabaseName(inMemory ? path : uri.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
        if (!db.open()) {
            connection.fail(describe(db.lastError()), nativeCode(db.lastError()));
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            return connection;
        }
        SqlDialect::registerOn(nativeHandle(db));
        connection.m_name = name;
    }
    // Opening is lazy in SQLite: read the schema now so a file that is no database
    // fails here, with a message, instead of at the first statement.
    if (!connection.exec(QStringLiteral("select count(*) from sqlite_master"))) {
        Outcome error = connection.m_outcome;
        connection.close();
        connection.m_outcome = error;
    }
    return connection;
}

SqlConnection SqlConnection::openServer(const QString& text, int busyTimeoutMs)
{
    SqlConnection connection;
    connection.m_engine = Engine::Postgres;
    connection.m_path = PostgresUri::shown(text);
    QString problem;
    const std::optional<PostgresUri> uri = PostgresUri::parse(text, &problem);
    if (!uri) {
        connection.fail(QStringLiteral("The server's address %1 cannot be read: %2.").arg(connection.m_path, problem));
        return connection;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        connection.fail(QStringLiteral("Qt's PostgreSQL driver is not installed (Debian package libqt6sql6-psql)."));
        return connection;
    }
    const QString name = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(uri->host);
        if (uri->port > 0)
            db.setPort(uri->port);
        db.setUserName(uri->user);
        if (!uri->password.isEmpty())
            db.setPassword(uri->password);
        db.setDatabaseName(uri->database);
        QStringList options{QStringLiteral("connect_timeout=10"), QStringLiteral("application_name=ledview")};
        for (const auto& [key, value] : uri->options)
            options << key + QLatin1Char('=') + value;
        db.setConnectOptions(options.join(QLatin1Char(';')));
        // Money columns of type numeric arrive as their exact decimal text.
        db.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!db.open()) {
            connection.fail(describe(db.lastError()));
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            return connection;
        }
        connection.m_name = name;
    }
    // A row another clerk holds is waited for as long as a locked file is.
    connection.exec(QStringLiteral("set lock_timeout = %1").arg(busyTimeoutMs));
    return connection;
}

void SqlConnection::fail(const QString& message, int nativeCode)
{
    m_outcome = Outcome::failure(message, m_path, nativeCode);
}

QSqlDatabase SqlConnection::database() const
{
    return m_name.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(m_name, false);
}

sqlite3* SqlConnection::handle() const
{
    return isOpen() ? nativeHandle(database()) : nullptr;
}

sqlite3* SqlConnection::nativeHandle(const QSqlDatabase& db)
{
    if (!db.isValid() || !db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

pg_conn* SqlConnection::serverHandle() const
{
    if (m_engine != Engine::Postgres || !isOpen())
        return nullptr;
    const QSqlDatabase db = database();
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    const QByteArray type = handle.typeName();
    if (!handle.isValid() || !(type == "PGconn*" || type == "pg_conn*"))
        return nullptr;
    return *static_cast<pg_conn* const*>(handle.constData());
}

bool SqlConnection::isIdleOnServer() const
{
    PGconn* connection = serverHandle();
    if (!connection || m_reconnect || PQstatus(connection) != CONNECTION_OK
        || PQtransactionStatus(connection) != PQTRANS_IDLE)
        return false;
    // An idle connection is sent nothing; anything there is a server's goodbye or a hang-up.
    pollfd socket{PQsocket(connection), POLLIN, 0};
    return socket.fd >= 0 && poll(&socket, 1, 0) == 0;
}

bool SqlConnection::run(QSqlQuery& q, const QString& sql, const QVariantList& binds)
{
    if (!isOpen()) {
        fail(QStringLiteral("The database is not open."));
        return false;
    }
    if (m_reconnect) {
        QSqlDatabase db = database();
        db.close();
        if (!db.open()) {
            fail(describe(db.lastError()));
            return false;
        }
        m_reconnect = false;
    }
    bool ok;
    if (binds.isEmpty() && m_engine == Engine::Postgres) {
        // A server cannot prepare every statement (set, create, …); with nothing to
        // bind there is nothing to prepare.
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            for (const QVariant& value : binds)
                q.addBindValue(value);
            ok = q.exec();
        }
    }
    if (ok) {
        m_outcome = Outcome();
        return true;
    }
    fail(describe(q.lastError()), nativeCode(q.lastError()));
    if (m_engine == Engine::Postgres) {
        QSqlQuery probe(database());
        // An aborted transaction refuses even this, but its connection is fine.
        m_reconnect =
            !probe.exec(QStringLiteral("select 1")) && probe.lastError().nativeErrorCode() != QLatin1String("25P02");
    }
    return false;
}

bool SqlConnection::exec(const QString& sql, const QVariantList& binds)
{
    QSqlQuery q(database());
    return run(q, sql, binds);
}

bool SqlConnection::execScript(std::string_view sql)
{
    // The server driver would report only the first statement's result, and a later
    // failure would pass unseen.
    if (m_engine == Engine::Postgres) {
        fail(QStringLiteral("A script of several statements runs only on a database file."));
        return false;
    }
    sqlite3* db = handle();
    if (!db) {
        fail(QStringLiteral("The database is not open."));
        return false;
    }
    const std::string text(sql);
    char* message = nullptr;
    const int code = sqlite3_exec(db, text.c_str(), nullptr, nullptr, &message);
    if (code == SQLITE_OK) {
        m_outcome = Outcome();
        return true;
    }
    fail(QString::fromUtf8(message ? message : sqlite3_errmsg(db)), code);
    sqlite3_free(message);
    return false;
}

QSqlQuery SqlConnection::query(const QString& sql, const QVariantList& binds)
{
    QSqlQuery q(database());
    q.setForwardOnly(true);
    run(q, sql, binds);
    return q;
}

QVariant SqlConnection::scalar(const QString& sql, const QVariantList& binds)
{
    QSqlQuery q = query(sql, binds);
    if (q.isActive() && q.next())
        return q.value(0);
    return {};
}

bool SqlConnection::tableExists(const QString& table)
{
    if (m_engine == Engine::Postgres)
        return scalar(QStringLiteral("select count(*) from information_schema.tables "
                                     "where table_schema = current_schema() and lower(table_name) = lower(?)"),
                      {table})
                   .toInt()
            > 0;
    const QVariant found = scalar(
        QStringLiteral("select count(*) from sqlite_master where type in ('table','view') and lower(name) = lower(?)"),
        {table});
    return found.toInt() > 0;
}

QString SqlConnection::quotedName(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString SqlConnection::sortKey(const QString& column, SortAs as) const
{
    if (m_engine == Engine::Sqlite)
        return column;
    return column
        + (as == SortAs::Text ? QStringLiteral(" collate \"C\" nulls first") : QStringLiteral(" nulls first"));
}

bool SqlConnection::attach(const QString& path, const QString& schema)
{
    return exec(QStringLiteral("attach database ? as ") + schema, {path});
}

bool SqlConnection::detach(const QString& schema)
{
    return exec(QStringLiteral("detach database ") + schema);
}

void SqlConnection::makeScratch()
{
    exec(QStringLiteral("pragma synchronous = off"));
    exec(QStringLiteral("pragma journal_mode = memory"));
}

void SqlConnection::close()
{
    if (m_name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}
