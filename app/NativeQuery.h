#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;
class SqlConnection;

// A statement straight through SQLite's own interface, for the few hot paths where
// Qt's per-value conversions cost more than the query (tens of thousands of rows):
// a read stepped with next(), or a write bound and run once per row.
class NativeQuery {
public:
    NativeQuery(SqlConnection& connection, const char* sql);
    ~NativeQuery();
    NativeQuery(const NativeQuery&) = delete;
    NativeQuery& operator=(const NativeQuery&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    bool next();
    // True once a step failed (next() then ends the rows early).
    bool failed() const { return m_failed; }

    void bindInteger(int index, int64_t value);
    void bindReal(int index, double value);
    void bindNull(int index);
    void bindText(int index, std::string_view utf8);
    // The text is not copied: it must stay put until the statement has run.
    void bindStaticText(int index, std::string_view utf8);
    // Binds the current value of another statement's column, storage class and all.
    void bindValue(int index, const NativeQuery& from, int column);
    // Runs a write and resets it for the next binds; false when it fails.
    bool run();

    bool isNull(int column) const;
    bool isInteger(int column) const;
    QString text(int column) const;
    // The column's UTF-8 bytes, valid until the next step.
    std::string_view utf8(int column) const;
    double real(int column) const;
    int64_t integer(int column) const;
    QVariant value(int column) const;

private:
    sqlite3_stmt* m_statement = nullptr;
    bool m_failed = false;
};
