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

// A cheap test before the pattern: a line of plain ASCII that lacks the pattern's
// required run cannot match. Anything else is left to the pattern itself.
bool ListSearch::mayMatch(QStringView slice) const
{
    const qsizetype needed = m_required.size();
    if (needed == 0)
        return true;
    const char16_t* text = slice.utf16();
    const char* run = m_required.constData();
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    for (qsizetype start = 0; start + needed <= slice.size(); ++start) {
        if (text[start] >= 0x80)
            return true;
        if (lower(text[start]) != char16_t(run[0]))
            continue;
        qsizetype k = 1;
        for (; k < needed; ++k) {
            if (text[start + k] >= 0x80)
                return true;
            if (lower(text[start + k]) != char16_t(run[k]))
                break;
        }
        if (k == needed)
            return true;
    }
    return false;
}

bool ListSearch::matches(QStringView line) const
{
    const QStringView slice = m_option.slice(line);
    return mayMatch(slice) && m_like.matches(slice);
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
