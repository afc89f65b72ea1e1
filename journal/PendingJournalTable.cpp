#include "journal/PendingJournalTable.h"

#include "app/HistoryModule.h"
#include "journal/JournalBuilder.h"

void PendingJournalTable::rebuilt(std::shared_ptr<const JournalTableWrite> unwritten)
{
    m_unwritten = std::move(unwritten);
    m_steps.clear();
}

Outcome PendingJournalTable::catchUp(HistoryModule& module)
{
    if (!behind())
        return {};
    if (Outcome opened = module.OpenWorkDb(); !opened)
        return opened;
    if (m_unwritten) {
        if (Outcome wrote = m_unwritten->write(module.WorkDb); !wrote) {
            module.CloseWorkDb();
            return wrote;
        }
        m_unwritten.reset();
    }
    for (const JournalMultiplier::Step step : m_steps) {
        if (step == JournalMultiplier::Step::Apply)
            JournalBuilder::applyMultiplier(module);
        else
            JournalBuilder::removeMultiplier(module);
    }
    m_steps.clear();
    module.CloseWorkDb();
    return {};
}
