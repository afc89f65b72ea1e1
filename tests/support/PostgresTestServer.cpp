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
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readLine()).trimmed() : QString();
}

} // namespace

PostgresTestServer::PostgresTestServer()
{
    // $LEDVIEW_PG_TEST_DIR, else the folder the build's fixture starts the server in.
    QString dir = qEnvironmentVariable("LEDVIEW_PG_TEST_DIR");
#ifdef LEDVIEW_PG_TEST_DIR
    if (dir.isEmpty())
        dir = QStringLiteral(LEDVIEW_PG_TEST_DIR);
#endif
    const QString socket = firstLine(dir + QStringLiteral("/socket"));
    const int port = firstLine(dir + QStringLiteral("/port")).toInt();
    if (socket.isEmpty() || port <= 0) {
        ADD_FAILURE() << "no test PostgreSQL server runs in " << dir.toStdString()
                      << ". ctest starts it for tests named *Postgres*; by hand: scripts/pg-test-server.sh start "
                      << dir.toStdString() << " (and stop it afterwards)";
        return;
    }
    // Concatenated, not arg()-ed: the encoded folder's "%2F" would be taken for a marker.
    m_server = QStringLiteral("postgresql://postgres@") + QString::fromUtf8(QUrl::toPercentEncoding(socket))
        + QLatin1Char(':') + QString::number(port) + QLatin1Char('/');
    static QAtomicInteger<quint32> counter;
    const QString name = QStringLiteral("ledview_test_%1_%2_%3")
                             .arg(QCoreApplication::applicationPid())
                             .arg(counter.fetchAndAddRelaxed(1))
                             .arg(QRandomGenerator::global()->generate() % 1000000);
    SqlConnection admin = SqlConnection::open(m_server + QStringLiteral("postgres"));
    // CREATE DATABASE cannot be prepared, so it goes as plain text; the name is our own.
    QSqlQuery create(admin.database());
    if (!admin.isOpen())
        ADD_FAILURE() << "the test server in " << dir.toStdString() << " does not answer ("
                      << admin.outcome().message().toStdString() << "); restart it with scripts/pg-test-server.sh";
    else if (!create.exec(QStringLiteral("create database %1").arg(name)))
        ADD_FAILURE() << "the test database could not be created: " << create.lastError().text().toStdString();
    else
        m_database = name;
}

PostgresTestServer::~PostgresTestServer()
{
    if (m_database.isEmpty())
        return;
    // With force: a connection the test left open must not keep its rows alive.
    SqlConnection admin = SqlConnection::open(m_server + QStringLiteral("postgres"));
    if (admin.isOpen())
        QSqlQuery(admin.database()).exec(QStringLiteral("drop database if exists %1 with (force)").arg(m_database));
}
