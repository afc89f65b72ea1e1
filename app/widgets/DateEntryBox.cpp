#include "app/widgets/DateEntryBox.h"

#include "app/DateEntry.h"

#include <QLineEdit>

namespace DateEntryBox {
namespace {

void apply(QLineEdit& box, Messenger& messenger, const DateEntry::Outcome& outcome)
{
    if (box.text() != outcome.text)
        box.setText(outcome.text);
    if (outcome.message)
        messenger.tell(outcome.message->text, outcome.message->title, outcome.message->icon);
    if (outcome.refocus)
        box.setFocus(Qt::OtherFocusReason);
}

} // namespace

void CheckDateEntry(QLineEdit& box, Messenger& messenger)
{
    apply(box, messenger, DateEntry::CheckDateEntry(box.text()));
}

void CompleteDateEntry(QLineEdit& box, Messenger& messenger)
{
    apply(box, messenger, DateEntry::CompleteDateEntry(box.text()));
}

} // namespace DateEntryBox
