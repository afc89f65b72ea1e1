#pragma once

#include "journal/JournalModel.h"

#include <vector>

// The multiplier switch on the grid's rows, in memory: jurn's update and re-read
// cost many times the switch itself, so jurn follows later (PendingJournalTable).
class JournalMultiplier {
public:
    enum class Step { Apply, Remove };

    // The reading rows changed exactly as the update of jurn for `step` changes
    // them. False, with nothing changed, where that update fails as a whole (a
    // reading's description without "MULT:" cannot be cut when applying).
    static bool rescale(std::vector<JournalRow>& rows, Step step);
};
