#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

// A billing database on a PostgreSQL server, named the way libpq names one:
// postgresql://[user[:password]@]host[:port]/dbname[?key=value&…]. A password left
// out of the text is found by libpq itself (PGPASSWORD, ~/.pgpass).
struct PostgresUri {
    QString user;
    QString password;
    QString host; // a name, an address, or a folder holding the server's socket
    int port = 0; // 0: the server's default
    QString database;
    QList<QPair<QString, QString>> options; // connect_timeout, sslmode, …

    // True when the text is meant as a server URI (it may still be malformed).
    static bool isUri(const QString& text);
    // The parts, or nullopt with `problem` saying what is wrong.
    static std::optional<PostgresUri> parse(const QString& text, QString* problem = nullptr);
    // The URI as shown to the operator: never the password.
    static QString shown(const QString& text);
    QString shown() const;
};
