#include "readings/BillComputation.h"

#include "platform/Messenger.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QThread>

#include <signal.h>

namespace {

bool processRunning(qint64 pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

} // namespace

BillComputation::BillComputation(Messenger& messenger, int timeoutSeconds)
    : m_messenger(messenger)
    , m_timeoutSeconds(timeoutSeconds)
{
}

void BillComputation::cannotCompute(const QString& text)
{
    m_messenger.tell(text, QStringLiteral("CANNOT COMPUTE"), Messenger::Icon::Information);
}

BillComputation::Outcome BillComputation::run(const QString& programFolder, const BillRequest::Request& request,
                                              QWidget* parent)
{
    Outcome outcome = Outcome::Refused;
    QString error;
    const QString program = BillRequest::meterEntryProgram(programFolder);
    if (!BillRequest::canCompute(request)) {
        cannotCompute(QStringLiteral("New bill cannot be computed at this time..."));
    } else if (program.isEmpty()) {
        outcome = Outcome::CannotStart;
        cannotCompute(QStringLiteral("The meter-entry program entmeter cannot be found in ") + programFolder + '.');
    } else if (!BillRequest::writeRequest(programFolder, request, error)) {
        outcome = Outcome::CannotStart;
        cannotCompute(error);
    } else {
        // A marker left by an earlier run would announce a bill nobody computed.
        BillRequest::removeDoneMarker(programFolder);
        qint64 pid = 0;
        // Started on its own: it must live on even when this window closes first.
        if (!QProcess::startDetached(program, {QStringLiteral("cor")}, programFolder, &pid)) {
            outcome = Outcome::CannotStart;
            cannotCompute(QStringLiteral("The meter-entry program ") + program + QStringLiteral(" could not be started."));
        } else {
            outcome = wait(programFolder, pid, parent);
        }
    }
    BillRequest::removeDoneMarker(programFolder);
    return outcome;
}

BillComputation::Outcome BillComputation::wait(const QString& programFolder, qint64 pid, QWidget* parent)
{
    QProgressDialog progress(QStringLiteral("Waiting for the meter-entry program to compute the bill..."),
                             QStringLiteral("&Cancel"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("computeProgress"));
    progress.setWindowTitle(QStringLiteral("COMPUTING"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const QDeadlineTimer deadline{std::chrono::seconds(m_timeoutSeconds)};
    // A program that has ended may still have left the marker a moment ago.
    int checksAfterExit = 0;
    while (!BillRequest::isDone(programFolder)) {
        if (progress.wasCanceled()) {
            m_messenger.tell(QStringLiteral("The wait for the meter-entry program was cancelled. The bill may still "
                                            "be computed; look at the journal before asking again."),
                             QStringLiteral("CANCELLED"), Messenger::Icon::Warning);
            return Outcome::Cancelled;
        }
        if (deadline.hasExpired()) {
            cannotCompute(QStringLiteral("The meter-entry program did not finish within %1 seconds.")
                              .arg(m_timeoutSeconds));
            return Outcome::TimedOut;
        }
        if (!processRunning(pid) && ++checksAfterExit > 10) {
            cannotCompute(QStringLiteral("The meter-entry program ended without computing the bill."));
            return Outcome::Failed;
        }
        progress.setValue(0);
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    progress.close();
    m_messenger.tell(QStringLiteral("New bill has been computed."), QStringLiteral("DONE"), Messenger::Icon::Information);
    return Outcome::Done;
}
