#include "cli/CliAccount.h"

#include "app/Main.h"
#include "cli/CliCommand.h"
#include "cli/StreamMessenger.h"

#include <QDir>

bool CliAccount::open(const CliContext& context, const QString& keys, int& exitCode)
{
    const auto [custKey, locKey] = Main::parseAccountKeys(keys);
    if (custKey <= 0 || locKey <= 0) {
        exitCode = cliUsageError(QStringLiteral("an account is written CUSTKEY-LOCKEY with both keys above 0"));
        return false;
    }
    if (context.home.isEmpty()) {
        exitCode = cliNoSuiteFolder();
        return false;
    }
    module.ProgramFolder = context.home;
    StreamMessenger messenger;
    if (Main::prepare(module, keys, messenger) == Main::Route::Exit) {
        exitCode = CliExit::Failure;
        return false;
    }
    if (!m_scratch.isValid()) {
        exitCode = cliFailure(QStringLiteral("no temporary folder for the work database"));
        return false;
    }
    module.WorkDbPath = QDir(m_scratch.path()).filePath(QStringLiteral("ledview.mdb"));
    return true;
}

Outcome CliAccount::loadJournal(JournalFlags& flags, JournalLoader::Result& loaded)
{
    loaded = JournalLoader::load(module, flags, QString());
    if (!loaded.extraction.outcome)
        return loaded.extraction.outcome;
    return loaded.build.outcome;
}
