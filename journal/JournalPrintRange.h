#pragma once

#include "journal/JournalModel.h"
#include "journal/JournalPrintState.h"
#include "journal/JournalSettings.h"
#include "platform/Messenger.h"

#include <optional>
#include <vector>

// Which journal rows the print command prints: the operator's selection, the whole
// journal, or the rows posted within the print-range file's dates.
class JournalPrintRange {
public:
    struct Choice {
        int32_t first = 0;
        int32_t last = -1; // below `first` when the range holds no row
        std::optional<int> currentRow; // where the grid's current row is left, if moved
    };

    // `selectedRows` in the order the operator selected them; `answer` to "Print just
    // the selected history records?" (asked only when rows are selected). Nothing
    // for Cancel.
    static std::optional<Choice> choose(const std::vector<int>& selectedRows, std::optional<Messenger::Answer> answer,
                                        const PrintRange& range, const std::vector<JournalRow>& rows);

    // The date range found by walking the journal backwards from its last row.
    static Choice walkDateRange(const PrintRange& range, const std::vector<JournalRow>& rows);

    // Asks the question when rows are selected and fills the state's answer and rows;
    // false when the operator cancelled.
    static bool decide(Messenger& messenger, const std::vector<int>& selectedRows, const PrintRange& range,
                       const std::vector<JournalRow>& rows, JournalPrintState& state,
                       std::optional<int>* currentRow = nullptr);
};
