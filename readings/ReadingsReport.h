#pragma once

#include "platform/BandedReport.h"
#include "readings/MRGridTable.h"

#include <vector>

// The printed meter readings of one location, read from MRGrid: company and account
// in the title, one line per reading, page numbers at the foot.
class ReadingsReport {
public:
    static QString caption() { return QStringLiteral("Meter Readings"); }

    enum class Outcome { Ready, NothingToPrint, Failed };
    struct Prepared {
        Outcome outcome = Outcome::Failed;
        BandedReport report;
        ::Outcome fault; // why it Failed
    };

    // The Print command's data work: the readings copied into MRGrid, then the report
    // over MRGrid. An empty list leaves MRGrid empty and nothing to print.
    static Prepared prepare(const QString& programFolder, const QString& companyTitle, const QString& accNo,
                            const QString& lookupName, const std::vector<MRGridTable::Reading>& readings);

    static BandedReport build(const QString& companyTitle, const QString& accNo, const QString& lookupName,
                              const std::vector<MRGridTable::Row>& rows);
    // The printed values of one MRGrid row, dates as the suite's short date.
    static QStringList values(const MRGridTable::Row& row);
};
