#pragma once

#include "app/HistoryModule.h"
#include "platform/SqlConnection.h"

#include <QTemporaryDir>
#include <QVariant>
#include <utility>
#include <vector>

using Row = std::vector<std::pair<QString, QVariant>>;

// A throw-away suite folder for one test: global.mdb naming an empty billing
// database with every table of the suite, and tuid.txt. Rows are added explicitly.
class TestSuite {
public:
    TestSuite();

    QString folder() const { return m_dir.path(); }
    QString billingPath() const;
    QString filePath(const QString& name) const;
    SqlConnection& billing() { return m_billing; }

    // Adds one row; column names are the test's own literals, values are bound.
    void insert(const QString& table, const Row& row);
    void exec(const QString& sql, const QVariantList& binds = {});
    void writeFile(const QString& name, const QByteArray& contents) const;
    QByteArray readFile(const QString& name) const;

    // A module state as Main leaves it, for the given account.
    void prepare(HistoryModule& module, int custKey = 0, int locKey = 0) const;

    // A typical account: customer 1 / location 10, active, occupied, with codes.
    void addAccount(int custKey, int locKey, bool active = true);
    void addCodes();

private:
    QTemporaryDir m_dir;
    SqlConnection m_billing;
};
