#pragma once

#include "platform/Outcome.h"
#include "platform/SqlConnection.h"

#include <QString>
#include <QVariantList>
#include <memory>

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
    // create table <table> as <select> (bound values) in the scratch.
    bool copy(const QString& table, const QString& select, const QVariantList& binds);
    // An empty table with the columns given ("a, b, c").
    bool createEmpty(const QString& table, const QString& columns);
    // Ends the copy; false (and outcome()) when the scratch could not take it.
    bool commit();

private:
    bool streamInto(const QString& table, const QString& select, const QVariantList& binds);
    bool fail(const Outcome& reason);

    SqlConnection& m_billing;
    SqlConnection m_scratch; // its own connection when the billing database is a server
    QString m_schema; // how statements name the scratch's tables: "work." or ""
    std::unique_ptr<SqlTransaction> m_transaction;
    Outcome m_outcome;
};
