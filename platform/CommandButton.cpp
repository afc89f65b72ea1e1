#include "platform/CommandButton.h"

#include <QPushButton>

QPushButton* makeCommandButton(QWidget* parent, const char* objectName, const QString& caption, const QString& toolTip)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    return button;
}
