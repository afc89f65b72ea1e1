#pragma once

#include "readings/MRGridTable.h"

#include <QString>
#include <vector>

class HistoryModule;
class Messenger;
class QWidget;

// The readings window's Print command: the readings go to MRGrid and the readings
// report is shown modally; an empty list prints nothing and says so.
class ReadingsPrinting {
public:
    // True when the report was shown (and has been closed again).
    static bool cmdPrint(const HistoryModule& module, Messenger& messenger,
                         const std::vector<MRGridTable::Reading>& readings, const QString& accNo,
                         const QString& lookupName, QWidget* parent);
    // The same for every reading of the module's account, read from the billing
    // database (the grid writes its edits there at once, so this is what it shows).
    static bool cmdPrint(const HistoryModule& module, Messenger& messenger, const QString& accNo,
                         const QString& lookupName, QWidget* parent);
};
