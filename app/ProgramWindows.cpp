#include "app/ProgramWindows.h"

#include "app/HistoryModule.h"
#include "journal/frmHistory.h"
#include "platform/Messenger.h"
#include "selection/frmHistorySelect.h"

void ProgramWindows::showJournal(HistoryModule& module)
{
    frmHistory journal(module, m_messenger);
    journal.showModal();
}

bool ProgramWindows::showSelection(HistoryModule& module)
{
    frmHistorySelect selection(module, m_messenger);
    return selection.showModal();
}
