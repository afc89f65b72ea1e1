#include "cli/BillingDbLocator.h"

#include "app/SuiteFolder.h"
#include "cli/SqliteDb.h"

#include <QFileInfo>

namespace BillingDbLocator {

BillingDbLocation locate(const QString& suiteFolder)
{
    BillingDbLocation result;
    const QString globalPath = SuiteFolder::findFile(suiteFolder, QStringLiteral("global.mdb"));
    if (globalPath.isEmpty()) {
        result.error = QStringLiteral("The configuration database %1/global.mdb cannot be found!").arg(suiteFolder);
        return result;
    }
    SqliteDb db;
    if (!db.open(globalPath, false)) {
        result.error = db.lastError();
        return result;
    }
    auto query = db.prepare("select databasepath, DatabaseFileName, CompanyName from current limit 1");
    const bool hasRow = query.next();
    if (!query.isValid() || query.failed()) {
        result.error = QStringLiteral("%1: %2").arg(globalPath, db.lastError());
        return result;
    }
    if (!hasRow || query.isNull(0) || query.isNull(1)) {
        result.error = QStringLiteral("%1: table current names no billing database").arg(globalPath);
        return result;
    }
    result.path = query.text(0) + QLatin1Char('/') + query.text(1);
    result.companyName = query.text(2);
    if (!QFileInfo::exists(result.path))
        result.error = QStringLiteral("Your database %1 cannot be found!").arg(result.path);
    return result;
}

} // namespace BillingDbLocator
