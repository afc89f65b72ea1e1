#include "app/Main.h"

#include "app/HistoryModule.h"
#include "app/Navigator.h"
#include "app/SuiteFolder.h"
#include "app/SuiteTextFile.h"
#include "platform/BasicRuntime.h"
#include "platform/Messenger.h"
#include "platform/PostgresUri.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Main {

namespace {

int32_t readKey(const QString& text)
{
    return BasicRuntime::toInt32(BasicRuntime::val(text)).value_or(0);
}

void cannotContinue(Messenger& messenger, const QString& text)
{
    messenger.tell(text, QStringLiteral("CANNOT CONTINUE"), Messenger::Icon::Critical);
}

} // namespace

std::pair<int32_t, int32_t> parseAccountKeys(const QString& commandLine)
{
    const qsizetype hyphen = commandLine.indexOf(QLatin1Char('-'));
    if (hyphen < 0)
        return {0, 0};
    return {readKey(commandLine.left(hyphen)), readKey(commandLine.mid(hyphen + 1))};
}

QString readUserId(const QString& programFolder)
{
    // Only the first line counts, and only so much of it as a name could be.
    const QByteArray contents =
        SuiteTextFile::readNamed(programFolder, QStringLiteral("tuid.txt"), 4095).value_or(QByteArray());
    QByteArray line = SuiteTextFile::lines(contents).value(0);
    while (line.endsWith('\r'))
        line.chop(1);
    const QString userId = QString::fromUtf8(line);
    return userId.isEmpty() ? QStringLiteral("Unknown") : userId;
}

QString scratchPath(const QString& programFolder, const QTime& startTime)
{
    return QDir(programFolder)
        .filePath(QStringLiteral("ledview") + startTime.toString(QStringLiteral("HHmmss")) + QStringLiteral(".mdb"));
}

QString configurationProblem(HistoryModule& module)
{
    const QString configPath = SuiteFolder::pathFor(module.ProgramFolder, QStringLiteral("global.mdb"));
    if (!QFileInfo(configPath).isFile())
        return Outcome::notFound(FaultText::ConfigurationDatabase, configPath).message();
    SqlConnection config = SqlConnection::open(configPath);
    if (!config.isOpen())
        return Outcome::cannotRead(FaultText::ConfigurationDatabase, configPath, config.outcome()).message();
    QVariant databasePath, fileName, companyName;
    bool hasRow = false;
    {
        QSqlQuery q = config.query(QStringLiteral("select * from current limit 1"));
        if (!q.isActive())
            return Outcome::cannotRead(FaultText::ConfigurationDatabase, configPath, config.outcome()).message();
        if (q.next()) {
            hasRow = true;
            const QSqlRecord record = q.record();
            databasePath = record.value(QStringLiteral("databasepath"));
            fileName = record.value(QStringLiteral("DatabaseFileName"));
            companyName = record.value(QStringLiteral("CompanyName"));
        }
    }
    config.close();

    // A server's URI in databasepath names the whole billing database on its own.
    const bool onServer = PostgresUri::isUri(databasePath.toString());
    if (!hasRow || databasePath.isNull() || databasePath.toString().trimmed().isEmpty()
        || (!onServer && (fileName.isNull() || fileName.toString().trimmed().isEmpty())))
        return FaultText::ConfigurationDatabase + QLatin1Char(' ') + configPath
            + QStringLiteral(" does not name the billing database "
                             "(table current needs databasepath and DatabaseFileName).");

    if (onServer) {
        module.BillingDbPath = databasePath.toString().trimmed();
    } else {
        QString folder = databasePath.toString();
        if (QDir::isRelativePath(folder))
            folder = QDir(module.ProgramFolder).filePath(folder);
        module.BillingDbPath = QDir::cleanPath(folder + QLatin1Char('/') + fileName.toString());
        if (!QFileInfo(module.BillingDbPath).isFile())
            return Outcome::notFound(FaultText::YourDatabase, module.BillingDbPath).message();
    }
    module.CompanyTitle = companyName.isNull() ? QStringLiteral("UNKNOWN COMPANY") : companyName.toString();

    // A file that is there but is no database, or a server that is down, would
    // otherwise fail deep inside a window.
    if (const Outcome opened = module.OpenBillingDb(); !opened)
        return Outcome::cannotOpen(FaultText::YourDatabase, module.billingName(), opened).message();
    // A server's connection is kept for the first window.
    module.CloseBillingDb();
    return {};
}

bool readConfiguration(HistoryModule& module, Messenger& messenger)
{
    const QString problem = configurationProblem(module);
    if (!problem.isEmpty())
        cannotContinue(messenger, problem);
    return problem.isEmpty();
}

Route prepare(HistoryModule& module, const QString& commandLine, Messenger& messenger, const QTime& startTime)
{
    module.UserId = readUserId(module.ProgramFolder);
    if (!readConfiguration(module, messenger))
        return Route::Exit;
    module.WorkDbPath = scratchPath(module.ProgramFolder, startTime);
    module.CommandLine = commandLine;
    const auto [custKey, locKey] = parseAccountKeys(commandLine);
    module.CustKey = custKey;
    module.LocKey = locKey;
    if (custKey <= 0 || locKey <= 0) {
        module.JournalIsStartWindow = 0;
        return Route::Selection;
    }
    module.JournalIsStartWindow = 1;
    return Route::Journal;
}

int run(HistoryModule& module, const QString& commandLine, Messenger& messenger, Navigator& navigator)
{
    int exitCode = 0;
    switch (prepare(module, commandLine, messenger)) {
    case Route::Exit: return 1;
    case Route::Journal: navigator.openJournal(module); break;
    case Route::Selection:
        if (!navigator.openSelection(module))
            exitCode = 1;
        break;
    }
    // Whichever window started the run removes the scratch file; make sure of it
    // even when that window could not finish its own unload.
    module.CloseWorkDb();
    module.ReleaseBillingDb();
    if (QFileInfo::exists(module.WorkDbPath))
        QFile::remove(module.WorkDbPath);
    return exitCode;
}

} // namespace Main
