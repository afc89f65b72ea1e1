#include "journal/JournalPrintRange.h"

#include "support/FakeMessenger.h"

#include <gtest/gtest.h>

namespace {

using Answer = Messenger::Answer;

// Twelve rows: 2/20, 2/25, then 3/1 .. 3/31 every few days, then 4/2 and 4/10.
std::vector<JournalRow> journal()
{
    const char* dates[] = {"2017-02-20", "2017-02-25", "2017-03-01", "2017-03-01", "2017-03-10", "2017-03-15",
                           "2017-03-20", "2017-03-31", "2017-03-31", "2017-04-02", "2017-04-10", "2017-04-10"};
    std::vector<JournalRow> rows;
    for (const char* date : dates) {
        JournalRow row;
        row.bdate = QString::fromLatin1(date);
        row.trow = static_cast<int>(rows.size());
        rows.push_back(row);
    }
    return rows;
}

PrintRange dateRange(QDate from, QDate to)
{
    PrintRange range;
    range.PrintFrom = from;
    range.PrintTo = to;
    range.PrintRangeSet = true;
    return range;
}

struct SelectionCase {
    const char* name;
    std::vector<int> selected;
    std::optional<Answer> answer;
    int first;
    int last;
    std::optional<int> currentRow;
};

class SelectionTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionTest, PrintsTheChosenRows)
{
    const SelectionCase& c = GetParam();
    // A date range is set too: a selection wins over it.
    const auto choice =
        JournalPrintRange::choose(c.selected, c.answer, dateRange(QDate(2017, 3, 1), QDate(2017, 3, 31)), journal());
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->first, c.first);
    EXPECT_EQ(choice->last, c.last);
    EXPECT_EQ(choice->currentRow, c.currentRow);
}

INSTANTIATE_TEST_SUITE_P(JournalPrintRange, SelectionTest,
                         ::testing::Values(SelectionCase{"TopDown", {5, 6, 7, 8, 9}, Answer::Yes, 5, 9, 9},
                                           SelectionCase{"BottomUp", {9, 8, 7, 6, 5}, Answer::Yes, 5, 9, 5},
                                           SelectionCase{"ControlClickedTwoAndNine", {2, 9}, Answer::Yes, 2, 9, 9},
                                           // Shift-clicked from 9 up to 5: the anchor, then the added rows ascending.
                                           SelectionCase{"ShiftClickedUpwards", {9, 5, 6, 7, 8}, Answer::Yes, 5, 9, 8},
                                           SelectionCase{"ControlClickedNineTwoFive", {9, 2, 5}, Answer::Yes, 2, 9, 5},
                                           SelectionCase{"OneRow", {4}, Answer::Yes, 4, 4, 4},
                                           SelectionCase{
                                               "NoPrintsTheWholeJournal", {5, 6, 7}, Answer::No, 0, 11, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JournalPrintRange, CancelPrintsNothing)
{
    EXPECT_FALSE(JournalPrintRange::choose({5, 6}, Answer::Cancel, PrintRange(), journal()));
}

TEST(JournalPrintRange, NoSelectionAndNoRangePrintsTheWholeJournal)
{
    const auto choice = JournalPrintRange::choose({}, std::nullopt, PrintRange(), journal());
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->first, 0);
    EXPECT_EQ(choice->last, 11);
}

struct RangeCase {
    const char* name;
    QDate from;
    QDate to;
    int first;
    int last;
    int currentRow;
};

class DateRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(DateRangeTest, WalksBackFromTheLastRow)
{
    const RangeCase& c = GetParam();
    const auto choice = JournalPrintRange::choose({}, std::nullopt, dateRange(c.from, c.to), journal());
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->first, c.first);
    EXPECT_EQ(choice->last, c.last);
    EXPECT_EQ(choice->currentRow, c.currentRow);
}

INSTANTIATE_TEST_SUITE_P(
    JournalPrintRange, DateRangeTest,
    ::testing::Values(
        // Exactly the rows posted 1 to 31 March; the walk stops on the row before March.
        RangeCase{"March", QDate(2017, 3, 1), QDate(2017, 3, 31), 2, 8, 1},
        RangeCase{"OneDay", QDate(2017, 3, 15), QDate(2017, 3, 15), 5, 5, 4},
        // Nothing on or before the end: up to the last row; nothing before the start: from the first.
        RangeCase{"EndBeforeTheJournal", QDate(2016, 1, 1), QDate(2016, 12, 31), 0, 11, 0},
        RangeCase{"StartBeforeTheJournal", QDate(2016, 1, 1), QDate(2017, 3, 10), 0, 4, 0},
        RangeCase{"EndAfterTheJournal", QDate(2017, 4, 1), QDate(2018, 1, 1), 9, 11, 8},
        // A range after the last row holds no row: first lies past last.
        RangeCase{"AfterTheJournal", QDate(2018, 1, 1), QDate(2018, 12, 31), 12, 11, 11}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JournalPrintRange, UndatedRowsLieBeforeTheRange)
{
    std::vector<JournalRow> rows = journal();
    rows[0].bdate.clear();
    rows[1].bdate.clear();
    const auto choice = JournalPrintRange::walkDateRange(dateRange(QDate(2017, 2, 22), QDate(2017, 3, 1)), rows);
    EXPECT_EQ(choice.first, 2);
    EXPECT_EQ(choice.last, 3);
}

TEST(JournalPrintRange, DecideAsksOnlyWhenRowsAreSelected)
{
    FakeMessenger messenger;
    JournalPrintState state;
    messenger.answers = {Answer::No, Answer::Cancel};
    EXPECT_TRUE(JournalPrintRange::decide(messenger, {3, 4}, PrintRange(), journal(), state));
    ASSERT_EQ(messenger.messages.size(), 1);
    EXPECT_EQ(messenger.messages[0].text, QStringLiteral("Print just the selected history records?"));
    EXPECT_EQ(messenger.messages[0].title, QStringLiteral("WHAT DO YOU WANT TO PRINT?"));
    EXPECT_EQ(messenger.messages[0].buttons, Messenger::Buttons::YesNoCancel);
    EXPECT_EQ(state.PrintAnswer, Answer::No);
    EXPECT_EQ(std::pair(state.PrintFirstRow, state.PrintLastRow), std::pair(0, 11));

    EXPECT_TRUE(JournalPrintRange::decide(messenger, {}, PrintRange(), journal(), state));
    EXPECT_EQ(messenger.messages.size(), 1);
    EXPECT_FALSE(JournalPrintRange::decide(messenger, {1}, PrintRange(), journal(), state));
}

} // namespace
