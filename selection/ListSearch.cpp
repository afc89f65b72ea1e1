#include "selection/ListSearch.h"

#include "selection/SearchLines.h"

ListSearch::ListSearch(const SearchOption& option, const QString& text, bool typing)
    : m_option(option)
    , m_like((typing && &option == SearchOption::at(0) ? QString() : QStringLiteral("*")) + operatorPattern(text)
             + QStringLiteral("*"))
{
}

QString ListSearch::operatorPattern(const QString& text)
{
    QString result;
    result.reserve(text.size() + 4);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('[')) {
            // A set needs at least one character before its closing bracket.
            const qsizetype close = text.indexOf(QLatin1Char(']'), i + 2);
            if (close < 0) {
                result += QStringLiteral("[[]");
                continue;
            }
            result += QStringView(text).sliced(i, close - i + 1);
            i = close;
            continue;
        }
        result += text[i];
    }
    return result;
}

bool ListSearch::matches(QStringView line) const
{
    const QStringView slice = m_option.slice(line);
    // The lines live in one buffer: hand the matcher a view of it, not a copy.
    return m_like.matches(QString::fromRawData(slice.data(), slice.size()));
}

qsizetype ListSearch::find(const SearchLines& lines, Direction direction, qsizetype current) const
{
    if (direction == Direction::Previous) {
        for (qsizetype row = std::min(current, lines.size()) - 1; row >= 0; --row) {
            if (matches(lines.text(row)))
                return row;
        }
        return -1;
    }
    const qsizetype from = direction == Direction::First ? 0 : std::max<qsizetype>(current + 1, 0);
    for (qsizetype row = from; row < lines.size(); ++row) {
        if (matches(lines.text(row)))
            return row;
    }
    return -1;
}
