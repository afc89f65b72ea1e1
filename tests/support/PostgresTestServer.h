#pragma once

#include <QString>

class SqlConnection;

// A fresh, empty database on the test run's PostgreSQL server, created for one test
// and dropped when it ends, so tests never see each other's rows. ctest starts the
// server for every test whose name contains "Postgres"; without a running server
// the test fails, saying how to start one.
//
//     PostgresTestServer server;
//     ASSERT_TRUE(server.ready());
//     SqlConnection db = SqlConnection::open(server.uri());
class PostgresTestServer {
public:
    PostgresTestServer();
    ~PostgresTestServer();
    PostgresTestServer(const PostgresTestServer&) = delete;
    PostgresTestServer& operator=(const PostgresTestServer&) = delete;

    // False when there is no server or the database could not be made; the test has
    // been failed with the reason already.
    bool ready() const { return !m_database.isEmpty(); }
    // postgresql://postgres@SOCKETFOLDER:PORT/DATABASE
    QString uri() const { return uriOf(m_database); }
    const QString& database() const { return m_database; }
    // The folder the server runs in: $LEDVIEW_PG_TEST_DIR, else the build's own.
    static QString folder();

private:
    QString uriOf(const QString& database) const;
    void fail(const QString& problem);

    QString m_socket;
    int m_port = 0;
    QString m_database;
};
