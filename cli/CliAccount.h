#pragma once

#include "app/HistoryModule.h"
#include "journal/JournalLoader.h"
#include "platform/Outcome.h"

#include <QTemporaryDir>

struct CliContext;

// An account named on the command line ("K-L"), with the module state prepared as
// the program's start-up prepares it and a scratch database of its own, so the CLI
// never leaves files in the suite folder.
class CliAccount {
public:
    // exitCode is set when opening fails (usage 2 for bad keys, 1 for the suite).
    bool open(const CliContext& context, const QString& keys, int& exitCode);
    // The journal as the window loads it, the suite's saved view left aside; the
    // extraction's or the build's failure when either stopped it.
    Outcome loadJournal(JournalFlags& flags, JournalLoader::Result& loaded);
    HistoryModule module;

private:
    QTemporaryDir m_scratch;
};
