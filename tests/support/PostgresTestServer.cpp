#include "support/PostgresTestServer.h"

#include "platform/SqlConnection.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

QString firstLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

// CREATE and DROP DATABASE cannot be prepared, so they go to the server as plain text;
// the name is our own ([a-z0-9_]), never anyone's input.
bool runPlain(SqlConnection& admin, const QString& sql, QString* problem = nullptr)
{
    QSqlQuery query(admin.database());
    if (query.exec(sql))
        return true;
    if (problem)
        *problem = query.lastError().text();
    return false;
}

} // namespace

QString PostgresTestServer::folder()
{
    const QString fromEnvironment = qEnvironmentVariable("LEDVIEW_PG_TEST_DIR");
#ifdef LEDVIEW_PG_TEST_DIR
    return fromEnvironment.isEmpty() ? QStringLiteral(LEDVIEW_PG_TEST_DIR) : fromEnvironment;
#else
    return fromEnvironment;
#endif
}

PostgresTestServer::PostgresTestServer()
{
    const QString dir = folder();
    m_socket = firstLine(dir + QStringLiteral("/socket"));
    m_port = firstLine(dir + QStringLiteral("/port")).toInt();
    if (m_socket.isEmpty() || m_port <= 0) {
        fail(QStringLiteral("no test PostgreSQL server runs in %1. ctest starts it for tests named *Postgres*; "
                            "by hand: scripts/pg-test-server.sh start %1 (and stop %1 afterwards)")
                 .arg(dir));
        return;
    }
    static QAtomicInteger<quint32> counter;
    const QString name = QStringLiteral("ledview_test_%1_%2_%3")
                             .arg(QCoreApplication::applicationPid())
                             .arg(counter.fetchAndAddRelaxed(1))
                             .arg(QRandomGenerator::global()->generate() % 1000000);
    SqlConnection admin = SqlConnection::open(uriOf(QStringLiteral("postgres")));
    if (!admin.isOpen()) {
        fail(QStringLiteral("the test server in %1 does not answer: %2 (restart it with scripts/pg-test-server.sh "
                            "start %1)")
                 .arg(dir, admin.outcome().message()));
        return;
    }
    QString problem;
    if (!runPlain(admin, QStringLiteral("create database %1").arg(name), &problem)) {
        fail(QStringLiteral("the test database could not be created: %1").arg(problem));
        return;
    }
    m_database = name;
}

PostgresTestServer::~PostgresTestServer()
{
    if (m_database.isEmpty())
        return;
    SqlConnection admin = SqlConnection::open(uriOf(QStringLiteral("postgres")));
    // A connection the test left open must not keep its rows alive.
    if (admin.isOpen())
        runPlain(admin, QStringLiteral("drop database if exists %1 with (force)").arg(m_database));
}

QString PostgresTestServer::uriOf(const QString& database) const
{
    // Concatenated, not arg()-ed: the encoded folder's "%2F" would be taken for a marker.
    return QStringLiteral("postgresql://postgres@") + QString::fromUtf8(QUrl::toPercentEncoding(m_socket))
        + QLatin1Char(':') + QString::number(m_port) + QLatin1Char('/') + database;
}

void PostgresTestServer::fail(const QString& problem)
{
    ADD_FAILURE() << problem.toStdString();
}
