#include "BenchSuites.h"

#include "app/SqlConnection.h"
#include "cli/DemoSuite.h"

#include <QDir>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

QTemporaryDir& root()
{
    static QTemporaryDir dir;
    return dir;
}

QString writeSuite(const QString& name, int locations, int years)
{
    const QString folder = QDir(root().path()).filePath(name);
    DemoOptions options;
    options.locations = locations;
    options.years = years;
    const DemoSummary summary = DemoSuite::write(folder, options);
    if (!summary.ok())
        throw std::runtime_error(summary.error.toStdString());
    return folder;
}

void run(SqlConnection& db, const QString& sql, const QVariantList& binds = {})
{
    if (!db.exec(sql, binds))
        throw std::runtime_error((sql + QStringLiteral(": ") + db.lastError()).toStdString());
}

// Per eight journal rows: one reading, four charges, two payments, one comment.
void addBigAccount(const QString& folder, int journalRows, int codes)
{
    SqlConnection db = SqlConnection::open(QDir(folder).filePath(QString::fromLatin1(DemoSuite::kBillingFileName)));
    const QVariantList keys{BenchSuites::BigCustomer, BenchSuites::BigLocation};
    run(db, QStringLiteral("begin"));
    run(db, QStringLiteral("insert into [tbl customer] (custkey, accno, lookupname, fname, lname, active, status) "
                           "values (?, 'BIG1', 'BIG ACCOUNT', 'Big', 'Account', -1, 'ACTIVE')"),
        {BenchSuites::BigCustomer});
    run(db, QStringLiteral("insert into [tbl location] (lockey, custkey, ID, locroute, locseq) values (?, ?, 'BIG', 'R9', 1)"),
        {BenchSuites::BigLocation, BenchSuites::BigCustomer});
    const QString numbers = QStringLiteral("with recursive n(i) as (select 0 union all select i + 1 from n where i < ?) ");
    run(db, numbers + QStringLiteral("insert or ignore into [lkup transaction code] (code, description, tgkey) "
                                     "select 'B' || i, 'BENCH CODE ' || i, 1 from n"), {codes - 1});
    const int eighth = std::max(1, journalRows / 8);
    const QString day = QStringLiteral("date('1990-01-01', '+' || (i * 3) || ' days')");
    run(db, numbers + QStringLiteral("insert into [tbl reading] (CustKey, LocKey, Code, BillDate, ReadDate, Previous, "
                                     "Present, Usage, Multiplier) select ?, ?, 'B' || (i % ?), %1, %1, i * 10, "
                                     "i * 10 + 10, 10, 10 from n").arg(day),
        {eighth - 1, BenchSuites::BigCustomer, BenchSuites::BigLocation, codes});
    run(db, numbers + QStringLiteral("insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount, adjusted) "
                                     "select ?, ?, %1, 'B' || (i % ?), 'charge ' || i, (i % 97) + 0.25, 0 from n").arg(day),
        {4 * eighth - 1, BenchSuites::BigCustomer, BenchSuites::BigLocation, codes});
    run(db, numbers + QStringLiteral("insert into [tbl payment detail] (custkey, lockey, date, code, pmttype, docno, amount) "
                                     "select ?, ?, %1, 'B' || (i % ?), 'CHECK', 1000 + i / 2, 40.5 from n").arg(day),
        {2 * eighth - 1, BenchSuites::BigCustomer, BenchSuites::BigLocation, codes});
    run(db, numbers + QStringLiteral("insert into histcomments (custkey, lockey, edate, comment, UserID) "
                                     "select ?, ?, %1, 'comment ' || i, 'CLERK1' from n").arg(day),
        {eighth - 1, BenchSuites::BigCustomer, BenchSuites::BigLocation});
    run(db, numbers + QStringLiteral("insert into [tbl balance] (custkey, lockey, code, totalcharges, totalpaid) "
                                     "select ?, ?, 'B' || i, 100, 50 from n"),
        {codes - 1, BenchSuites::BigCustomer, BenchSuites::BigLocation});
    run(db, QStringLiteral("commit"));
}

} // namespace

namespace BenchSuites {

QString journalSuite(int journalRows, int codes)
{
    static std::map<std::pair<int, int>, QString> made;
    auto& folder = made[{journalRows, codes}];
    if (folder.isEmpty()) {
        folder = writeSuite(QStringLiteral("journal%1").arg(journalRows), 20, 0);
        addBigAccount(folder, journalRows, codes);
    }
    return folder;
}

QString listSuite(int locations)
{
    static std::map<int, QString> made;
    auto& folder = made[locations];
    if (folder.isEmpty())
        folder = writeSuite(QStringLiteral("list%1").arg(locations), locations, 0);
    return folder;
}

} // namespace BenchSuites
