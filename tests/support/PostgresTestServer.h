#pragma once

#include <QString>

// A fresh, empty database on the test run's PostgreSQL server, created for one test and
// dropped when it ends. ctest starts the server for every test whose name contains
// "Postgres"; without a running server ready() is false and the test has failed saying why.
class PostgresTestServer {
public:
    PostgresTestServer();
    ~PostgresTestServer();
    PostgresTestServer(const PostgresTestServer&) = delete;
    PostgresTestServer& operator=(const PostgresTestServer&) = delete;

    bool ready() const { return !m_database.isEmpty(); }
    // postgresql://postgres@SOCKETFOLDER:PORT/DATABASE
    QString uri() const { return m_server + m_database; }
    const QString& database() const { return m_database; }

private:
    QString m_server;
    QString m_database;
};
