#pragma once

#include "platform/Messenger.h"

#include <QList>
#include <QString>
#include <deque>

// Records every message and answers questions from a script (Ok / Yes by default).
class FakeMessenger : public Messenger {
public:
    struct Message {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
    };

    Answer ask(const QString& text, const QString& title, Icon icon, Buttons buttons) override
    {
        messages.append({text, title, icon, buttons});
        if (!answers.empty()) {
            const Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Message& m : messages)
            result << m.text;
        return result;
    }

    QList<Message> messages;
    std::deque<Answer> answers;
};
