#pragma once

#include <QDialog>

class HistoryModule;
class Messenger;
class QWindow;

// The life cycle every window of the suite shares: Form_Load before it is shown,
// Form_Activate once per real activation, Form_Unload once as it closes; and the
// twips its layouts are written in.
class SuiteWindow : public QDialog {
    Q_OBJECT
public:
    // Loads the window, shows it modally and returns once it has closed; false when
    // the load failed (the operator has been told why) and it was not shown.
    bool showModal();

    // Run before showing; false when the window cannot be shown.
    virtual bool Form_Load() { return true; }

    void done(int result) override;

protected:
    // The window's objectName is its form name, by which tests and tools find it.
    SuiteWindow(HistoryModule& module, Messenger& messenger, const QString& formName, QWidget* parent);

    // Runs once the window is up, and again each time it is active after another
    // window of the program: not after its own message boxes or waits.
    virtual void Form_Activate() {}
    // Asked before closing; false keeps the window open.
    virtual bool Form_QueryUnload() { return true; }
    // Runs once, as the window closes.
    virtual void Form_Unload() {}

    // After a window this one opened has closed: Form_Activate runs now when the
    // window is active, else once it is, however late the window manager grants it.
    void activateWhenActive();
    bool isUnloaded() const { return m_unloaded; }

    int twipsToPixels(double twips) const;
    int pixelsToTwips(int pixels) const;

    bool event(QEvent* event) override;

    HistoryModule& m_module;
    Messenger& m_messenger;

private:
    void queueActivation();
    void runPendingActivation();
    void focusWindowChanged(QWindow* window);

    bool m_activationPending = false;
    bool m_activationQueued = false;
    bool m_waitForActive = false;
    bool m_otherWindowWasActive = false;
    bool m_unloaded = false;
};
