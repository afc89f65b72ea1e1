#include "app/BillingDbLocator.h"
#include "cli/CliCommand.h"
#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"
#include "platform/SqlValueText.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

bool onlyBlanksOrSemicolons(std::string_view text)
{
    for (const char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c)) && c != ';')
            return false;
    }
    return true;
}

void printLine(std::string& line)
{
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

int runOnFile(const SqlConnection& db, const QString& text)
{
    const QByteArray sql = text.toUtf8();
    std::string_view rest;
    SqlStatement statement(db.handle(), std::string_view(sql.constData(), static_cast<size_t>(sql.size())), &rest);
    if (statement.failed())
        return cliFailure(statement.error());
    if (!statement.isValid())
        return cliFailure(QStringLiteral("no statement given"));
    if (!onlyBlanksOrSemicolons(rest))
        return cliFailure(QStringLiteral("only one statement at a time"));
    const int columns = statement.columnCount();
    std::string line;
    while (statement.next()) {
        line.clear();
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                line += '\t';
            line += SqlValueText::column(statement.handle(), c);
        }
        printLine(line);
    }
    if (statement.failed())
        return cliFailure(statement.error());
    return CliExit::Ok;
}

} // namespace

int runSqlCommand(const CliContext& context)
{
    if (context.args.size() == 1 && looksLikeOption(context.args.first()))
        return cliUsageError(QStringLiteral("sql: unknown option %1").arg(context.args.first()));
    if (context.args.size() != 1)
        return cliUsageError(QStringLiteral("sql needs exactly one statement (quote it)"));
    if (context.home.isEmpty())
        return cliNoSuiteFolder();
    const BillingDbLocation billing = BillingDbLocator::locate(context.home);
    if (!billing.ok())
        return cliFailure(billing.error);
    const SqlConnection db = SqlConnection::open(billing.path);
    if (!db.isOpen())
        return cliFailure(Outcome::cannotOpen(FaultText::BillingDatabase, db.path(), db.outcome()).message());
    return runOnFile(db, context.args.first());
}
