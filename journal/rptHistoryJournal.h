#pragma once

#include "journal/JournalPrintState.h"
#include "platform/BandedReport.h"

#include <QStringList>
#include <optional>
#include <vector>

class HistoryModule;
class SqlConnection;

// The printed journal: the rows of jurn from PrintFirstRow to PrintLastRow under the
// company title and the account header, columns as wide as the journal grid's.
class rptHistoryJournal {
public:
    static constexpr int FirstColumnLeft = 630;

    static QString caption() { return QStringLiteral("Customer History Journal"); }

    // The report's layout for the print state, without rows.
    static BandedReport layout(const QString& companyTitle, const JournalPrintState& state);
    // ReportStart: the layout and the rows, read from the scratch database into
    // `report`; the reason when the scratch database cannot be read.
    static Outcome ReportStart(const HistoryModule& module, const JournalPrintState& state, BandedReport& report);
    // The printed values of jurn rows first..last, dates as the suite's short date.
    static std::vector<QStringList> readRows(SqlConnection& work, int32_t first, int32_t last);

    // The report written straight to a PDF file.
    static Outcome writePdf(const HistoryModule& module, const JournalPrintState& state, const QString& path,
                            int* pages = nullptr);

private:
    static ReportBand pageHeader(const QString& companyTitle, const JournalPrintState& state);
    static ReportBand detail(const JournalPrintState& state);
};
