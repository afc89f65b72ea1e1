#pragma once

#include "platform/Messenger.h"

#include <QDate>
#include <QString>
#include <optional>

// Completion of typed dates ("0517", "91517", "1/5/17") to mm/dd/yyyy. Pure: the
// outcome says what the box should hold and what to tell the operator; the
// windows apply it to their text box (DateEntryBox).
namespace DateEntry {

struct Message {
    QString text;
    QString title;
    Messenger::Icon icon = Messenger::Icon::None;
};

struct Outcome {
    QString text; // what the box holds afterwards
    std::optional<Message> message; // shown once the text is set
    bool refocus = false; // give the focus back to the box
};

// Both take `today` for dates typed without a year ("5/4" is May 4 of today's year).

// The comment dialog's check: four (mmyy) and six (mmddyy) digit forms; a blank
// entry is left alone; composed forms are not validated again.
Outcome CheckDateEntry(const QString& text, const QDate& today = QDate::currentDate());

// The reading grid's completion: four- to eight-character forms; the result must
// be a date, a blank entry included, or the box is emptied.
Outcome CompleteDateEntry(const QString& text, const QDate& today = QDate::currentDate());

// A date by the suite's month/day/year (or stored ISO) reading, or a month/day of
// today's year.
std::optional<QDate> typedDate(const QString& text, const QDate& today);
bool isDate(const QString& text, const QDate& today = QDate::currentDate());

} // namespace DateEntry
