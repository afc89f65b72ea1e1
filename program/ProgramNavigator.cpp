#include "program/ProgramNavigator.h"

#include "app/HistoryModule.h"
#include "journal/widgets/frmHistory.h"
#include "journal/widgets/frmHistoryComment.h"
#include "readings/widgets/frmUncomputedReadings.h"
#include "selection/widgets/frmHistorySelect.h"

void ProgramNavigator::openJournal(HistoryModule& module)
{
    frmHistory journal(module, m_messenger, *this);
    journal.showModal();
}

bool ProgramNavigator::openSelection(HistoryModule& module)
{
    frmHistorySelect selection(module, m_messenger, *this);
    return selection.showModal();
}

void ProgramNavigator::openReadings(HistoryModule& module, QWidget* parent)
{
    frmUncomputedReadings readings(module, m_messenger, parent);
    readings.showModal();
}

void ProgramNavigator::openComment(HistoryModule& module, QWidget* parent)
{
    frmHistoryComment comment(module, m_messenger, parent);
    comment.showModal();
}
