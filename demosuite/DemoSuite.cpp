#include "demosuite/DemoSuite.h"

#include "demosuite/BillingSchema.h"
#include "demosuite/DemoAccounts.h"
#include "demosuite/DemoBigJournal.h"
#include "demosuite/DemoHistory.h"
#include "demosuite/DemoRows.h"
#include "platform/SqlConnection.h"
#include "platform/SqlTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

Outcome writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return Outcome::failure(QStringLiteral("%1: %2").arg(path, file.errorString()), path);
    return {};
}

QByteArray shellQuoted(const QString& text)
{
    QByteArray quoted = text.toUtf8();
    quoted.replace("'", "'\\''");
    return "'" + quoted + "'";
}

// The suite's meter-entry program is started as "entmeter cor" from the suite
// folder; this stand-in hands the request to ledview-cli.
Outcome writeEntmeter(const QString& folder, const QString& cliProgram)
{
    const QByteArray fallback = cliProgram.isEmpty() ? QByteArray("ledview-cli") : shellQuoted(cliProgram);
    const QByteArray script = "#!/bin/sh\n"
                              "# Stand-in for the suite's meter-entry program: computes the bill named in\n"
                              "# CompOneRdg.ini and then creates componerdgdone.ini.\n"
                              "dir=$(cd \"$(dirname \"$0\")\" && pwd) || exit 1\n"
                              "if [ \"$1\" != \"cor\" ]; then\n"
                              "  echo \"usage: entmeter cor\" >&2\n"
                              "  exit 2\n"
                              "fi\n"
                              "recorded="
        + fallback
        + "\n"
          "exec \"${LEDVIEW_CLI:-$recorded}\" --home \"$dir\" entmeter-stand-in\n";
    const QString path = QDir(folder).filePath(QStringLiteral("entmeter"));
    if (const Outcome written = writeFile(path, script); !written)
        return written;
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    return {};
}

Outcome writeGlobal(const QString& folder)
{
    SqlConnection db =
        SqlConnection::open(QDir(folder).filePath(QStringLiteral("global.mdb")), SqlConnection::Mode::CreateIfMissing);
    if (!db.isOpen())
        return db.outcome();
    if (const Outcome created = BillingSchema::createGlobal(db); !created)
        return created;
    db.exec(QStringLiteral("insert into current (databasepath, DatabaseFileName, CompanyName) values (?, ?, ?)"),
            {QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), QString::fromLatin1(DemoSuite::kBillingFileName),
             QString::fromLatin1(DemoSuite::kCompanyName)});
    return db.outcome();
}

Outcome writeReportDatabase(const QString& folder)
{
    if (!QDir(folder).mkpath(QStringLiteral("reports")))
        return Outcome::failure(QStringLiteral("%1: cannot create the reports folder").arg(folder), folder);
    SqlConnection db = SqlConnection::open(
        QDir(folder).filePath(QStringLiteral("reports/emptdata.mdb")), SqlConnection::Mode::CreateIfMissing);
    if (db.isOpen())
        db.exec(QStringLiteral(
            "create table MRGrid (MRDate date, BDate date, Code text, Prev text, Pres text, Used double, MSN text)"));
    return db.outcome();
}

void writeTransactionCodes(DemoRows& rows)
{
    for (int code = 0; code < DemoCodes::Count; ++code) {
        const auto& info = DemoCodes::info(code);
        rows.transactionCode(info.code, info.description, info.tgkey);
    }
}

// Keys follow the generated ones, so the accounts are the same for a seed and size.
bool writeBigJournals(const SqlConnection& db, const DemoOptions& options, DemoSummary& summary)
{
    for (size_t i = 0; i < options.bigJournals.size(); ++i) {
        DemoBigJournal journal;
        journal.custkey = summary.customers + 1 + static_cast<int64_t>(i);
        journal.lockey = summary.locations + 1 + static_cast<int64_t>(i);
        journal.journalRows = options.bigJournals[i];
        journal.codes = options.bigJournalCodes;
        journal.seed = options.seed;
        if (const Outcome written = journal.write(db, summary.rows); !written) {
            summary.outcome = written;
            return false;
        }
        summary.bigAccounts << journal.key();
    }
    return true;
}

bool writeBilling(const QString& path, const DemoOptions& options, DemoSummary& summary)
{
    SqlConnection db = SqlConnection::open(path, SqlConnection::Mode::CreateIfMissing);
    // A demo file is rebuilt from scratch when anything fails, so durability
    // during the bulk write buys nothing.
    if (!db.isOpen() || !db.execScript("pragma journal_mode=off; pragma synchronous=off; pragma cache_size=-65536")) {
        summary.outcome = db.outcome();
        return false;
    }
    if (const Outcome created = BillingSchema::createTables(db); !created) {
        summary.outcome = created;
        return false;
    }
    SqlTransaction transaction(db);
    {
        DemoRows rows(db);
        writeTransactionCodes(rows);
        DemoAccounts accounts(rows, options.seed, options.locations, options.years);
        accounts.writeAll();
        if (!rows.error().isEmpty()) {
            summary.outcome = Outcome::failure(rows.error());
            return false;
        }
        summary.customers = accounts.customers();
        summary.locations = rows.count(DemoRows::Location);
        summary.rows = rows.totalRows();
    }
    if (!writeBigJournals(db, options, summary))
        return false;
    if (const Outcome indexed = BillingSchema::createIndexes(db); !indexed) {
        summary.outcome = indexed;
        return false;
    }
    if (!transaction.commit()) {
        summary.outcome = Outcome::failure(transaction.error());
        return false;
    }
    db.exec(QStringLiteral("pragma journal_mode=delete"));
    return true;
}

QStringList sampleAccounts(const DemoOptions& options)
{
    QStringList samples;
    // Customer 1 owns locations 1 and 2, customer 2 (inactive) owns location 3.
    if (options.locations >= 1)
        samples << QStringLiteral("1-1");
    if (options.locations >= 2)
        samples << QStringLiteral("1-2");
    if (options.locations >= 3)
        samples << QStringLiteral("2-3");
    return samples;
}

} // namespace

DemoSummary DemoSuite::write(const QString& folder, const DemoOptions& options)
{
    DemoSummary summary;
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!QDir().mkpath(absolute)) {
        summary.outcome = Outcome::failure(QStringLiteral("%1: cannot create the folder").arg(absolute));
        return summary;
    }
    const QDir dir(absolute);
    summary.billingPath = dir.filePath(QString::fromLatin1(kBillingFileName));
    for (const QString& name : {QStringLiteral("global.mdb"), QString::fromLatin1(kBillingFileName),
                                QStringLiteral("reports/emptdata.mdb")}) {
        if (QFileInfo::exists(dir.filePath(name)) && !QFile::remove(dir.filePath(name))) {
            summary.outcome = Outcome::failure(QStringLiteral("%1: cannot replace the file").arg(dir.filePath(name)));
            return summary;
        }
    }
    if (!writeBilling(summary.billingPath, options, summary))
        return summary;
    summary.outcome = writeGlobal(absolute);
    if (summary.outcome)
        summary.outcome = writeFile(dir.filePath(QStringLiteral("tuid.txt")), "CLERK1\r\n");
    if (summary.outcome)
        summary.outcome = writeReportDatabase(absolute);
    if (summary.outcome)
        summary.outcome = writeEntmeter(absolute, options.cliProgram);
    if (!summary.outcome)
        return summary;
    summary.sampleAccounts = sampleAccounts(options);
    return summary;
}
