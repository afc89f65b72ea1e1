#include "selection/ListSearch.h"

#include "selection/SearchLines.h"

ListSearch::ListSearch(const SearchOption& option, const QString& text, bool typing)
    : m_option(option)
    , m_like((typing && &option == SearchOption::at(0) ? QString() : QStringLiteral("*")) + text
             + QStringLiteral("*"))
{
}

bool ListSearch::matches(QStringView line) const
{
    return m_like.matches(m_option.slice(line));
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
