#include "cli/CliAccount.h"
#include "cli/CliCommand.h"
#include "journal/JournalLoader.h"
#include "selection/AccountBalance.h"

#include <QStringList>
#include <cstdio>

namespace {

const int printedColumns[] = {JournalModel::PostDate,    JournalModel::ReadDate, JournalModel::Code,
                              JournalModel::Description, JournalModel::Previous, JournalModel::Reading,
                              JournalModel::Usage,       JournalModel::Charge,   JournalModel::Payment,
                              JournalModel::Balance};

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QList<QStringList> table(const std::vector<JournalRow>& rows)
{
    QList<QStringList> lines;
    QStringList header;
    for (int column : printedColumns)
        header << JournalModel::caption(column);
    lines << header;
    for (const JournalRow& row : rows) {
        QStringList fields;
        for (int column : printedColumns)
            fields << JournalModel::displayText(row, column);
        lines << fields;
    }
    return lines;
}

void printCsv(const QList<QStringList>& lines)
{
    for (const QStringList& fields : lines) {
        QStringList quoted;
        for (const QString& field : fields)
            quoted << csvField(field);
        std::fputs((quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8().constData(), stdout);
    }
}

// Columns padded to their widest value; descriptions left, the rest right.
void printAligned(const QList<QStringList>& lines)
{
    QList<qsizetype> widths(std::size(printedColumns), 0);
    for (const QStringList& fields : lines) {
        for (qsizetype c = 0; c < fields.size(); ++c)
            widths[c] = std::max(widths[c], fields[c].size());
    }
    for (const QStringList& fields : lines) {
        QStringList padded;
        for (qsizetype c = 0; c < fields.size(); ++c) {
            const bool left = printedColumns[c] == JournalModel::Description;
            padded << (left ? fields[c].leftJustified(widths[c]) : fields[c].rightJustified(widths[c]));
        }
        std::fputs((padded.join(QStringLiteral("  ")).trimmed() + QLatin1Char('\n')).toUtf8().constData(), stdout);
    }
}

} // namespace

int runJournalCommand(const CliContext& context)
{
    QString keys;
    bool csv = false;
    JournalFlags flags;
    for (const QString& arg : context.args) {
        if (arg == QLatin1String("--csv"))
            csv = true;
        else if (arg == QLatin1String("--hide-comments"))
            flags.HideComments = JournalFlags::True;
        else if (arg == QLatin1String("--consolidate-payments"))
            flags.ConsolidatePayments = JournalFlags::True;
        else if (arg == QLatin1String("--apply-multiplier"))
            flags.MultApplied = JournalFlags::True;
        else if (keys.isEmpty() && !arg.startsWith(QLatin1String("--")))
            keys = arg;
        else
            return cliUsageError(QStringLiteral("journal: unexpected argument ") + arg);
    }
    if (keys.isEmpty())
        return cliUsageError(QStringLiteral("journal needs an account CUSTKEY-LOCKEY"));
    CliAccount account;
    int exitCode = CliExit::Ok;
    if (!account.open(context, keys, exitCode))
        return exitCode;

    JournalLoader::Result loaded;
    if (const Outcome failed = account.loadJournal(flags, loaded); !failed)
        return cliFailure(failed.message());
    if (!loaded.extraction.missing.isEmpty())
        std::fputs((AccountExtraction::missingMessage(account.module.billingName(), loaded.extraction.missing)
                    + QLatin1Char('\n'))
                       .toUtf8()
                       .constData(),
                   stderr);
    const QList<QStringList> lines = table(loaded.rows);
    if (csv)
        printCsv(lines);
    else
        printAligned(lines);
    if (loaded.rows.empty())
        std::fputs("No history records exist for this customer.\n", stderr);
    return CliExit::Ok;
}

int runAccountCommand(const CliContext& context)
{
    for (const QString& arg : context.args) {
        if (looksLikeOption(arg))
            return cliUsageError(QStringLiteral("account: unknown option ") + arg);
    }
    if (context.args.size() != 1)
        return cliUsageError(QStringLiteral("account needs exactly one account CUSTKEY-LOCKEY"));
    CliAccount account;
    int exitCode = CliExit::Ok;
    if (!account.open(context, context.args.first(), exitCode))
        return exitCode;
    JournalFlags flags;
    JournalLoader::Result loaded;
    if (const Outcome failed = account.loadJournal(flags, loaded); !failed)
        return cliFailure(failed.message());
    QString header = loaded.header.label;
    header.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QString balance;
    if (const Outcome read =
            AccountBalance::forAccount(account.module, account.module.CustKey, account.module.LocKey, balance);
        !read)
        return cliFailure(read.message());
    std::fputs((header + QLatin1Char('\n') + balance + QLatin1Char('\n')).toUtf8().constData(), stdout);
    return CliExit::Ok;
}
