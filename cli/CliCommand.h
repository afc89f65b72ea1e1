#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What every ledview-cli command receives: the suite folder already resolved from
// --home / $LEDVIEW_HOME / the executable's folder, and its own arguments.
struct CliContext {
    QString home;
    QStringList args;
    QString program;        // this executable, for the demo suite's stand-in script
};

namespace CliExit {
constexpr int Ok = 0;
constexpr int Failure = 1;   // the engine or a file said no; message on stderr
constexpr int Usage = 2;     // the command line was wrong; usage on stderr
} // namespace CliExit

using CliRun = int (*)(const CliContext&);

struct CliCommand {
    const char* name;
    const char* synopsis;    // empty for commands that usage does not list
    CliRun run;
};

// Usage on stderr after the message; returns CliExit::Usage.
int cliUsageError(const QString& message);
// A message line on stderr; returns CliExit::Failure.
int cliFailure(const QString& message);
// "--name value" or "--name=value" at args[index]; advances index past what it used.
// Nothing when args[index] is not that option; `missing` is set when the value is.
std::optional<QString> cliOptionValue(const QStringList& args, int& index, const QString& name, bool& missing);

int runDemoCommand(const CliContext& context);
int runSqlCommand(const CliContext& context);
int runSearchCommand(const CliContext& context);
int runEntmeterStandInCommand(const CliContext& context);
int runJournalCommand(const CliContext& context);
int runAccountCommand(const CliContext& context);
int runBalancesCommand(const CliContext& context);
int runPrintCommand(const CliContext& context);
