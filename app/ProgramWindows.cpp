#include "app/ProgramWindows.h"

#include "app/HistoryModule.h"
#include "journal/frmHistory.h"
#include "platform/Messenger.h"

void ProgramWindows::showJournal(HistoryModule& module)
{
    frmHistory journal(module, m_messenger);
    journal.Form_Load();
    journal.exec();
}

void ProgramWindows::showSelection(HistoryModule&)
{
    m_messenger.tell(QStringLiteral("Start ledview with an account as CUSTKEY-LOCKEY."), QStringLiteral("NOTHING TO DO"),
                     Messenger::Icon::Information);
}
