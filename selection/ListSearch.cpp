#include "selection/ListSearch.h"

#include "selection/SearchLines.h"

#include <system_error>
#include <thread>

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

qsizetype ListSearch::scan(const SearchLines& lines, qsizetype begin, qsizetype end, bool backward,
                           const std::atomic<bool>* stop) const
{
    // The other half's thread looks up now and then to learn that it is not needed.
    constexpr qsizetype checkEvery = 4096;
    for (qsizetype done = 0; done < end - begin; ++done) {
        const qsizetype row = backward ? end - 1 - done : begin + done;
        if (matches(lines.text(row)))
            return row;
        if (stop && done % checkEvery == checkEvery - 1 && stop->load(std::memory_order_relaxed))
            return -1;
    }
    return -1;
}

qsizetype ListSearch::find(const SearchLines& lines, Direction direction, qsizetype current) const
{
    const bool backward = direction == Direction::Previous;
    const qsizetype begin = backward || direction == Direction::First ? 0 : std::max<qsizetype>(current + 1, 0);
    const qsizetype end = backward ? std::min(current, lines.size()) : lines.size();
    if (end - begin < SplitAtRows)
        return scan(lines, begin, end, backward, nullptr);

    // A long list is scanned on two cores: the half the search meets first here, the
    // other on a second thread, whose row counts only when the first half has none.
    const qsizetype middle = begin + (end - begin) / 2;
    const qsizetype nearBegin = backward ? middle : begin;
    const qsizetype nearEnd = backward ? end : middle;
    const qsizetype farBegin = backward ? begin : middle;
    const qsizetype farEnd = backward ? middle : end;
    std::atomic<bool> nearFound{false};
    qsizetype farRow = -1;
    std::thread far;
    try {
        far = std::thread([&] { farRow = scan(lines, farBegin, farEnd, backward, &nearFound); });
    } catch (const std::system_error&) {
        return scan(lines, begin, end, backward, nullptr);
    }
    const qsizetype nearRow = scan(lines, nearBegin, nearEnd, backward, nullptr);
    nearFound.store(nearRow >= 0, std::memory_order_relaxed);
    far.join();
    return nearRow >= 0 ? nearRow : farRow;
}
