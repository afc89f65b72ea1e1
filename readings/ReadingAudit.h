#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

// The values of the reading row the operator is on, remembered so that a change
// can be described, and the audit text of one changed cell.
class ReadingAudit {
public:
    QString OldCode;
    QString OldReadDate;
    QString OldBillDate;
    double OldPrevious = 0;
    double OldPresent = 0;
    double OldUsage = 0;
    double OldMultiplier = 0;
    int32_t OldTenants = 0;
    QString OldEntryDate;

    // Takes the values from the row's cells as the grid shows them: dates that are
    // no date become "UNKNOWN", numbers their leading numeric value.
    void remember(const std::function<QString(int column)>& cell);

    // The audit text for the column's new text, or nothing when the column is not
    // audited or its value did not change.
    std::optional<QString> describe(int column, const QString& newText, const QString& billDateText,
                                    const QString& account) const;
};
