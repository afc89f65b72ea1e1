#pragma once

#include <QString>
#include <QStringView>

// One of the five ways the account list is ordered and searched. The slice is the
// part of a list line that a search compares; the field word names it in messages.
struct SearchOption {
    static constexpr int Count = 5;

    const char* caption;
    const char* toolTip;
    const char* buildOrder; // order clause of the build statement (billing tables)
    const char* resortOrder; // order clause over histsrch
    const char* resortKey; // the same order's keys, for the in-memory re-sort:
    const char* resortSecondKey; //   the first compared without case, the second exactly
    qsizetype sliceStart; // 1-based position in the line
    qsizetype sliceLength; // -1: to the end of the line
    const char* fieldWord;

    // The option of that index, or nothing for an index outside 0-4.
    static const SearchOption* at(int index);

    // The searched part of a line: mid(line, start, length) as the runtime's mid
    // reads it (past the end gives an empty slice).
    QStringView slice(QStringView line) const;
    QString notFoundMessage(const QString& searched) const;
};
