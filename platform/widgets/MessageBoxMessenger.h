#pragma once

#include "platform/Messenger.h"

class QWidget;

// Messages as the operator sees them: modal QMessageBoxes over the active window.
class MessageBoxMessenger : public Messenger {
public:
    Answer ask(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
};
