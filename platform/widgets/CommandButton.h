#pragma once

#include <QString>

class QPushButton;
class QWidget;

// A window's command button as the suite's windows have them: named for tests and
// accessibility tools, with its tooltip, and never the default button (Enter belongs
// to the control that has the focus).
QPushButton* makeCommandButton(QWidget* parent, const char* objectName, const QString& caption,
                               const QString& toolTip = {});
