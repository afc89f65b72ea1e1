#pragma once

#include <QElapsedTimer>
#include <QString>

class QProgressDialog;
class QWidget;

// Long work on the window's thread: a busy cursor at once and, once the work has
// run past a second, a progress window that keeps moving, so nothing looks frozen.
// tick() is called from inside the work now and then.
class BusyProgress {
public:
    BusyProgress(QWidget* parent, const QString& label);
    ~BusyProgress();
    BusyProgress(const BusyProgress&) = delete;
    BusyProgress& operator=(const BusyProgress&) = delete;

    void tick();
    bool progressShown() const { return m_dialog != nullptr; }

    static constexpr int ShowAfterMs = 1000;

private:
    QWidget* m_parent;
    QString m_label;
    QElapsedTimer m_started;
    QElapsedTimer m_lastPaint;
    QProgressDialog* m_dialog = nullptr;
};
