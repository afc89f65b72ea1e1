#pragma once

class HistoryModule;
class QWidget;

// The one way a window opens another: windows receive it by reference, so no
// feature opens another feature's windows itself. Each call shows its window
// modally and returns when it has closed.
class Navigator {
public:
    virtual ~Navigator() = default;

    // The journal of module.CustKey / LocKey.
    virtual void openJournal(HistoryModule& module) = 0;
    // The account list; false when it could not be built (the operator has been told why).
    virtual bool openSelection(HistoryModule& module) = 0;
    // Every meter reading of the account's location.
    virtual void openReadings(HistoryModule& module, QWidget* parent) = 0;
    // Adds a history comment, or deletes the current one (module.CommentDeleteMode).
    virtual void openComment(HistoryModule& module, QWidget* parent) = 0;
};
