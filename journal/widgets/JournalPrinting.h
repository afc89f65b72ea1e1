#pragma once

#include "journal/JournalModel.h"
#include "journal/JournalPrintState.h"
#include "journal/JournalSettings.h"

#include <optional>
#include <vector>

class HistoryModule;
class Messenger;
class QWidget;

// The journal window's Print command: which rows, then the printed journal in the
// preview. The window supplies its header text, column widths and row height.
class JournalPrinting {
public:
    // `state` carries PrintHeaderText, PrintColWidth and PrintRowHeight; the rows to
    // print and the answer are chosen here. `selectedRows` in selection order. Returns
    // the row the grid's current row should move to, if the choice moved it.
    static std::optional<int> cmdPrint(HistoryModule& module, Messenger& messenger, JournalPrintState& state,
                                       const std::vector<int>& selectedRows, const PrintRange& range,
                                       const std::vector<JournalRow>& rows, QWidget* parent);

    // Shows the printed journal for the state's rows modally in the preview.
    static void print(HistoryModule& module, Messenger& messenger, const JournalPrintState& state, QWidget* parent);
};
