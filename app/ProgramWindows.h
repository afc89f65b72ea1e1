#pragma once

#include "app/Main.h"

class Messenger;

// The real start windows, shown modally.
class ProgramWindows : public StartWindows {
public:
    explicit ProgramWindows(Messenger& messenger) : m_messenger(messenger) {}
    void showJournal(HistoryModule& module) override;
    bool showSelection(HistoryModule& module) override;

private:
    Messenger& m_messenger;
};
