#include "app/BillingCopy.h"
#include "app/BillingDbLocator.h"
#include "cli/CliCommand.h"
#include "platform/PostgresUri.h"
#include "platform/SqlConnection.h"

#include <cstdio>

namespace {

struct CopyArguments {
    QString uri;
    bool replace = false;
    bool repoint = false;
};

std::optional<CopyArguments> parseArguments(const QStringList& args, QString& problem)
{
    CopyArguments parsed;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--replace"))
            parsed.replace = true;
        else if (arg == QLatin1String("--repoint"))
            parsed.repoint = true;
        else if (looksLikeOption(arg))
            problem = QStringLiteral("copy-billing: unknown option %1").arg(arg);
        else if (!parsed.uri.isEmpty())
            problem = QStringLiteral("copy-billing takes one server address");
        else
            parsed.uri = arg;
        if (!problem.isEmpty())
            return std::nullopt;
    }
    if (parsed.uri.isEmpty()) {
        problem = QStringLiteral("copy-billing needs the server's address: postgresql://[user@]host[:port]/dbname");
        return std::nullopt;
    }
    return parsed;
}

void print(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
}

// One line per table (its rows) and per money column (its sum), file beside server.
void printChecks(const BillingCopy::Report& report)
{
    const auto line = [](const QString& name, const QString& file, const QString& server, const QString& mark) {
        print(QStringLiteral("%1 %2 %3%4").arg(name, -34).arg(file, 20).arg(server, 20).arg(mark));
    };
    const auto row = [&](const QString& name, const QString& file, const QString& server) {
        line(name, file, server, file == server ? QString() : QStringLiteral("  DIFFERS"));
    };
    line(QStringLiteral("TABLE / money column"), QStringLiteral("FILE"), QStringLiteral("SERVER"), QString());
    for (const BillingCopy::TableCheck& table : report.tables) {
        row(table.table, QString::number(table.sourceRows), QString::number(table.copiedRows));
        for (const BillingCopy::MoneySum& sum : table.sums)
            row(QStringLiteral("  ") + sum.column, sum.source, sum.copied);
    }
}

// Messages of the engines may run over lines; the command's failure is one.
QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
}

} // namespace

int runCopyBillingCommand(const CliContext& context)
{
    QString problem;
    const std::optional<CopyArguments> args = parseArguments(context.args, problem);
    if (!args)
        return cliUsageError(problem);
    if (context.home.isEmpty())
        return cliNoSuiteFolder();
    const QString shown = PostgresUri::shown(args->uri);
    if (!PostgresUri::parse(args->uri, &problem))
        return cliFailure(QStringLiteral("The server's address %1 cannot be read: %2.").arg(shown, problem));
    const BillingDbLocation billing = BillingDbLocator::locate(context.home);
    if (!billing.ok())
        return cliFailure(billing.error);
    SqlConnection source = SqlConnection::open(billing.path);
    if (!source.isOpen())
        return cliFailure(Outcome::cannotOpen(FaultText::BillingDatabase, billing.path, source.outcome()).message());
    SqlConnection destination = SqlConnection::open(args->uri);
    if (!destination.isOpen())
        return cliFailure(oneLine(
            Outcome::cannotOpen(QStringLiteral("The PostgreSQL database"), shown, destination.outcome()).message()));

    print(QStringLiteral("Copying %1 to %2").arg(source.path(), shown));
    BillingCopy copy(source, destination);
    copy.setReplace(args->replace);
    copy.setProgress([](const QString& line) {
        print(QStringLiteral("  ") + line);
        std::fflush(stdout);
    });
    const Outcome copied = copy.run();
    const BillingCopy::Report& report = copy.report();
    if (!report.tables.isEmpty()) {
        printChecks(report);
        if (!report.textColumns.isEmpty())
            print(QStringLiteral("Kept as text (they hold text among their numbers): %1")
                      .arg(report.textColumns.join(QLatin1String(", "))));
        for (const QString& note : report.notes)
            print(note);
    }
    if (!copied)
        return cliFailure(oneLine(copied.message()));
    const double seconds = std::max<qint64>(report.milliseconds, 1) / 1000.0;
    print(QStringLiteral("%1 rows in %2 s (%3 rows/s); counts and sums agree.")
              .arg(report.rows)
              .arg(seconds, 0, 'f', 1)
              .arg(qRound64(report.rows / seconds)));
    if (args->repoint) {
        if (const Outcome repointed = BillingCopy::repoint(context.home, args->uri); !repointed)
            return cliFailure(repointed.message());
        print(QStringLiteral("global.mdb now names %1 as the billing database.").arg(shown));
    }
    return CliExit::Ok;
}
