#include "selection/ListSearch.h"

#include "selection/SearchLines.h"

ListSearch::ListSearch(const SearchOption& option, const QString& text, bool typing)
    : m_option(option)
    , m_like((typing && &option == SearchOption::at(0) ? QString() : QStringLiteral("*")) + text + QStringLiteral("*"))
    , m_required(requiredRun(m_like.pattern()))
{}

QByteArray ListSearch::requiredRun(const QString& pattern)
{
    QString longest;
    QString run;
    auto endRun = [&] {
        if (run.size() > longest.size())
            longest = run;
        run.clear();
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        const qsizetype close = c == u'[' ? pattern.indexOf(u']', i + 1) : -1;
        if (c == u'*' || c == u'?' || c == u'#' || close >= 0) {
            endRun();
            if (close >= 0)
                i = close;
            continue;
        }
        run += c;
    }
    endRun();
    for (const QChar c : std::as_const(longest)) {
        if (c.unicode() >= 0x80)
            return {};
    }
    return longest.toLatin1().toLower();
}

bool ListSearch::matches(QStringView line) const
{
    return m_like.matches(m_option.slice(line));
}

qsizetype ListSearch::find(const SearchLines& lines, Direction direction, qsizetype current) const
{
    // A cheap test before the pattern: a slice of plain ASCII that lacks the
    // pattern's required run cannot match. Anything else is left to the pattern.
    const SearchSliceFold* fold = m_required.isEmpty() ? nullptr : &lines.sliceFold(m_option);
    auto matchesRow = [&](qsizetype row) {
        return (!fold || fold->mayHold(lines.entryOf(row), m_required)) && matches(lines.text(row));
    };
    if (direction == Direction::Previous) {
        for (qsizetype row = std::min(current, lines.size()) - 1; row >= 0; --row) {
            if (matchesRow(row))
                return row;
        }
        return -1;
    }
    const qsizetype from = direction == Direction::First ? 0 : std::max<qsizetype>(current + 1, 0);
    for (qsizetype row = from; row < lines.size(); ++row) {
        if (matchesRow(row))
            return row;
    }
    return -1;
}
