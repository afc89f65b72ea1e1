#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <deque>

// Answers the program's real message boxes from a timer, as the operator would:
// records each box's text and presses the next scripted button, else its default.
// For tests where the box itself (its focus, its event loop) is part of what is tested.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer()
    {
        m_timer.callOnTimeout([this] { answer(); });
        m_timer.start(20);
    }

    QStringList texts;
    std::deque<QMessageBox::StandardButton> buttons;

private:
    void answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts << box->text();
        QAbstractButton* button =
            buttons.empty() ? static_cast<QAbstractButton*>(box->defaultButton()) : box->button(buttons.front());
        if (!buttons.empty())
            buttons.pop_front();
        if (button)
            button->click();
        else
            box->done(0);
    }

    QTimer m_timer;
};
