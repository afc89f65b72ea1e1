#pragma once

class Messenger;
class QLineEdit;

// Applies the date completion of DateEntry to a text box in place: new text,
// the message if any, and for CheckDateEntry the focus back in the box.
namespace DateEntryBox {

void CheckDateEntry(QLineEdit& box, Messenger& messenger);
void CompleteDateEntry(QLineEdit& box, Messenger& messenger);

} // namespace DateEntryBox
