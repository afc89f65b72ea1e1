#pragma once

#include "platform/Outcome.h"
#include "platform/SqlConnection.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>

class SqlStatement;
class SqlTransaction;

// Moves rows of the billing database into new tables of this run's scratch file,
// all or nothing. From a billing file the engine copies across the two files
// itself (the scratch attached); from a server the rows of each select are
// streamed into a prepared insert. Either way the scratch tables get the columns
// and affinities of the source, so later statements see the same values.
class ScratchCopy {
public:
    // `billing` must stay open for the copy's life; `scratchPath` names the scratch file.
    ScratchCopy(SqlConnection& billing, const QString& scratchPath);
    ~ScratchCopy();
    ScratchCopy(const ScratchCopy&) = delete;
    ScratchCopy& operator=(const ScratchCopy&) = delete;

    // Ok once the scratch is reachable and the copy's transaction began.
    const Outcome& outcome() const { return m_outcome; }
    bool billingHasTable(const QString& name);
    bool scratchHasTable(const QString& name);
    struct Rows {
        QString table; // created in the scratch
        QString source; // the billing table
        QString filter; // a where clause with ? for `binds`, or empty
        QVariantList binds;
        // "name type, …": the affinity of the named columns when rows come from a
        // server, whose own types may be wider than the file's (text for mixed columns).
        QString declared;
        // "a, b": the order of the rows, compared as the file's engine compares them;
        // empty: the order they were stored in.
        QString order;
    };
    // The rows as a new table of the scratch.
    bool copy(const Rows& rows);
    // An empty table with the columns given ("a, b, c").
    bool createEmpty(const QString& table, const QString& columns);
    // Ends the copy; false (and outcome()) when the scratch could not take it.
    bool commit();

private:
    struct ServerColumn {
        QString name;
        quint32 type; // the server's type number
    };
    void readCatalogue();
    QString selectFor(const Rows& rows, const QHash<QString, QString>& types) const;
    bool streamInto(const Rows& rows);
    bool copyOut(const Rows& rows, const QString& select, const QList<ServerColumn>& columns);
    bool queryInto(const Rows& rows, const QString& select);
    bool createTable(const QString& table, const QStringList& columns, SqlStatement& insert);
    bool fail(const Outcome& reason);

    SqlConnection& m_billing;
    // Read once per copy: the tables' lower-case names, and each table's columns in order.
    std::optional<QSet<QString>> m_serverTables;
    QHash<QString, QList<ServerColumn>> m_serverColumns;
    SqlConnection m_scratch; // its own connection when the billing database is a server
    QString m_schema; // how statements name the scratch's tables: "work." or ""
    std::unique_ptr<SqlTransaction> m_transaction;
    Outcome m_outcome;
};
