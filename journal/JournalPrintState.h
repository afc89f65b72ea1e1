#pragma once

#include "platform/Messenger.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// What the print command hands the printed journal: the rows to print and the
// screen's layout, so that the paper looks like the grid.
struct JournalPrintState {
    static constexpr int ColumnCount = 10;

    // trow numbers are 32-bit, so journals beyond 32,767 rows print too.
    int32_t PrintFirstRow = 0;
    int32_t PrintLastRow = -1;
    QString PrintHeaderText; // the journal window's account header
    std::array<float, ColumnCount> PrintColWidth{}; // grid columns 0 to 9, twips; 0 = hidden
    float PrintRowHeight = 0; // twips; 0 = one line
    std::optional<Messenger::Answer> PrintAnswer; // none when nothing was asked

    // The grid's widths as the journal window's load sets them.
    static std::array<float, ColumnCount> defaultColumnWidths(bool showPrevReadings)
    {
        return {1000, 1000, 800, showPrevReadings ? 2200.0f : 3100.0f, showPrevReadings ? 900.0f : 0.0f, 900, 800,
                900,  900,  900};
    }
};
