#include "cli/CliAccount.h"
#include "cli/CliCommand.h"
#include "journal/JournalLoader.h"
#include "platform/DateText.h"

#include <cstdio>

int runBalancesCommand(const CliContext& context)
{
    QString keys;
    QString asOf;
    for (int i = 0; i < context.args.size(); ++i) {
        bool missing = false;
        if (const auto value = cliOptionValue(context.args, i, QStringLiteral("--as-of"), missing)) {
            asOf = *value;
            --i;
        } else if (missing) {
            return cliUsageError(QStringLiteral("--as-of needs a date"));
        } else if (keys.isEmpty() && !context.args[i].startsWith(QLatin1String("--"))) {
            keys = context.args[i];
        } else {
            return cliUsageError(QStringLiteral("balances: unexpected argument ") + context.args[i]);
        }
    }
    const std::optional<QDate> date = DateText::parse(asOf);
    if (keys.isEmpty() || !date)
        return cliUsageError(QStringLiteral("balances needs an account CUSTKEY-LOCKEY and --as-of DATE (M/D/YYYY)"));
    CliAccount account;
    int exitCode = CliExit::Ok;
    if (!account.open(context, keys, exitCode))
        return exitCode;
    JournalFlags flags;
    const JournalLoader::Result loaded = JournalLoader::load(account.module, flags, QString());
    if (!loaded.extraction.outcome)
        return cliFailure(loaded.extraction.outcome.message());
    const CodeBalances::Table table = JournalLoader::loadBalances(account.module).compute(*date);
    for (const CodeBalances::Row& row : table.rows) {
        const QString line = row.code + QLatin1Char('\t') + row.totalcharges.toPlain() + QLatin1Char('\t')
            + row.totalpaid.toPlain() + QLatin1Char('\t') + row.bal.toPlain() + QLatin1Char('\n');
        std::fputs(line.toUtf8().constData(), stdout);
    }
    return CliExit::Ok;
}
