#pragma once

#include "journal/JournalModel.h"
#include "platform/Outcome.h"

#include <vector>

class HistoryModule;

// The multiplier switch: the grid's rows are rescaled at once in memory, and jurn
// is brought level only when something reads it (the printed journal), since its
// update and re-read cost many times the switch itself.
class JournalMultiplier {
public:
    enum class Step { Apply, Remove };

    // The reading rows changed exactly as the update of jurn for `step` changes
    // them. False, with nothing changed, where that update fails as a whole (a
    // reading's description without "MULT:" cannot be cut when applying).
    static bool rescale(std::vector<JournalRow>& rows, Step step);

    // jurn's update for `step`, held back until catchUp.
    void defer(Step step) { m_behind.push_back(step); }
    // jurn was written afresh: nothing is held back any more.
    void forget() { m_behind.clear(); }
    bool behind() const { return !m_behind.empty(); }
    // Runs the held-back updates on jurn in the order they were switched; when the
    // work database cannot be opened they stay held back and the outcome says why.
    Outcome catchUp(HistoryModule& module);

private:
    std::vector<Step> m_behind;
};
