#include "selection/widgets/KeyAscii.h"

#include <QKeyEvent>

int KeyAscii::of(const QKeyEvent* key)
{
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return 13;
    if (key->key() == Qt::Key_Backspace)
        return 8;
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->text().isEmpty())
        return 0;
    // Delete arrives as U+007F and some keyboards give other unprintable codes for
    // editing and function keys: none of them types a character.
    const QChar first = key->text().front();
    if (first.unicode() >= 32 && !first.isPrint())
        return 0;
    return first.unicode();
}
