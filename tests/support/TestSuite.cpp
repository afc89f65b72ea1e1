#include "support/TestSuite.h"

#include "demosuite/BillingSchema.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

TestSuite::TestSuite()
{
    m_billing = SqlConnection::open(billingPath(), SqlConnection::Mode::CreateIfMissing);
    // A throw-away file: waiting for the disk after every row the test adds buys nothing.
    m_billing.exec(QStringLiteral("pragma synchronous = off"));
    const Outcome created = BillingSchema::create(m_billing);
    EXPECT_TRUE(created) << created.message().toStdString();
    SqlConnection global =
        SqlConnection::open(filePath(QStringLiteral("global.mdb")), SqlConnection::Mode::CreateIfMissing);
    const Outcome configured = BillingSchema::createGlobal(global);
    EXPECT_TRUE(configured) << configured.message().toStdString();
    EXPECT_TRUE(global.exec(
        QStringLiteral("insert into current (databasepath, DatabaseFileName, CompanyName) values (?, ?, ?)"),
        {folder(), QStringLiteral("billing.mdb"), QStringLiteral("TEST UTILITY")}));
    writeFile(QStringLiteral("tuid.txt"), "CLERK1\r\n");
}

QString TestSuite::billingPath() const
{
    return filePath(QStringLiteral("billing.mdb"));
}

QString TestSuite::filePath(const QString& name) const
{
    return QDir(folder()).filePath(name);
}

void TestSuite::insert(const QString& table, const Row& row)
{
    QStringList names;
    QVariantList values;
    for (const auto& [name, value] : row) {
        names << name;
        values << value;
    }
    const QString marks = QStringList(names.size(), QStringLiteral("?")).join(',');
    exec(QStringLiteral("insert into %1 (%2) values (%3)").arg(table, names.join(','), marks), values);
}

void TestSuite::exec(const QString& sql, const QVariantList& binds)
{
    EXPECT_TRUE(m_billing.exec(sql, binds)) << sql.toStdString() << ": " << m_billing.outcome().message().toStdString();
}

void TestSuite::writeFile(const QString& name, const QByteArray& contents) const
{
    QFile file(filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

QByteArray TestSuite::readFile(const QString& name) const
{
    QFile file(filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestSuite::prepare(HistoryModule& module, int custKey, int locKey) const
{
    module.ProgramFolder = folder();
    module.BillingDbPath = billingPath();
    module.WorkDbPath = filePath(QStringLiteral("ledview120000.mdb"));
    module.CompanyTitle = QStringLiteral("TEST UTILITY");
    module.UserId = QStringLiteral("CLERK1");
    module.CustKey = custKey;
    module.LocKey = locKey;
    // Tests that hold a lock wait this long, not the program's seconds.
    module.BusyTimeoutMs = 200;
}

void TestSuite::addCodes()
{
    exec("insert into [lkup transaction code] (code, description, tgkey)"
         " values ('WA', 'WATER', 1), ('SW', 'SEWER', 2), ('DP', 'DEPOSIT', 10)");
}

void TestSuite::addAccount(int custKey, int locKey, bool active)
{
    exec(
        "insert into [tbl customer] (custkey, accno, lookupname, fname, lname, addr1, city, state, zip, active, status)"
        " values (?, ?, 'SMITH JOHN', 'John', 'Smith', '12 Oak St', 'Springfield', 'IL', '62701', ?, ?)",
        {custKey, QStringLiteral("A%1").arg(custKey), active ? -1 : 0, active ? "ACTIVE" : "INACTIVE"});
    exec("insert into [tbl location] (lockey, custkey, ID, addr1, locroute, locseq) values (?, ?, ?, '12 Oak St', "
         "'R1', 10)",
         {locKey, custKey, QStringLiteral("L%1").arg(locKey)});
}
