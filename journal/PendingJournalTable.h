#pragma once

#include "journal/JournalMultiplier.h"
#include "journal/JournalTableWrite.h"
#include "platform/Outcome.h"

#include <memory>
#include <vector>

class HistoryModule;

// What the journal window's grid shows and jurn does not hold yet: the rows of the
// latest build, and the multiplier switches since. Only the printed journal reads
// jurn, so it is brought level just before, in the order things happened.
class PendingJournalTable {
public:
    // A build emptied jurn; `unwritten` are its rows (null when it wrote them).
    void rebuilt(std::shared_ptr<const JournalTableWrite> unwritten);
    // jurn's multiplier update for `step`, held back.
    void switched(JournalMultiplier::Step step) { m_steps.push_back(step); }
    bool behind() const { return m_unwritten || !m_steps.empty(); }
    // Writes the rows, then runs the held-back updates; on failure the outcome says
    // why and everything stays held back.
    Outcome catchUp(HistoryModule& module);

private:
    std::shared_ptr<const JournalTableWrite> m_unwritten;
    std::vector<JournalMultiplier::Step> m_steps;
};
