#pragma once

#include "app/Navigator.h"

#include <QStringList>
#include <functional>

// Records the windows asked for instead of opening them, for tests whose window
// under test opens one that is not; whileOpen stands for the time it would be open.
class RecordingNavigator : public Navigator {
public:
    void openJournal(HistoryModule& module) override { record("journal", module); }
    bool openSelection(HistoryModule& module) override
    {
        record("selection", module);
        return true;
    }
    void openReadings(HistoryModule& module, QWidget*) override { record("readings", module); }
    void openComment(HistoryModule& module, QWidget*) override { record("comment", module); }

    QStringList opened;
    std::function<void(HistoryModule&)> whileOpen;

private:
    void record(const char* window, HistoryModule& module)
    {
        opened << QString::fromLatin1(window);
        if (whileOpen)
            whileOpen(module);
    }
};
