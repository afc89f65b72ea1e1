#include "journal/widgets/JournalPrinting.h"

#include "app/HistoryModule.h"
#include "journal/JournalPrintRange.h"
#include "journal/rptHistoryJournal.h"
#include "platform/Messenger.h"
#include "platform/widgets/ReportPreview.h"

std::optional<int> JournalPrinting::cmdPrint(HistoryModule& module, Messenger& messenger, JournalPrintState& state,
                                             const std::vector<int>& selectedRows, const PrintRange& range,
                                             const std::vector<JournalRow>& rows, QWidget* parent)
{
    std::optional<int> currentRow;
    if (!JournalPrintRange::decide(messenger, selectedRows, range, rows, state, &currentRow))
        return std::nullopt;
    print(module, messenger, state, parent);
    return currentRow;
}

void JournalPrinting::print(HistoryModule& module, Messenger& messenger, const JournalPrintState& state,
                            QWidget* parent)
{
    BandedReport report;
    if (const Outcome started = rptHistoryJournal::ReportStart(module, state, report); !started) {
        messenger.tell(QStringLiteral("The journal cannot be printed: %1").arg(started.message()),
                       QStringLiteral("CANNOT PRINT"), Messenger::Icon::Critical);
        return;
    }
    ReportPreview::exec(report, messenger, parent);
}
