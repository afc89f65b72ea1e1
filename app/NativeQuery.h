#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;
class SqlConnection;

// A read straight through SQLite's own interface, for the few hot reads where
// Qt's per-value conversions cost more than the query (tens of thousands of rows).
class NativeQuery {
public:
    NativeQuery(SqlConnection& connection, const char* sql);
    ~NativeQuery();
    NativeQuery(const NativeQuery&) = delete;
    NativeQuery& operator=(const NativeQuery&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    bool next();
    bool isNull(int column) const;
    QString text(int column) const;
    double real(int column) const;
    int64_t integer(int column) const;
    QVariant value(int column) const;

private:
    sqlite3_stmt* m_statement = nullptr;
};
