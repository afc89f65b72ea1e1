#include "app/widgets/SuiteWindow.h"

#include "platform/Twips.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>

SuiteWindow::SuiteWindow(HistoryModule& module, Messenger& messenger, const QString& formName, QWidget* parent)
    : QDialog(parent)
    , m_module(module)
    , m_messenger(messenger)
{
    setObjectName(formName);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &SuiteWindow::focusWindowChanged);
}

bool SuiteWindow::showModal()
{
    if (!Form_Load())
        return false;
    exec();
    return true;
}

void SuiteWindow::done(int result)
{
    if (!m_unloaded) {
        if (!Form_QueryUnload())
            return;
        m_unloaded = true;
        Form_Unload();
    }
    QDialog::done(result);
}

int SuiteWindow::twipsToPixels(double twips) const
{
    return Twips::toPixels(twips, logicalDpiX());
}

int SuiteWindow::pixelsToTwips(int pixels) const
{
    return Twips::fromPixels(pixels, logicalDpiX());
}

bool SuiteWindow::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::Show && !m_unloaded) {
        m_activationPending = true;
        m_waitForActive = false;
        queueActivation();
    } else if (event->type() == QEvent::WindowActivate && m_activationPending)
        queueActivation();
    return handled;
}

void SuiteWindow::activateWhenActive()
{
    m_otherWindowWasActive = false;
    m_activationPending = true;
    m_waitForActive = true;
    runPendingActivation();
}

void SuiteWindow::queueActivation()
{
    // Activation runs once the window is up, not inside the show or the event that
    // made it active.
    if (m_activationQueued)
        return;
    m_activationQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_activationQueued = false;
        runPendingActivation();
    });
}

void SuiteWindow::runPendingActivation()
{
    if (!m_activationPending || m_unloaded || !isVisible() || (m_waitForActive && !isActiveWindow()))
        return;
    // A window manager may hand us an activation while a message box of ours is up;
    // the window itself is not back until the box is gone.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != this)
        return;
    m_activationPending = false;
    Form_Activate();
}

void SuiteWindow::focusWindowChanged(QWindow* window)
{
    if (!window || !isVisible())
        return;
    if (window == windowHandle()) {
        if (m_otherWindowWasActive)
            activateWhenActive();
        return;
    }
    // Coming back from another window of the program is an activation; a message
    // box or a wait is no window of its own and must not reload under an edit.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top != this && top->windowHandle() == window && qobject_cast<QDialog*>(top)
            && !qobject_cast<QMessageBox*>(top) && !qobject_cast<QProgressDialog*>(top))
            m_otherWindowWasActive = true;
    }
}
