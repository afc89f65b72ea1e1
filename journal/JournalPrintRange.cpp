#include "journal/JournalPrintRange.h"

#include "platform/DateText.h"

#include <algorithm>

namespace {

JournalPrintRange::Choice wholeJournal(const std::vector<JournalRow>& rows)
{
    return {0, static_cast<int32_t>(rows.size()) - 1, std::nullopt};
}

} // namespace

std::optional<JournalPrintRange::Choice> JournalPrintRange::choose(const std::vector<int>& selectedRows,
                                                                   std::optional<Messenger::Answer> answer,
                                                                   const PrintRange& range,
                                                                   const std::vector<JournalRow>& rows)
{
    if (!selectedRows.empty()) {
        if (answer == Messenger::Answer::Cancel)
            return std::nullopt;
        if (answer != Messenger::Answer::Yes)
            return wholeJournal(rows);
        // Every row the operator selected and all between them, whichever way the
        // selection was made: a Shift-click records its rows in ascending order after
        // the anchor, so the first and last recorded need not be the ends.
        const auto [lowest, highest] = std::minmax_element(selectedRows.begin(), selectedRows.end());
        return Choice{*lowest, *highest, selectedRows.back()};
    }
    if (range.PrintRangeSet)
        return walkDateRange(range, rows);
    return wholeJournal(rows);
}

JournalPrintRange::Choice JournalPrintRange::walkDateRange(const PrintRange& range, const std::vector<JournalRow>& rows)
{
    Choice choice;
    bool firstFound = false;
    bool lastFound = false;
    int position = static_cast<int>(rows.size()) - 1;
    for (; position >= 0; --position) {
        // A row without a posting date sorts before every dated row, so it lies
        // before the range rather than stopping the print.
        const QDate date = DateText::parse(rows[static_cast<size_t>(position)].bdate).value_or(QDate());
        const bool beforeFrom = !date.isValid() || date < range.PrintFrom;
        const bool onOrBeforeTo = !date.isValid() || date <= range.PrintTo;
        if (onOrBeforeTo && !lastFound) {
            choice.last = position;
            lastFound = true;
        }
        if (beforeFrom && !firstFound) {
            choice.first = position + 1;
            firstFound = true;
        }
        if (firstFound && lastFound)
            break;
    }
    if (!rows.empty())
        choice.currentRow = std::max(position, 0);
    if (!firstFound)
        choice.first = 0;
    if (!lastFound)
        choice.last = static_cast<int32_t>(rows.size()) - 1;
    return choice;
}

bool JournalPrintRange::decide(Messenger& messenger, const std::vector<int>& selectedRows, const PrintRange& range,
                               const std::vector<JournalRow>& rows, JournalPrintState& state,
                               std::optional<int>* currentRow)
{
    state.PrintAnswer.reset();
    if (!selectedRows.empty())
        state.PrintAnswer = messenger.ask(QStringLiteral("Print just the selected history records?"),
                                          QStringLiteral("WHAT DO YOU WANT TO PRINT?"), Messenger::Icon::Question,
                                          Messenger::Buttons::YesNoCancel);
    const std::optional<Choice> choice = choose(selectedRows, state.PrintAnswer, range, rows);
    if (!choice)
        return false;
    state.PrintFirstRow = choice->first;
    state.PrintLastRow = choice->last;
    if (currentRow)
        *currentRow = choice->currentRow;
    return true;
}
