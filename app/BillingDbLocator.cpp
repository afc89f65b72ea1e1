#include "app/BillingDbLocator.h"

#include "app/HistoryModule.h"
#include "app/Main.h"

namespace BillingDbLocator {

BillingDbLocation locate(const QString& suiteFolder)
{
    // The program's own reading of global.mdb, so both word a broken suite alike.
    HistoryModule module;
    module.ProgramFolder = suiteFolder;
    BillingDbLocation result;
    result.error = Main::configurationProblem(module);
    if (result.ok()) {
        result.path = module.BillingDbPath;
        result.companyName = module.CompanyTitle;
    }
    return result;
}

} // namespace BillingDbLocator
