#pragma once

#include "readings/BillRequest.h"

class HistoryModule;
class Messenger;
class QWidget;

// Runs a bill request for the readings window: writes the request, starts the
// meter-entry program, waits for its done marker with the window kept painted, a
// Cancel button and a time-out, tells the operator the outcome and removes the marker.
class BillComputation {
public:
    enum class Outcome { Refused, Done, CannotStart, Failed, TimedOut, Cancelled };

    explicit BillComputation(Messenger& messenger, int timeoutSeconds = 300);
    Outcome run(const QString& programFolder, const BillRequest::Request& request, QWidget* parent);

private:
    Outcome wait(const QString& programFolder, qint64 pid, QWidget* parent);
    void cannotCompute(const QString& text);

    Messenger& m_messenger;
    int m_timeoutSeconds;
};
