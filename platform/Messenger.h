#pragma once

#include <QString>

// The one way the program speaks to the operator: message boxes and questions.
// The program shows them with QMessageBox; tests record them and script the answers.
class Messenger {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Messenger() = default;
    virtual Answer ask(const QString& text, const QString& title, Icon icon, Buttons buttons) = 0;

    void tell(const QString& text, const QString& title, Icon icon = Icon::None)
    {
        ask(text, title, icon, Buttons::Ok);
    }
};
