#pragma once

#include "journal/JournalFlags.h"
#include "journal/JournalModel.h"
#include "journal/JournalTableWrite.h"
#include "platform/Outcome.h"

#include <QString>
#include <memory>
#include <vector>

class HistoryModule;

// Assembles the history journal of the account held in the work tables: every
// reading, charge, adjustment, payment, deposit, refund, comment and account edit
// becomes a row of `jurn`, in posting-date and kind order, with a running balance.
class JournalBuilder {
public:
    struct Result {
        bool NoHistory = true;
        float LongestDescr = 0; // untouched (0) when there are no rows
        Outcome outcome; // why the build failed
        // With TableWrite::Later, jurn's rows still to be written (none without rows).
        std::shared_ptr<const JournalTableWrite> unwritten;
    };
    // jurn written by the build, or left empty for its reader to write first.
    enum class TableWrite { Now, Later };

    // Creates prejurn and jurn when missing (an existing table is kept).
    static void createTables(HistoryModule& module);
    // Empties the staging table before a rebuild.
    static void clearStaging(HistoryModule& module);

    // WorkDb must be open; prejurn must be empty. Sets module.NoHistory and, when
    // `rows` is given, leaves there the rows of jurn as written (no read back needed).
    // A failed build leaves jurn empty and says why in the result's outcome.
    static Result BuildJournal(HistoryModule& module, const JournalFlags& flags,
                               std::vector<JournalRow>* rows = nullptr, TableWrite when = TableWrite::Now);

    // Reading rows of jurn scaled by their meter multiplier in place (the description
    // keeps what stood before "MULT:"), and back (" MULT:" and the multiplier appended).
    static void applyMultiplier(HistoryModule& module);
    static void removeMultiplier(HistoryModule& module);

    // Row height in twips for the longest description: 29 characters fit the narrow
    // description column (previous readings shown), 43 the wide one; 300 twips a line.
    // 0 means a single line.
    static float rowHeightTwips(float longestDescr, int descriptionWidthTwips);

private:
    static void stageRows(HistoryModule& module, const JournalFlags& flags);
    static bool orderWithBalances(HistoryModule& module, const JournalFlags& flags, Result& result,
                                  std::vector<JournalRow>& rows, JournalTableWrite& table, QString& error);
};
