#include "app/DateEntry.h"

#include "platform/DateText.h"

#include <QRegularExpression>

namespace DateEntry {
namespace {

const QString invalidDate = QStringLiteral("Invalid Date");

QString slashed(const QString& month, const QString& day, const QString& year)
{
    return month + QLatin1Char('/') + day + QLatin1Char('/') + year;
}

// A composed text becomes mm/dd/yyyy when it is a date; otherwise it stays as composed.
QString formatted(const QString& composed, const QDate& today)
{
    const std::optional<QDate> date = typedDate(composed, today);
    return date ? DateText::toTyped(*date) : composed;
}

bool startsWithMonthOfTwoDigits(const QString& t)
{
    return t.startsWith(QLatin1String("10")) || t.startsWith(QLatin1String("11")) || t.startsWith(QLatin1String("12"))
        || t.startsWith(QLatin1Char('0'));
}

// The completion table of the grid's date columns; nothing for other lengths.
std::optional<QString> completed(QString t, const QDate& today)
{
    if (isDate(t, today))
        return formatted(t, today);
    if (t.size() == 4 && !t.startsWith(QLatin1Char('0')))
        t.prepend(QLatin1Char('0'));
    switch (t.size()) {
    case 4: return formatted(slashed(t.left(1), t.mid(1, 1), t.right(2)), today);
    case 5:
        return startsWithMonthOfTwoDigits(t) ? formatted(slashed(t.left(2), t.mid(2, 1), t.right(2)), today)
                                             : formatted(slashed(t.left(1), t.mid(1, 2), t.right(2)), today);
    case 6: return formatted(slashed(t.left(2), t.mid(2, 2), t.right(2)), today);
    case 7:
        return startsWithMonthOfTwoDigits(t) ? formatted(slashed(t.left(2), t.mid(2, 1), t.right(4)), today)
                                             : formatted(slashed(t.left(1), t.mid(1, 2), t.right(4)), today);
    case 8: return formatted(slashed(t.left(2), t.mid(2, 2), t.right(4)), today);
    default: return std::nullopt;
    }
}

Outcome plain(const QString& text)
{
    return Outcome{text, std::nullopt, false};
}

} // namespace

std::optional<QDate> typedDate(const QString& text, const QDate& today)
{
    if (const std::optional<QDate> date = DateText::parse(text))
        return date;
    // Month and day alone mean this year, as the suite's date reading takes them.
    static const QRegularExpression monthDay(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch match = monthDay.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(today.year(), match.captured(1).toInt(), match.captured(2).toInt());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

bool isDate(const QString& text, const QDate& today)
{
    return typedDate(text, today).has_value();
}

Outcome CheckDateEntry(const QString& text, const QDate& today)
{
    if (text.trimmed().isEmpty())
        return plain(text);
    if (isDate(text, today))
        return plain(formatted(text, today));
    if (text.size() == 4)
        return plain(formatted(slashed(text.left(2), QStringLiteral("01"), text.right(2)), today));
    if (text.size() == 6)
        return plain(formatted(slashed(text.left(2), text.mid(2, 2), text.right(2)), today));
    return {QString(), Message{invalidDate, QStringLiteral("Quillmark for Windows"), Messenger::Icon::None}, true};
}

Outcome CompleteDateEntry(const QString& text, const QDate& today)
{
    QString result = text;
    if (!text.trimmed().isEmpty()) {
        if (const std::optional<QString> done = completed(text, today))
            result = *done;
    }
    if (isDate(result, today))
        return plain(result);
    return {QString(), Message{invalidDate, QStringLiteral("Quillmark32"), Messenger::Icon::Critical}, false};
}

} // namespace DateEntry
