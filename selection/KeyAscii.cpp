#include "selection/KeyAscii.h"

#include <QKeyEvent>

int KeyAscii::of(const QKeyEvent* key)
{
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return 13;
    if (key->key() == Qt::Key_Backspace)
        return 8;
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->text().isEmpty())
        return 0;
    return key->text().front().unicode();
}
