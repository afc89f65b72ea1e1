#include "app/HistoryModule.h"
#include "app/BillingDbLocator.h"
#include "cli/CliCommand.h"
#include "selection/ListSearch.h"
#include "selection/SearchList.h"

#include <QTemporaryDir>
#include <cstdio>

namespace {

struct SearchArguments {
    int by = 0;
    std::optional<QString> text;
};

// "--by N" (0-4) and at most one search text; a usage message when they are wrong.
std::optional<SearchArguments> parseArguments(const QStringList& args, QString& problem)
{
    SearchArguments parsed;
    for (int index = 0; index < args.size();) {
        bool missing = false;
        if (const auto by = cliOptionValue(args, index, QStringLiteral("--by"), missing)) {
            bool ok = false;
            parsed.by = by->toInt(&ok);
            if (!ok || !SearchOption::at(parsed.by)) {
                problem = QStringLiteral("--by takes an option from 0 to 4");
                return std::nullopt;
            }
            continue;
        }
        if (missing) { // a --by at the end, the index now past the last argument
            problem = QStringLiteral("--by needs an option from 0 to 4");
            return std::nullopt;
        }
        if (looksLikeOption(args[index])) {
            problem = QStringLiteral("search: unknown option %1").arg(args[index]);
            return std::nullopt;
        }
        if (parsed.text) {
            problem = QStringLiteral("search takes one search text (quote it)");
            return std::nullopt;
        }
        parsed.text = args[index++];
    }
    return parsed;
}

void printLines(const SearchLines& lines, const std::optional<ListSearch>& search)
{
    QByteArray out;
    for (qsizetype row = 0; row < lines.size(); ++row) {
        const QStringView line = lines.text(row);
        if (search && !search->matches(line))
            continue;
        out += line.toUtf8();
        out += '\n';
        if (out.size() > (1 << 16)) {
            std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
            out.clear();
        }
    }
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
}

} // namespace

int runSearchCommand(const CliContext& context)
{
    QString problem;
    const std::optional<SearchArguments> args = parseArguments(context.args, problem);
    if (!args)
        return cliUsageError(problem);
    if (context.home.isEmpty())
        return cliNoSuiteFolder();
    const BillingDbLocation billing = BillingDbLocator::locate(context.home);
    if (!billing.ok())
        return cliFailure(billing.error);

    // A scratch file of its own, so a running ledview's list is never touched.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return cliFailure(QStringLiteral("no temporary folder for the scratch database"));
    HistoryModule module;
    module.ProgramFolder = context.home;
    module.BillingDbPath = billing.path;
    module.WorkDbPath = scratch.filePath(QStringLiteral("ledview.mdb"));
    SearchLines lines;
    Outcome made = SearchList::prepare(module);
    if (made)
        made = SearchList::build(module, args->by, lines);
    if (!made)
        return cliFailure(made.message());

    std::optional<ListSearch> search;
    if (args->text)
        search.emplace(*SearchOption::at(args->by), *args->text, false);
    printLines(lines, search);
    return CliExit::Ok;
}
