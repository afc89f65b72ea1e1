#include "BenchSuites.h"

#include "demosuite/DemoSuite.h"

#include <QDir>
#include <QTemporaryDir>
#include <map>
#include <stdexcept>
#include <unistd.h>

namespace {

QTemporaryDir& root()
{
    static QTemporaryDir dir;
    return dir;
}

DemoSummary writeSuite(const QString& name, const DemoOptions& options)
{
    const QString folder = QDir(root().path()).filePath(name);
    DemoSummary summary = DemoSuite::write(folder, options);
    if (!summary.outcome.ok())
        throw std::runtime_error(summary.outcome.message().toStdString());
    return summary;
}

} // namespace

namespace BenchSuites {

Account journalSuite(int journalRows, int codes)
{
    static std::map<std::pair<int, int>, Account> made;
    Account& account = made[{journalRows, codes}];
    if (account.folder.isEmpty()) {
        DemoOptions options;
        options.locations = 20;
        options.years = 0;
        options.bigJournals = {journalRows};
        options.bigJournalCodes = codes;
        const QString name = QStringLiteral("journal%1-%2").arg(journalRows).arg(codes);
        const DemoSummary summary = writeSuite(name, options);
        account = {QDir(root().path()).filePath(name), summary.bigAccounts.value(0)};
    }
    return account;
}

QString listSuite(int locations)
{
    static std::map<int, QString> made;
    QString& folder = made[locations];
    if (folder.isEmpty()) {
        DemoOptions options;
        options.locations = locations;
        options.years = 0;
        const QString name = QStringLiteral("list%1").arg(locations);
        writeSuite(name, options);
        folder = QDir(root().path()).filePath(name);
        // Written out before any timing, so the first build does not share the disk.
        ::sync();
    }
    return folder;
}

} // namespace BenchSuites
