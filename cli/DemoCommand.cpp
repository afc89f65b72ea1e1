#include "cli/CliCommand.h"
#include "demosuite/DemoSuite.h"
#include "demosuite/HostileData.h"
#include "platform/SqlConnection.h"
#include "platform/SqlTransaction.h"

#include <cstdio>

namespace {

// The value of a numeric option, within [low, high]; a usage message otherwise.
bool readNumber(const QString& name, const QString& text, qint64 low, qint64 high, qint64& value, QString& error)
{
    bool ok = false;
    value = text.toLongLong(&ok);
    if (!ok || value < low || value > high) {
        error =
            QStringLiteral("%1 wants a whole number from %2 to %3, not \"%4\"").arg(name).arg(low).arg(high).arg(text);
        return false;
    }
    return true;
}

// The hostile accounts go in beside the demo's, so every window meets both.
bool addHostileAccounts(const QString& billingPath, QString& error)
{
    SqlConnection db = SqlConnection::open(billingPath);
    if (!db.isOpen()) {
        error = db.outcome().message();
        return false;
    }
    SqlTransaction transaction(db);
    if (!transaction.isActive()) {
        error = transaction.error();
        return false;
    }
    if (const Outcome written = HostileData::write(db); !written) {
        error = written.message();
        return false;
    }
    if (!transaction.commit()) {
        error = transaction.error();
        return false;
    }
    return true;
}

// A comma-separated list of journal sizes, each within [1, 500000] rows.
bool readSizes(const QString& text, std::vector<int>& sizes, QString& error)
{
    sizes.clear();
    for (const QString& part : text.split(QLatin1Char(','))) {
        qint64 value = 0;
        if (!readNumber(QStringLiteral("--big-journals"), part.trimmed(), 1, 500'000, value, error))
            return false;
        sizes.push_back(static_cast<int>(value));
    }
    return true;
}

} // namespace

int runDemoCommand(const CliContext& context)
{
    DemoOptions options;
    options.cliProgram = context.program;
    QString folder;
    bool hostile = false;
    const QStringList& args = context.args;
    for (int i = 0; i < args.size();) {
        bool missing = false;
        qint64 value = 0;
        QString error;
        if (auto v = cliOptionValue(args, i, QStringLiteral("--locations"), missing)) {
            if (!readNumber(QStringLiteral("--locations"), *v, 1, 50'000'000, value, error))
                return cliUsageError(error);
            options.locations = value;
        } else if (auto y = cliOptionValue(args, i, QStringLiteral("--years"), missing)) {
            if (!readNumber(QStringLiteral("--years"), *y, 0, 50, value, error))
                return cliUsageError(error);
            options.years = static_cast<int>(value);
        } else if (auto b = cliOptionValue(args, i, QStringLiteral("--big-journals"), missing)) {
            if (!readSizes(*b, options.bigJournals, error))
                return cliUsageError(error);
        } else if (auto s = cliOptionValue(args, i, QStringLiteral("--seed"), missing)) {
            bool ok = false;
            options.seed = s->toULongLong(&ok);
            if (!ok)
                return cliUsageError(QStringLiteral("--seed wants a whole number, not \"%1\"").arg(*s));
        } else if (missing) {
            return cliUsageError(QStringLiteral("%1 needs a value").arg(args[i - 1]));
        } else if (args[i] == QLatin1String("--hostile")) {
            hostile = true;
            ++i;
        } else if (args[i].startsWith(QLatin1String("--")) || !folder.isEmpty()) {
            return cliUsageError(QStringLiteral("demo: unexpected argument %1").arg(args[i]));
        } else {
            folder = args[i++];
        }
    }
    if (folder.isEmpty())
        return cliUsageError(QStringLiteral("demo needs the folder to write"));

    const DemoSummary summary = DemoSuite::write(folder, options);
    if (!summary.outcome.ok())
        return cliFailure(summary.outcome.message());
    QString error;
    if (hostile && !addHostileAccounts(summary.billingPath, error))
        return cliFailure(
            QStringLiteral("%1: the hostile accounts could not be written: %2").arg(summary.billingPath, error));
    std::printf("Demo suite written: %s\n", summary.billingPath.toLocal8Bit().constData());
    std::printf("  locations: %lld\n  customers: %lld\n  rows:      %lld\n", static_cast<long long>(summary.locations),
                static_cast<long long>(summary.customers), static_cast<long long>(summary.rows));
    std::printf("  accounts:  %s%s\n", summary.sampleAccounts.join(QLatin1Char(' ')).toLocal8Bit().constData(),
                options.years == 0 ? " (no history)" : "");
    if (hostile)
        std::printf("  hostile:   %d-%d, and %d-%d to %d-%d with one text each\n", HostileData::CustKey,
                    HostileData::LocKey, HostileData::FirstTextCustomer, HostileData::FirstTextCustomer,
                    HostileData::FirstTextCustomer + static_cast<int>(HostileData::texts().size()) - 1,
                    HostileData::FirstTextCustomer + static_cast<int>(HostileData::texts().size()) - 1);
    for (qsizetype i = 0; i < summary.bigAccounts.size(); ++i)
        std::printf("  journal of about %d rows: %s\n", options.bigJournals[static_cast<size_t>(i)],
                    summary.bigAccounts[i].toLocal8Bit().constData());
    return CliExit::Ok;
}
