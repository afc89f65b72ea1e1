#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What every ledview-cli command receives: the suite folder already located (--home,
// $LEDVIEW_HOME, the executable's folder, the folder used last time), and its own
// arguments.
struct CliContext {
    QString home; // empty when no suite folder was found: see cliNoSuiteFolder
    QStringList args;
    QString program; // this executable, for the demo suite's stand-in script
};

namespace CliExit {
constexpr int Ok = 0;
constexpr int Failure = 1; // the engine or a file said no; message on stderr
constexpr int Usage = 2; // the command line was wrong; usage on stderr
} // namespace CliExit

using CliRun = int (*)(const CliContext&);

struct CliCommand {
    const char* name;
    const char* synopsis; // the command's usage lines, shown by "COMMAND --help"
    CliRun run;
    bool needsSuite = true; // false for commands that write a suite of their own
    bool listed = true; // false for the helper that the demo suite's scripts call
};

// Usage on stderr after the message; returns CliExit::Usage.
int cliUsageError(const QString& message);
// The ways of naming a suite folder on stderr; returns CliExit::Usage. Commands
// call it after reading their arguments, so a wrong argument is named first.
int cliNoSuiteFolder();
// A message line on stderr; returns CliExit::Failure.
int cliFailure(const QString& message);
// "--name value" or "--name=value" at args[index]; advances index past what it used.
// Nothing when args[index] is not that option; `missing` is set when the value is.
std::optional<QString> cliOptionValue(const QStringList& args, int& index, const QString& name, bool& missing);

// "--word" alone: an option, never a search text or a statement (a statement
// starting with a comment goes on past its first line).
bool looksLikeOption(const QString& arg);

int runDemoCommand(const CliContext& context);
int runSqlCommand(const CliContext& context);
int runSearchCommand(const CliContext& context);
int runEntmeterStandInCommand(const CliContext& context);
int runJournalCommand(const CliContext& context);
int runAccountCommand(const CliContext& context);
int runBalancesCommand(const CliContext& context);
int runPrintCommand(const CliContext& context);
int runCopyBillingCommand(const CliContext& context);
