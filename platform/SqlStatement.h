#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>
#include <cstdint>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;
class SqlConnection;

// A statement straight through SQLite's own interface, for the paths where Qt's
// per-value conversions cost more than the query (tens of thousands of rows, bulk
// writes): prepared once, bound by 1-based index, stepped with next() or run once
// per row with run(). A failed step is kept in failed() and error(), never taken
// for the end of the rows: check failed() after the loop.
class SqlStatement {
public:
    SqlStatement() = default;
    // `rest`, when given, receives what follows the first statement of `sql`.
    SqlStatement(sqlite3* db, std::string_view sql, std::string_view* rest = nullptr);
    SqlStatement(const SqlConnection& connection, std::string_view sql);
    ~SqlStatement();
    SqlStatement(SqlStatement&& other) noexcept;
    SqlStatement& operator=(SqlStatement&& other) noexcept;
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    sqlite3_stmt* handle() const { return m_statement; }

    SqlStatement& bind(int index, int64_t value);
    SqlStatement& bind(int index, int value) { return bind(index, static_cast<int64_t>(value)); }
    SqlStatement& bind(int index, double value);
    SqlStatement& bind(int index, std::string_view utf8);
    SqlStatement& bind(int index, const char* utf8) { return bind(index, std::string_view(utf8)); }
    SqlStatement& bind(int index, const QString& text);
    SqlStatement& bindNull(int index);
    // A value read through Qt (another engine's row): its type picks the storage class;
    // dates become ISO text, as the suite stores them.
    SqlStatement& bind(int index, const QVariant& value);
    // The text is not copied: it must stay put until the statement has run.
    SqlStatement& bindStaticText(int index, std::string_view utf8);
    // The current value of another statement's column, storage class and all.
    SqlStatement& bindValue(int index, const SqlStatement& from, int column);

    // One step: true while a row is there. A failure ends the rows and sets failed().
    bool next();
    // Runs a write, then resets the statement and clears its binds for the next row;
    // false when it fails.
    bool run();
    void reset();
    // True when preparing or a step failed; error() is the engine's message for it.
    bool failed() const { return m_failed; }
    const QString& error() const { return m_error; }
    int errorCode() const { return m_errorCode; }

    int columnCount() const;
    bool isNull(int column) const;
    bool isInteger(int column) const;
    QString text(int column) const;
    // The column's bytes, valid until the next step.
    std::string_view utf8(int column) const;
    QStringView text16(int column) const;
    double real(int column) const;
    int64_t integer(int column) const;
    QVariant value(int column) const;

private:
    void fail(int code);

    sqlite3_stmt* m_statement = nullptr;
    sqlite3* m_db = nullptr;
    bool m_failed = false;
    int m_errorCode = 0;
    QString m_error;
};
