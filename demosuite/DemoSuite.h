#pragma once

#include "platform/Outcome.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

struct DemoOptions {
    int64_t locations = 1500;
    int years = 6;
    uint64_t seed = 1;
    // Extra accounts with journals of about these many rows each, for measuring.
    std::vector<int> bigJournals;
    int bigJournalCodes = 20;
    // The ledview-cli that the stand-in meter-entry script calls; when empty the
    // script relies on $LEDVIEW_CLI or ledview-cli on the PATH.
    QString cliProgram;
};

struct DemoSummary {
    Outcome outcome;
    QString billingPath;
    int64_t locations = 0;
    int64_t customers = 0;
    int64_t rows = 0; // every row written to the billing database
    QStringList sampleAccounts; // "custkey-lockey" of accounts worth opening
    QStringList bigAccounts; // "custkey-lockey" of each big journal, in the order asked
};

// Writes a complete demo suite folder: global.mdb, the billing database, tuid.txt,
// reports/emptdata.mdb and a stand-in meter-entry program. The data depend only on
// the options, never on the clock.
class DemoSuite {
public:
    static constexpr const char* kBillingFileName = "billing.mdb";
    static constexpr const char* kCompanyName = "Riverside Water & Light";

    static DemoSummary write(const QString& folder, const DemoOptions& options);
};
