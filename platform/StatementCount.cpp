#include "platform/StatementCount.h"

namespace StatementCount {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// The index just past the quote that closes the one at `open`; a doubled quote
// stands for itself, and `backslashes` (E'...' texts) escape the next character.
qsizetype pastQuoted(QStringView sql, qsizetype open, bool backslashes)
{
    const QChar quote = sql[open];
    for (qsizetype i = open + 1; i < sql.size(); ++i) {
        if (backslashes && sql[i] == QLatin1Char('\\')) {
            ++i;
        } else if (sql[i] == quote) {
            if (i + 1 < sql.size() && sql[i + 1] == quote)
                ++i;
            else
                return i + 1;
        }
    }
    return sql.size();
}

// Block comments nest on a server.
qsizetype pastBlockComment(QStringView sql, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i + 1 < sql.size(); ++i) {
        if (sql[i] == QLatin1Char('/') && sql[i + 1] == QLatin1Char('*')) {
            ++depth;
            ++i;
        } else if (sql[i] == QLatin1Char('*') && sql[i + 1] == QLatin1Char('/')) {
            ++i;
            if (--depth == 0)
                return i + 1;
        }
    }
    return sql.size();
}

// "$$" or "$tag$" at `open`: its length, or 0 when the dollar starts no quote ($1).
qsizetype dollarTagLength(QStringView sql, qsizetype open)
{
    qsizetype i = open + 1;
    while (i < sql.size() && (sql[i].isLetter() || sql[i] == QLatin1Char('_') || (i > open + 1 && sql[i].isDigit())))
        ++i;
    return i < sql.size() && sql[i] == QLatin1Char('$') ? i + 1 - open : 0;
}

} // namespace

Count of(QStringView sql)
{
    int statements = 0;
    bool content = false;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        const QChar following = i + 1 < sql.size() ? sql[i + 1] : QChar();
        if (c == QLatin1Char(';')) {
            statements += content ? 1 : 0;
            content = false;
            ++i;
        } else if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && following == QLatin1Char('-')) {
            while (i < sql.size() && sql[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && following == QLatin1Char('*')) {
            i = pastBlockComment(sql, i);
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const bool escaped = c == QLatin1Char('\'') && i > 0 && sql[i - 1].toLower() == QLatin1Char('e')
                && (i < 2 || !isWordChar(sql[i - 2]));
            i = pastQuoted(sql, i, escaped);
            content = true;
        } else if (const qsizetype tag =
                       c == QLatin1Char('$') && (i == 0 || !isWordChar(sql[i - 1])) ? dollarTagLength(sql, i) : 0;
                   tag > 0) {
            const qsizetype close = sql.indexOf(sql.mid(i, tag), i + tag);
            i = close < 0 ? sql.size() : close + tag;
            content = true;
        } else {
            content = true;
            ++i;
        }
    }
    statements += content ? 1 : 0;
    return statements == 0 ? None : statements == 1 ? One : Several;
}

} // namespace StatementCount
