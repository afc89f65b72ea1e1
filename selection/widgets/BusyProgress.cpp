#include "selection/widgets/BusyProgress.h"

#include <QApplication>
#include <QProgressDialog>

namespace {
constexpr int repaintEveryMs = 50;
}

BusyProgress::BusyProgress(QWidget* parent, const QString& label) : m_parent(parent), m_label(label)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_started.start();
    m_lastPaint.start();
}

BusyProgress::~BusyProgress()
{
    delete m_dialog;
    QApplication::restoreOverrideCursor();
}

void BusyProgress::tick()
{
    if (m_lastPaint.elapsed() < repaintEveryMs)
        return;
    m_lastPaint.restart();
    if (!m_dialog && m_started.elapsed() >= ShowAfterMs) {
        // No cancel: the list is built once and the window needs all of it.
        m_dialog = new QProgressDialog(m_label, QString(), 0, 0, m_parent);
        m_dialog->setObjectName(QStringLiteral("BuildProgress"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->show();
    }
    if (m_dialog)
        m_dialog->setValue(0);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
