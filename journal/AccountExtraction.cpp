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
    // The suite's columns with their declared types: the empty stand-in when the source
    // table is missing, and the types rows from a server are stored with, so a value
    // lands in the scratch as it would from the file (a number typed as text becomes
    // a number again).
    const char* columns;
    // The order rows of one kind keep among themselves (the journal's ties follow it);
    // none: the order they were stored in.
    const char* order = nullptr;
};

// Each account table is copied whole-row, as the suite's own tools do, so later
// queries see every column the billing database has.
const Copy copies[] = {
    {"cust", "tbl customer", "custkey = ?", Copy::CustomerOnly, "the customer",
     "custkey integer, accno text, lookupname text, fname text, mname text, lname text, CompanyName text, "
     "phone text, addr1 text, addr2 text, city text, state text, zip text, active integer"},
    {"loc", "tbl location", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "the service location",
     "lockey integer, custkey integer, ID text, addr1 text, addr2 text, outdate text, locroute text, locseq integer"},
    {"bd", "tbl bill detail", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "charges and adjustments",
     "custkey integer, lockey integer, date text, code text, comment text, amount real, adjusted integer"},
    {"mr", "tbl reading", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "meter readings",
     "custkey integer, lockey integer, billdate text, readdate text, code text, previous numeric, "
     "present numeric, usage numeric, mrcomment text, multiplier numeric, chgout integer",
     "BillDate, ReadingKey"},
    {"pd", "tbl payment detail", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "payments",
     "custkey integer, lockey integer, date text, code text, pmttype text, docno text, amount real"},
    {"dep", "tbl deposit", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "deposits",
     "custkey integer, lockey integer, date text, code text, amount real"},
    {"depref", "tbl deposit refund", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "deposit refunds",
     "custkey integer, lockey integer, date text, code text, appliedtobill real, returnedtocustomer real"},
    {"bal", "tbl balance", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "code balances",
     "custkey integer, lockey integer, code text, totalcharges real, totalpaid real", "code"},
    {"hcom", "histcomments", "lockey = ? and custkey = ?", Copy::LocationAndCustomer, "history comments",
     "custkey integer, lockey integer, edate text, comment text, UserID text"},
    {"ae", "acctedits", "custkey = ?", Copy::CustomerOnly, "account edits",
     "custkey integer, lockey integer, chgdate text, chgfield text, chgfrom text, chgto text"},
    {"lutc", "lkup transaction code", nullptr, Copy::All, "code descriptions", "code text, description text"},
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
        return Outcome::failedIn(
            QStringLiteral("The account cannot be copied from"), QStringLiteral("the billing database"),
            module.billingName() + QStringLiteral(" into the work database ") + module.WorkDbPath, reason);
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
        QString filter = copy.filter ? QString::fromLatin1(copy.filter) : QString();
        QVariantList binds;
        if (copy.keys == Copy::LocationAndCustomer)
            binds = {module.LocKey, module.CustKey};
        else if (copy.keys == Copy::CustomerOnly)
            binds = {module.CustKey};
        if (!scratch.copy({table, QString::fromLatin1(copy.source), filter, binds, QString::fromLatin1(copy.columns),
                           QString::fromLatin1(copy.order)}))
            return failed(scratch.outcome());
    }
    // The copies reach the work file's disk at the commit: a full disk fails there.
    if (!scratch.commit())
        return failed(scratch.outcome());
    return {};
}
