#include "readings/widgets/ReadingsPrinting.h"

#include "app/HistoryModule.h"
#include "platform/SqlConnection.h"
#include "platform/Messenger.h"
#include "platform/widgets/ReportPreview.h"
#include "readings/ReadingsReport.h"

bool ReadingsPrinting::cmdPrint(const HistoryModule& module, Messenger& messenger,
                                const std::vector<MRGridTable::Reading>& readings, const QString& accNo,
                                const QString& lookupName, QWidget* parent)
{
    const ReadingsReport::Prepared prepared =
        ReadingsReport::prepare(module.ProgramFolder, module.CompanyTitle, accNo, lookupName, readings);
    switch (prepared.outcome) {
    case ReadingsReport::Outcome::Failed:
        messenger.tell(prepared.fault.message(), QStringLiteral("CANNOT PRINT"), Messenger::Icon::Critical);
        return false;
    case ReadingsReport::Outcome::NothingToPrint:
        messenger.tell(QStringLiteral("There are no readings to print."), QStringLiteral("NOTHING TO PRINT"),
                       Messenger::Icon::Information);
        return false;
    case ReadingsReport::Outcome::Ready: break;
    }
    ReportPreview::exec(prepared.report, messenger, parent);
    return true;
}

bool ReadingsPrinting::cmdPrint(const HistoryModule& module, Messenger& messenger, const QString& accNo,
                                const QString& lookupName, QWidget* parent)
{
    SqlConnection billing = module.openBilling();
    if (!billing.isOpen()) {
        messenger.tell(billing.outcome().message(), QStringLiteral("CANNOT PRINT"), Messenger::Icon::Critical);
        return false;
    }
    const std::vector<MRGridTable::Reading> readings = MRGridTable::readBilling(billing, module.CustKey, module.LocKey);
    billing.close();
    return cmdPrint(module, messenger, readings, accNo, lookupName, parent);
}
