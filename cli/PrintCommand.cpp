#include "cli/CliAccount.h"
#include "cli/CliCommand.h"
#include "journal/JournalLoader.h"
#include "journal/JournalModel.h"
#include "journal/JournalPrintRange.h"
#include "journal/rptHistoryJournal.h"
#include "platform/DateText.h"

#include <algorithm>
#include <cstdio>

namespace {

struct PrintArguments {
    QString account;
    QString pdf;
    std::optional<int> first;
    std::optional<int> last;
    std::optional<QDate> from;
    std::optional<QDate> to;
};

std::optional<int> rowNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 0 ? std::optional<int>(value) : std::nullopt;
}

// Empty text when the arguments are sound, else what is wrong with them.
QString parseArguments(const QStringList& args, PrintArguments& parsed)
{
    for (int index = 0; index < args.size();) {
        bool missing = false;
        if (const auto pdf = cliOptionValue(args, index, QStringLiteral("--pdf"), missing)) {
            parsed.pdf = *pdf;
        } else if (const auto first = cliOptionValue(args, index, QStringLiteral("--first"), missing)) {
            if (!(parsed.first = rowNumber(*first)))
                return QStringLiteral("--first needs a row number");
        } else if (const auto last = cliOptionValue(args, index, QStringLiteral("--last"), missing)) {
            if (!(parsed.last = rowNumber(*last)))
                return QStringLiteral("--last needs a row number");
        } else if (const auto from = cliOptionValue(args, index, QStringLiteral("--from"), missing)) {
            if (!(parsed.from = DateText::parse(*from)))
                return QStringLiteral("--from needs a date");
        } else if (const auto to = cliOptionValue(args, index, QStringLiteral("--to"), missing)) {
            if (!(parsed.to = DateText::parse(*to)))
                return QStringLiteral("--to needs a date");
        } else if (missing) {
            return QStringLiteral("%1 needs a value").arg(args[index - 1]);
        } else if (parsed.account.isEmpty() && !args[index].startsWith(QLatin1String("--"))) {
            parsed.account = args[index++];
        } else {
            return QStringLiteral("unexpected argument %1").arg(args[index]);
        }
    }
    if (parsed.account.isEmpty() || parsed.pdf.isEmpty())
        return QStringLiteral("print needs an account K-L and --pdf FILE");
    if ((parsed.from || parsed.to) && (parsed.first || parsed.last))
        return QStringLiteral("print takes rows (--first, --last) or dates (--from, --to), not both");
    if (parsed.first && parsed.last && *parsed.first > *parsed.last)
        return QStringLiteral("--first comes after --last");
    return {};
}

// The grid's layout as the journal window's load leaves it; the rows by number, or
// those the print command's date walk finds for the dates given.
JournalPrintState printState(const JournalLoader::Result& loaded, const JournalFlags& flags,
                             const PrintArguments& arguments)
{
    JournalPrintState state;
    state.PrintHeaderText = loaded.header.label;
    state.PrintColWidth = JournalPrintState::defaultColumnWidths(flags.ShowPrevReadings != 0);
    state.PrintRowHeight = JournalBuilder::rowHeightTwips(loaded.build.LongestDescr, int(state.PrintColWidth[3]));
    const int lastRow = static_cast<int>(loaded.rows.size()) - 1;
    if (arguments.from || arguments.to) {
        PrintRange range;
        range.PrintRangeSet = true;
        range.PrintFrom = arguments.from.value_or(range.PrintFrom);
        range.PrintTo = arguments.to.value_or(range.PrintTo);
        const JournalPrintRange::Choice choice = JournalPrintRange::walkDateRange(range, loaded.rows);
        state.PrintFirstRow = choice.first;
        state.PrintLastRow = choice.last;
    } else {
        state.PrintFirstRow = arguments.first.value_or(0);
        state.PrintLastRow = std::min(arguments.last.value_or(lastRow), lastRow);
    }
    return state;
}

int writeJournal(const HistoryModule& module, const JournalPrintState& state, const QString& path)
{
    BandedReport report;
    int pages = 0;
    Outcome written = rptHistoryJournal::ReportStart(module, state, report);
    if (written)
        written = report.writePdf(path, &pages);
    if (!written)
        return cliFailure(written.message());
    std::printf("%d rows, %d pages written to %s\n", static_cast<int>(report.rows.size()), pages,
                path.toLocal8Bit().constData());
    return CliExit::Ok;
}

} // namespace

int runPrintCommand(const CliContext& context)
{
    PrintArguments arguments;
    const QString wrong = parseArguments(context.args, arguments);
    if (!wrong.isEmpty())
        return cliUsageError(wrong);
    CliAccount account;
    int exitCode = CliExit::Ok;
    if (!account.open(context, arguments.account, exitCode))
        return exitCode;

    JournalFlags flags;
    JournalLoader::Result loaded;
    if (const Outcome failed = account.loadJournal(flags, loaded); !failed)
        return cliFailure(failed.message());
    if (loaded.build.NoHistory)
        return cliFailure(QStringLiteral("No history records exist for this customer."));
    const JournalPrintState state = printState(loaded, flags, arguments);
    if (state.PrintFirstRow > state.PrintLastRow)
        return cliUsageError(
            QStringLiteral("the range selects no row of the journal (%1 rows)").arg(loaded.rows.size()));
    return writeJournal(account.module, state, arguments.pdf);
}
