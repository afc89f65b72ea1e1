#include "readings/widgets/BillComputation.h"

#include "platform/Messenger.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QThread>

#include <signal.h>
#include <unistd.h>

namespace {

bool processRunning(qint64 pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

// Ends the program this window started, and whatever it started in turn: it runs in
// a session of its own, so its process group holds nothing else. Asked first, then made.
void endProgram(qint64 pid)
{
    const pid_t group = ::getpgid(static_cast<pid_t>(pid));
    const bool ownGroup = group > 1 && group != ::getpgrp();
    const auto signal = [&](int number) {
        if (ownGroup)
            ::kill(-group, number);
        else
            ::kill(static_cast<pid_t>(pid), number);
    };
    signal(SIGTERM);
    const QDeadlineTimer grace(2000);
    while (processRunning(pid) && !grace.hasExpired())
        QThread::msleep(20);
    signal(SIGKILL);
}

} // namespace

BillComputation::BillComputation(Messenger& messenger, int timeoutSeconds)
    : m_messenger(messenger)
    , m_timeoutSeconds(timeoutSeconds)
{}

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
    } else if (request.billDate.trimmed().isEmpty()) {
        cannotCompute(QStringLiteral("There is no reading with a bill date to compute a bill for."));
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
        QProcess process;
        process.setProgram(program);
        process.setArguments({QStringLiteral("cor")});
        process.setWorkingDirectory(programFolder);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        if (!process.startDetached(&pid)) {
            outcome = Outcome::CannotStart;
            cannotCompute(QStringLiteral("The meter-entry program ") + program
                          + QStringLiteral(" could not be started."));
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
        // Given up on, the program is ended: finishing later, it would leave its
        // marker for the next request's wait.
        if (progress.wasCanceled()) {
            endProgram(pid);
            progress.close();
            m_messenger.tell(QStringLiteral("The wait for the meter-entry program was cancelled and the program "
                                            "was ended. Look at the journal before asking again."),
                             QStringLiteral("CANCELLED"), Messenger::Icon::Warning);
            return Outcome::Cancelled;
        }
        if (deadline.hasExpired()) {
            endProgram(pid);
            progress.close();
            cannotCompute(QStringLiteral("The meter-entry program did not finish within %1 seconds and was ended.")
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
    m_messenger.tell(
        QStringLiteral("New bill has been computed."), QStringLiteral("DONE"), Messenger::Icon::Information);
    return Outcome::Done;
}
