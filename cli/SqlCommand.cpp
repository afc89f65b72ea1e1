#include "cli/BillingDbLocator.h"
#include "cli/CliCommand.h"
#include "cli/SqlValueText.h"
#include "cli/SqliteDb.h"
#include "platform/SqlDialect.h"

#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <string>

namespace {

bool onlyBlanksOrSemicolons(const char* text)
{
    for (; *text; ++text) {
        if (!std::isspace(static_cast<unsigned char>(*text)) && *text != ';')
            return false;
    }
    return true;
}

int printRows(sqlite3_stmt* statement, sqlite3* db)
{
    const int columns = sqlite3_column_count(statement);
    std::string line;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        line.clear();
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                line += '\t';
            line += SqlValueText::column(statement, c);
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    if (rc != SQLITE_DONE)
        return cliFailure(sqliteMessage(db));
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
    SqliteDb db;
    if (!db.open(billing.path, false))
        return cliFailure(db.lastError());
    if (!SqlDialect::registerOn(db.handle()))
        return cliFailure(QStringLiteral("the SQL dialect could not be registered"));

    const QByteArray sql = context.args.first().toUtf8();
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql.constData(), static_cast<int>(sql.size()), &statement, &tail) != SQLITE_OK)
        return cliFailure(sqliteMessage(db.handle()));
    if (!statement)
        return cliFailure(QStringLiteral("no statement given"));
    int status = CliExit::Ok;
    if (tail && !onlyBlanksOrSemicolons(tail))
        status = cliFailure(QStringLiteral("only one statement at a time"));
    else
        status = printRows(statement, db.handle());
    sqlite3_finalize(statement);
    return status;
}
