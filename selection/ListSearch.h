#pragma once

#include "platform/LikePattern.h"
#include "selection/SearchOption.h"

#include <QString>
#include <QStringView>

class SearchLines;

// A search of the account list as the find buttons and the typing search run it:
// the option's slice of each line against a LIKE pattern built from the operator's
// text. The operator's wildcards stay wildcards; the text is never part of SQL, so
// an apostrophe is an ordinary character, and a '[' that no ']' closes stands for
// itself rather than spoiling the pattern.
class ListSearch {
public:
    enum class Direction { First = 0, Next = 1, Previous = -1 };

    // Option 0 while typing: the account number begins with the text; otherwise
    // the slice contains it.
    ListSearch(const SearchOption& option, const QString& text, bool typing);

    const QString& pattern() const { return m_like.pattern(); }
    bool matches(QStringView line) const;

    // The row found from `current` (the list's current row, -1 for none): First
    // scans from the top, Next after `current`, Previous before it; never wraps.
    // -1 when nothing matches.
    qsizetype find(const SearchLines& lines, Direction direction, qsizetype current) const;

    // The longest run of plain characters in a pattern, lower-cased; empty when the
    // run is not plain ASCII. Every matching text contains it.
    static QByteArray requiredRun(const QString& pattern);

private:
    const SearchOption& m_option;
    LikePattern m_like;
    QByteArray m_required;
};
