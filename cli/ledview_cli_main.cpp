#include "app/SuiteFolder.h"
#include "cli/CliCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSettings>
#include <cstring>
#include <memory>
#include <cstdio>
#include <iterator>

namespace {

// New commands (journal, account, search, balances, print) join this table.
const CliCommand kCommands[] = {
    {"demo",
     "demo DIR [--locations N] [--years Y] [--seed S] [--big-journals R1,R2,...] [--hostile]\n"
     "                                                    write a demo suite into DIR; each big journal\n"
     "                                                    adds an account with about that many rows;\n"
     "                                                    --hostile adds accounts of quotes, wildcards,\n"
     "                                                    NULLs and bad dates",
     runDemoCommand, false},
    {"sql", "sql STATEMENT                                     run one statement on the billing database",
     runSqlCommand},
    {"journal",
     "journal K-L [--hide-comments] [--consolidate-payments] [--apply-multiplier] [--csv]\n"
     "                                                    print the account's history journal",
     runJournalCommand},
    {"account", "account K-L                                       print the journal's account header",
     runAccountCommand},
    {"balances", "balances K-L --as-of DATE                        print the code balances as of a posting date",
     runBalancesCommand},
    {"print",
     "print K-L --pdf FILE [--first N] [--last M]     write the account's printed journal as a PDF\n"
     "      [--from DATE] [--to DATE]                     or the rows posted in that date range",
     runPrintCommand},
    {"search", "search [--by N] [TEXT]                            print the account list's lines matching TEXT",
     runSearchCommand},
    {"copy-billing",
     "copy-billing URI [--replace] [--repoint]          copy the billing database into the PostgreSQL\n"
     "                                                    database URI (postgresql://[user[:password]@]\n"
     "                                                    host[:port]/dbname) in one transaction and compare\n"
     "                                                    counts and sums; --replace drops tables it already\n"
     "                                                    holds; --repoint names it in global.mdb",
     runCopyBillingCommand},
    {"entmeter-stand-in",
     "entmeter-stand-in                                 compute the bill that CompOneRdg.ini asks for\n"
     "                                                    (the demo suite's entmeter calls it)",
     runEntmeterStandInCommand, true, false},
};

const char kSuiteFolderWays[] = "The suite folder is, in this order: --home DIR; $LEDVIEW_HOME; the folder of\n"
                                "ledview-cli when it holds global.mdb; the folder that ledview used last time.\n";

void printUsage(FILE* stream)
{
    std::fprintf(stream,
                 "usage: ledview-cli [--home DIR] COMMAND [ARGUMENTS]\n"
                 "       ledview-cli COMMAND --help | --help | --version\n\n%s\nCommands:\n",
                 kSuiteFolderWays);
    for (const CliCommand& command : kCommands) {
        if (command.listed)
            std::fprintf(stream, "  %s\n", command.synopsis);
    }
}

int printCommandHelp(const CliCommand& command)
{
    std::printf("usage: ledview-cli [--home DIR] %s\n", command.synopsis);
    if (command.needsSuite)
        std::printf("\n%s", kSuiteFolderWays);
    return CliExit::Ok;
}

bool asksForHelp(const QStringList& args)
{
    return args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"));
}

const CliCommand* findCommand(const QString& name)
{
    for (const CliCommand& command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

} // namespace

int cliUsageError(const QString& message)
{
    if (!message.isEmpty())
        std::fprintf(stderr, "ledview-cli: %s\n", message.toLocal8Bit().constData());
    printUsage(stderr);
    return CliExit::Usage;
}

int cliNoSuiteFolder()
{
    std::fprintf(stderr,
                 "ledview-cli: no suite folder. Name one in one of these ways:\n"
                 "  ledview-cli --home DIR COMMAND ...\n"
                 "  LEDVIEW_HOME=DIR ledview-cli COMMAND ...\n"
                 "  put ledview-cli into the suite folder, beside global.mdb\n"
                 "  open the suite once in ledview, which remembers it\n");
    return CliExit::Usage;
}

int cliFailure(const QString& message)
{
    std::fprintf(stderr, "ledview-cli: %s\n", message.toLocal8Bit().constData());
    return CliExit::Failure;
}

bool looksLikeOption(const QString& arg)
{
    static const QRegularExpression option(QStringLiteral("^--[A-Za-z][A-Za-z0-9-]*(=.*)?$"));
    return option.match(arg).hasMatch();
}

std::optional<QString> cliOptionValue(const QStringList& args, int& index, const QString& name, bool& missing)
{
    if (missing || index >= args.size())
        return std::nullopt;
    const QString& arg = args[index];
    if (arg.startsWith(name + QLatin1Char('='))) {
        ++index;
        return arg.mid(name.size() + 1);
    }
    if (arg != name)
        return std::nullopt;
    if (index + 1 >= args.size()) {
        missing = true;
        ++index;
        return std::nullopt;
    }
    index += 2;
    return args[index - 1];
}

// Painting text needs the GUI application's fonts; only print paints, and it needs
// no screen.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "print") == 0) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            return std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

int main(int argc, char** argv)
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString explicitHome;
    int index = 0;
    while (index < args.size() && args[index].startsWith(QLatin1String("-"))) {
        if (args[index] == QLatin1String("--help") || args[index] == QLatin1String("-h")) {
            printUsage(stdout);
            return CliExit::Ok;
        }
        if (args[index] == QLatin1String("--version")) {
            std::printf("ledview-cli %s\n", LEDVIEW_VERSION);
            return CliExit::Ok;
        }
        bool missing = false;
        const auto home = cliOptionValue(args, index, QStringLiteral("--home"), missing);
        if (!home)
            return cliUsageError(missing ? QStringLiteral("--home needs a folder")
                                         : QStringLiteral("unknown option %1").arg(args[index]));
        explicitHome = *home;
    }
    if (index >= args.size())
        return cliUsageError(QStringLiteral("no command given"));
    const CliCommand* command = findCommand(args[index]);
    if (!command)
        return cliUsageError(QStringLiteral("unknown command %1").arg(args[index]));

    CliContext context;
    context.args = args.mid(index + 1);
    if (asksForHelp(context.args))
        return printCommandHelp(*command);
    if (command->needsSuite) {
        // The folder ledview remembered is read here, never written: a script's
        // --home must not change where the clerk's next start opens.
        const SuiteFolder::Located located = SuiteFolder::locate(explicitHome, QCoreApplication::applicationDirPath(),
                                                                 SuiteFolder::remembered(*SuiteFolder::userSettings()));
        context.home = located.folder;
    }
    context.program = QCoreApplication::applicationFilePath();
    const int status = command->run(context);
    std::fflush(stdout);
    return status;
}
