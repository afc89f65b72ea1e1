#include "app/DateEntry.h"

#include "platform/DateText.h"

namespace DateEntry {
namespace {

const QString invalidDate = QStringLiteral("Invalid Date");

QString slashed(const QString& month, const QString& day, const QString& year)
{
    return month + QLatin1Char('/') + day + QLatin1Char('/') + year;
}

// A composed text becomes mm/dd/yyyy when it is a date; otherwise it stays as composed.
QString formatted(const QString& composed)
{
    const std::optional<QDate> date = DateText::parse(composed);
    return date ? DateText::toTyped(*date) : composed;
}

bool startsWithMonthOfTwoDigits(const QString& t)
{
    return t.startsWith(QLatin1String("10")) || t.startsWith(QLatin1String("11")) || t.startsWith(QLatin1String("12"))
        || t.startsWith(QLatin1Char('0'));
}

// The completion table of the grid's date columns; nothing for other lengths.
std::optional<QString> completed(QString t)
{
    if (isDate(t))
        return formatted(t);
    if (t.size() == 4 && !t.startsWith(QLatin1Char('0')))
        t.prepend(QLatin1Char('0'));
    switch (t.size()) {
    case 4:
        return formatted(slashed(t.left(1), t.mid(1, 1), t.right(2)));
    case 5:
        return startsWithMonthOfTwoDigits(t) ? formatted(slashed(t.left(2), t.mid(2, 1), t.right(2)))
                                             : formatted(slashed(t.left(1), t.mid(1, 2), t.right(2)));
    case 6:
        return formatted(slashed(t.left(2), t.mid(2, 2), t.right(2)));
    case 7:
        return startsWithMonthOfTwoDigits(t) ? formatted(slashed(t.left(2), t.mid(2, 1), t.right(4)))
                                             : formatted(slashed(t.left(1), t.mid(1, 2), t.right(4)));
    case 8:
        return formatted(slashed(t.left(2), t.mid(2, 2), t.right(4)));
    default:
        return std::nullopt;
    }
}

Outcome plain(const QString& text)
{
    return Outcome{text, std::nullopt, false};
}

} // namespace

bool isDate(const QString& text)
{
    return DateText::parse(text).has_value();
}

Outcome CheckDateEntry(const QString& text)
{
    if (text.trimmed().isEmpty())
        return plain(text);
    if (isDate(text))
        return plain(formatted(text));
    if (text.size() == 4)
        return plain(formatted(slashed(text.left(2), QStringLiteral("01"), text.right(2))));
    if (text.size() == 6)
        return plain(formatted(slashed(text.left(2), text.mid(2, 2), text.right(2))));
    return {QString(), Message{invalidDate, QStringLiteral("Quillmark for Windows"), Messenger::Icon::None}, true};
}

Outcome CompleteDateEntry(const QString& text)
{
    QString result = text;
    if (!text.trimmed().isEmpty()) {
        if (const std::optional<QString> done = completed(text))
            result = *done;
    }
    if (isDate(result))
        return plain(result);
    return {QString(), Message{invalidDate, QStringLiteral("Quillmark32"), Messenger::Icon::Critical}, false};
}

} // namespace DateEntry
