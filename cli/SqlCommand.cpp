#include "app/BillingDbLocator.h"
#include "cli/CliCommand.h"
#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"
#include "platform/SqlValueText.h"
#include "platform/StatementCount.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
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

// The operator's statement goes to the server as typed: not prepared, so a `?` in
// it stays theirs rather than becoming a parameter.
int runOnServer(const SqlConnection& db, const QString& text)
{
    switch (StatementCount::of(text)) {
    case StatementCount::None: return cliFailure(QStringLiteral("no statement given"));
    case StatementCount::Several: return cliFailure(QStringLiteral("only one statement at a time"));
    case StatementCount::One: break;
    }
    QSqlQuery query(db.database());
    query.setForwardOnly(true);
    // Exact decimals print as the reals a file would hold for them.
    query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!query.exec(text)) {
        const QSqlError error = query.lastError();
        return cliFailure((error.databaseText().isEmpty() ? error.text() : error.databaseText()).trimmed());
    }
    const int columns = query.record().count();
    std::string line;
    while (query.next()) {
        line.clear();
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                line += '\t';
            line += SqlValueText::value(query.value(c));
        }
        printLine(line);
    }
    if (query.lastError().isValid())
        return cliFailure(query.lastError().text().trimmed());
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
    return db.engine() == SqlConnection::Engine::Postgres ? runOnServer(db, context.args.first())
                                                          : runOnFile(db, context.args.first());
}
