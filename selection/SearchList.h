#pragma once

#include "platform/Outcome.h"
#include "selection/SearchLines.h"

#include <QString>
#include <functional>

class HistoryModule;
class SqlConnection;

// The search list histsrch in the scratch database: prepared at the selection
// window's load, filled once by one statement run in the engine across the billing
// and scratch files, and read into memory in stored order (the order the journal's
// paging steps through). Re-sorting only re-queries the order.
class SearchList {
public:
    // Called now and then during long work, so a window can stay painted and show progress.
    using Progress = std::function<void()>;

    static const QString CreateStatement;

    // Creates the scratch file with histsrch when it is missing (naming it first if
    // WorkDbPath is empty), else empties histsrch. A failure when the file
    // cannot be made or opened.
    static Outcome prepare(HistoryModule& module);

    // The statement that fills work.histsrch from the billing tables in the option's
    // build order (none for an index outside 0-4).
    static QString buildStatement(int index);

    // Empties and fills histsrch, then reads it into `lines` in stored order.
    // A failure when a database cannot be opened or the fill fails.
    static Outcome build(HistoryModule& module, int index, SearchLines& lines, const Progress& progress = {});

    // Reads histsrch in stored order; a failed read leaves `lines` empty and says why.
    static Outcome load(SqlConnection& work, SearchLines& lines, const Progress& progress = {});

    // Shows `lines` in the option's re-sort order without touching the table; an
    // index outside 0-4 gives the stored order.
    static bool sort(HistoryModule& module, int index, SearchLines& lines, const Progress& progress = {});
};
