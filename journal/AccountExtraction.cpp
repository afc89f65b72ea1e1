#include "journal/AccountExtraction.h"

#include "app/HistoryModule.h"
#include "app/Waits.h"
#include "app/ScratchCopy.h"

#include <QFile>
#include <QFileInfo>

namespace {

struct Copy {
    const char* table;
    const char* source;
    const char* filter; // bound with the keys named in `keys`
    enum Keys { LocationAndCustomer, CustomerOnly, All } keys;
    const char* kind; // what the journal lacks without the source table
    const char* columns; // of the empty stand-in when the source table is missing
};

// Each account table is copied whole-row, as the suite's own tools do, so later
// queries see every column the billing database has.
const Copy copies[] = {
    {"cust", "tbl customer", "custkey = ?", Copy::CustomerOnly, "the customer",
     "custkey, accno, lookupname, fname, mname, lname, CompanyName, phone, addr1, addr2, city, state, zip, active"},
    {"loc", "tbl location", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "the service location",
     "lockey, custkey, ID, addr1, addr2, outdate, locroute, locseq"},
    {"bd", "tbl bill detail", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "charges and adjustments",
     "custkey, lockey, date, code, comment, amount, adjusted"},
    {"mr", "tbl reading", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "meter readings",
     "custkey, lockey, billdate, readdate, code, previous, present, usage, mrcomment, multiplier, chgout"},
    {"pd", "tbl payment detail", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "payments",
     "custkey, lockey, date, code, pmttype, docno, amount"},
    {"dep", "tbl deposit", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "deposits",
     "custkey, lockey, date, code, amount"},
    {"depref", "tbl deposit refund", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "deposit refunds",
     "custkey, lockey, date, code, appliedtobill, returnedtocustomer"},
    {"bal", "tbl balance", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "code balances",
     "custkey, lockey, code, totalcharges, totalpaid"},
    {"hcom", "histcomments", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "history comments",
     "custkey, lockey, edate, comment, UserID"},
    {"ae", "acctedits", "custkey = ?", Copy::CustomerOnly, "account edits",
     "custkey, lockey, chgdate, chgfield, chgfrom, chgto"},
    {"lutc", "lkup transaction code", nullptr, Copy::All, "code descriptions", "code, description"},
};

// Table names with a blank are shown bracketed, as the suite writes them.
QString shownName(const char* source)
{
    const QString name = QString::fromLatin1(source);
    return name.contains(QLatin1Char(' ')) ? QLatin1Char('[') + name + QLatin1Char(']') : name;
}

const char* const drops[] = {"cust", "loc", "bd", "mr", "pd", "dep", "depref", "bal", "hcom", "prejurn", "jurn", "ae"};

} // namespace

const QStringList& AccountExtraction::workTables()
{
    static const QStringList tables = [] {
        QStringList names;
        for (const Copy& copy : copies)
            names << QString::fromLatin1(copy.table);
        return names;
    }();
    return tables;
}

AccountExtraction::Result AccountExtraction::run(HistoryModule& module)
{
    Result result;
    result.outcome = prepareScratch(module);
    if (!result.outcome)
        return result;
    module.CloseWorkDb();
    Waits::ConfiguredDelay(module.DelaySeconds, module.ProgramFolder);
    if (const Outcome opened = module.OpenBillingDb(); !opened) {
        result.outcome = Outcome::cannotOpen(FaultText::BillingDatabase, module.billingName(), opened);
        return result;
    }
    result.outcome = copyAccount(module, result.missing);
    module.CloseBillingDb();
    if (!result.outcome)
        return result;
    if (const Outcome opened = module.OpenWorkDb(); !opened)
        result.outcome = Outcome::cannotOpen(FaultText::WorkDatabase, module.WorkDbPath, opened);
    return result;
}

Outcome AccountExtraction::prepareScratch(HistoryModule& module)
{
    if (!QFileInfo::exists(module.WorkDbPath)) {
        module.WorkDb =
            SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::CreateIfMissing, module.BusyTimeoutMs);
        if (!module.WorkDb.isOpen())
            return Outcome::cannotCreate(FaultText::WorkDatabase, module.WorkDbPath, module.WorkDb.outcome());
        module.WorkDb.makeScratch();
        return {};
    }
    if (const Outcome opened = module.OpenWorkDb(); !opened) {
        // A leftover of a run that was killed mid-write is only scratch: start it afresh.
        if (QFile::remove(module.WorkDbPath))
            return prepareScratch(module);
        return Outcome::cannotOpen(FaultText::WorkDatabase, module.WorkDbPath, opened);
    }
    for (const char* table : drops)
        module.ExecWork(QStringLiteral("drop table ") + QString::fromLatin1(table));
    return {};
}

QString AccountExtraction::missingMessage(const QString& billingDbPath, const QStringList& missing)
{
    QStringList sources;
    QStringList kinds;
    for (const Copy& copy : copies) {
        if (missing.contains(shownName(copy.source))) {
            sources << shownName(copy.source);
            kinds << QString::fromLatin1(copy.kind);
        }
    }
    return QStringLiteral("The billing database ") + billingDbPath + QStringLiteral(" has no table ")
        + sources.join(QStringLiteral(", ")) + QStringLiteral(": the journal is shown without ")
        + kinds.join(QStringLiteral(", ")) + QLatin1Char('.');
}

Outcome AccountExtraction::copyAccount(HistoryModule& module, QStringList& missing)
{
    // lutc is kept from the first load; any other failure (a lock held too long, a
    // damaged file, a full disk, a server gone) stops the load, so a half-copied
    // account never shows as its history.
    const auto failed = [&](const Outcome& reason) {
        return reason.retold(QStringLiteral("The account cannot be copied from the billing database ")
                             + module.billingName() + QStringLiteral(" into the work database ") + module.WorkDbPath
                             + QStringLiteral(": ") + reason.message());
    };
    ScratchCopy scratch(module.BillingDb, module.WorkDbPath);
    if (!scratch.outcome())
        return failed(scratch.outcome());
    const bool haveCodes = scratch.scratchHasTable(QStringLiteral("lutc"));
    for (const Copy& copy : copies) {
        if (haveCodes && copy.keys == Copy::All)
            continue;
        const QString table = QString::fromLatin1(copy.table);
        // A suite without one kind of row still has a journal of all the others.
        if (!scratch.billingHasTable(QString::fromLatin1(copy.source))) {
            missing << shownName(copy.source);
            if (!scratch.createEmpty(table, QString::fromLatin1(copy.columns)))
                return failed(scratch.outcome());
            continue;
        }
        QString sql = QStringLiteral("select * from \"%1\"").arg(QString::fromLatin1(copy.source));
        QVariantList binds;
        if (copy.filter)
            sql += QStringLiteral(" where ") + QString::fromLatin1(copy.filter);
        if (copy.keys == Copy::LocationAndCustomer)
            binds = {module.LocKey, module.CustKey};
        else if (copy.keys == Copy::CustomerOnly)
            binds = {module.CustKey};
        if (!scratch.copy(table, sql, binds))
            return failed(scratch.outcome());
    }
    // The copies reach the work file's disk at the commit: a full disk fails there.
    if (!scratch.commit())
        return failed(scratch.outcome());
    return {};
}
