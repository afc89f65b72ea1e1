#pragma once

#include "app/Navigator.h"

class Messenger;

// The program's windows, the real ones: each made, loaded and shown modally.
class ProgramNavigator : public Navigator {
public:
    explicit ProgramNavigator(Messenger& messenger) : m_messenger(messenger) {}
    void openJournal(HistoryModule& module) override;
    bool openSelection(HistoryModule& module) override;
    void openReadings(HistoryModule& module, QWidget* parent) override;
    void openComment(HistoryModule& module, QWidget* parent) override;

private:
    Messenger& m_messenger;
};
