#pragma once

#include "platform/Outcome.h"
#include "selection/SearchLines.h"
#include "selection/SearchListWriter.h"

#include <QString>
#include <functional>

class HistoryModule;
class SqlConnection;

// The search list histsrch in the scratch database: prepared at the selection
// window's load, built once from one read of the billing join, laid out and ordered
// in memory, and written to histsrch in that stored order (the order the journal's
// paging steps through). Re-sorting only changes the order shown.
class SearchList {
public:
    // Called now and then during long work, so a window can stay painted and show progress.
    using Progress = std::function<void()>;

    static const QString CreateStatement;

    // Creates the scratch file with histsrch when it is missing (naming it first if
    // WorkDbPath is empty), else empties histsrch. A failure when the file
    // cannot be made or opened.
    static Outcome prepare(HistoryModule& module);

    // One statement that fills work.histsrch from the billing tables in the option's
    // build order (none for an index outside 0-4), as the engine alone would build it.
    static QString buildStatement(int index);

    // Empties histsrch, builds `lines` in the option's build order and writes them to
    // histsrch. With `behind`, the write and the re-sort orders go on there and the
    // list is usable at once; without, both are done on return. A failure when a
    // database cannot be opened, read or written.
    static Outcome build(HistoryModule& module, int index, SearchLines& lines, const Progress& progress = {},
                         SearchListWriter* behind = nullptr);

    // Reads histsrch in stored order; a failed read leaves `lines` empty and says why.
    static Outcome load(SqlConnection& work, SearchLines& lines, const Progress& progress = {});

    // Shows `lines` in the option's re-sort order without touching the table; an
    // index outside 0-4 gives the stored order. False when that order is not prepared.
    static bool sort(int index, SearchLines& lines);
};
