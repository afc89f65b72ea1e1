#pragma once

#include "platform/Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class SqlConnection;

// Moves a suite's billing file onto a PostgreSQL database: every table, schema and
// rows, in one server transaction, then the row counts and the exact money sums of
// both sides compared before the commit, so the server keeps all of it or none.
// Names become lower case, so the program's SQL reads both engines alike.
class BillingCopy {
public:
    struct MoneySum {
        QString column;
        QString source; // "#0.00", exact (no accumulated doubles)
        QString copied;
    };
    struct TableCheck {
        QString table;
        qint64 sourceRows = 0;
        qint64 copiedRows = 0;
        QList<MoneySum> sums; // one per REAL column
        bool same() const;
    };
    struct Report {
        QList<TableCheck> tables;
        // "table.column": number columns holding text (or mixed kinds), kept as text
        // so that no value is lost.
        QStringList textColumns;
        QStringList notes; // what the server does not get (views, other defaults)
        qint64 rows = 0;
        qint64 milliseconds = 0;
        bool same() const;
    };
    // A line on each table copied, for a long copy's operator.
    using Progress = std::function<void(const QString&)>;

    // `source` is a billing file, `destination` a server database; both open.
    BillingCopy(SqlConnection& source, SqlConnection& destination);

    // Drop and recreate tables that already exist on the server, instead of refusing.
    void setReplace(bool replace) { m_replace = replace; }
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // The copy; on failure nothing was kept on the server and the message says why.
    // The report is filled as far as the copy came (a mismatch shows in it).
    Outcome run();
    const Report& report() const { return m_report; }

    // Names the server's database as the suite's billing database in global.mdb
    // (current.databasepath; DatabaseFileName is left as it is).
    static Outcome repoint(const QString& suiteFolder, const QString& uri);

private:
    struct Column;
    struct Table;

    Outcome readSchema(QList<Table>& tables);
    Outcome profile(Table& table);
    Outcome refuseExisting(const QList<Table>& tables);
    Outcome createTable(const Table& table);
    Outcome copyRows(const Table& table, TableCheck& check);
    Outcome checkCopy(const Table& table, TableCheck& check);
    Outcome finishTable(const Table& table);
    Outcome serverExec(const QString& sql, const QVariantList& binds = {});

    SqlConnection& m_source;
    SqlConnection& m_destination;
    bool m_replace = false;
    Progress m_progress;
    Report m_report;
};
