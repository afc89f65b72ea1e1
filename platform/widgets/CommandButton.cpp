#include "platform/widgets/CommandButton.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

// Enter on a focused button presses it, as Space does; a button that is never the
// dialog's default does not do that by itself.
class CommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

} // namespace

QPushButton* makeCommandButton(QWidget* parent, const char* objectName, const QString& caption, const QString& toolTip)
{
    auto* button = new CommandButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    return button;
}
