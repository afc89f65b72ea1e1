#include "journal/JournalPrintRange.h"

#include <gtest/gtest.h>

namespace {

using Answer = Messenger::Answer;

// Twelve rows: 2/20, 2/25, then 3/1 .. 3/31 every few days, then 4/2 and 4/10.
std::vector<JournalRow> journal()
{
    std::vector<JournalRow> rows;
    for (const char* date : {"2017-02-20", "2017-02-25", "2017-03-01", "2017-03-01", "2017-03-10", "2017-03-15",
                             "2017-03-20", "2017-03-31", "2017-03-31", "2017-04-02", "2017-04-10", "2017-04-10"}) {
        JournalRow row;
        row.bdate = QString::fromLatin1(date);
        row.trow = static_cast<int>(rows.size());
        rows.push_back(row);
    }
    return rows;
}

TEST(JournalPrintRange, ChoosesTheSelectionTheWholeJournalOrTheDateRange)
{
    const auto file = [](const char* text) { return PrintRange::parse(text); }; // the print-range file's dates
    // clang-format off
    struct Case { const char* name; std::vector<int> selected; std::optional<Answer> answer; PrintRange range; int first, last; std::optional<int> currentRow; };
    const auto none = std::nullopt;
    // A selection wins over a date range.
    const PrintRange march = file("3/1/2017\r\n3/31/2017\r\n");
    const Case cases[] = {
        {"control-clicked 9, 2, 5", {9, 2, 5}, Answer::Yes, march, 2, 9, 5},
        {"No prints the whole journal", {5, 6, 7}, Answer::No, march, 0, 11, none},
        {"no selection and no range", {}, none, PrintRange(), 0, 11, none},
        // A date range: walked back from the last row, stopping on the row before it.
        {"March", {}, none, march, 2, 8, 1},
        {"one day", {}, none, file("3/15/2017\r\n3/15/2017\r\n"), 5, 5, 4},
        // Nothing on or before the end: up to the last row; nothing before the start: from the first.
        {"end before the journal", {}, none, file("1/1/2016\r\n12/31/2016\r\n"), 0, 11, 0},
        {"start before the journal", {}, none, file("1/1/2016\r\n3/10/2017\r\n"), 0, 4, 0},
        {"end after the journal", {}, none, file("4/1/2017\r\n1/1/2018\r\n"), 9, 11, 8},
        // A range after the last row holds no row: first lies past last.
        {"after the journal", {}, none, file("1/1/2018\r\n12/31/2018\r\n"), 12, 11, 11},
        // Dates that are no dates leave the range open at that end.
        {"no dates", {}, none, file("someday\r\n2/30/2019\r\n"), 0, 11, 0},
        {"two-digit year", {}, none, file("4/1/17\r\n12/31/17\r\n"), 9, 11, 8}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto choice = JournalPrintRange::choose(c.selected, c.answer, c.range, journal());
        ASSERT_TRUE(choice);
        EXPECT_EQ(
            std::tuple(choice->first, choice->last, choice->currentRow), std::tuple(c.first, c.last, c.currentRow));
    }
    // Undated rows lie before the range.
    std::vector<JournalRow> rows = journal();
    rows[0].bdate.clear();
    rows[1].bdate.clear();
    const auto choice = JournalPrintRange::walkDateRange(file("2/22/2017\r\n3/1/2017\r\n"), rows);
    EXPECT_EQ(std::pair(choice.first, choice.last), std::pair(2, 3));
}

} // namespace
