#include "app/DateEntry.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* typed;
    const char* expected; // "" with a message: rejected
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << '"' << c.typed << '"';
}

class CheckDateEntryAccepts : public ::testing::TestWithParam<Case> {};

TEST_P(CheckDateEntryAccepts, CompletesWithoutMessage)
{
    const DateEntry::Outcome outcome = DateEntry::CheckDateEntry(QString::fromLatin1(GetParam().typed));
    EXPECT_EQ(outcome.text, QString::fromLatin1(GetParam().expected));
    EXPECT_FALSE(outcome.message.has_value());
    EXPECT_FALSE(outcome.refocus);
}

INSTANTIATE_TEST_SUITE_P(DateEntry, CheckDateEntryAccepts,
                         ::testing::Values(Case{"0517", "05/01/2017"}, Case{"051517", "05/15/2017"},
                                           Case{"5/15/2017", "05/15/2017"}, Case{"1/5/17", "01/05/2017"},
                                           Case{"12/31/99", "12/31/1999"}, Case{"2017-05-01", "05/01/2017"},
                                           // blank entries are left exactly as they are
                                           Case{"", ""}, Case{"   ", "   "},
                                           // composed four- and six-character forms are not validated again
                                           Case{"1317", "13/01/17"}, Case{"023017", "02/30/17"},
                                           Case{"ab12", "ab/01/12"}));

class CheckDateEntryRejects : public ::testing::TestWithParam<const char*> {};

TEST_P(CheckDateEntryRejects, EmptiesTheBoxAndTakesTheFocusBack)
{
    const DateEntry::Outcome outcome = DateEntry::CheckDateEntry(QString::fromLatin1(GetParam()));
    EXPECT_EQ(outcome.text, "");
    ASSERT_TRUE(outcome.message.has_value());
    EXPECT_EQ(outcome.message->text, "Invalid Date");
    EXPECT_EQ(outcome.message->title, "Quillmark for Windows");
    EXPECT_EQ(outcome.message->icon, Messenger::Icon::None);
    EXPECT_TRUE(outcome.refocus);
}

INSTANTIATE_TEST_SUITE_P(DateEntry, CheckDateEntryRejects,
                         ::testing::Values("12345", "1", "1/35/17", "0515201", "05152017", "abc"));

class CompleteDateEntryAccepts : public ::testing::TestWithParam<Case> {};

TEST_P(CompleteDateEntryAccepts, CompletesToTheTypedForm)
{
    const DateEntry::Outcome outcome = DateEntry::CompleteDateEntry(QString::fromLatin1(GetParam().typed));
    EXPECT_EQ(outcome.text, QString::fromLatin1(GetParam().expected));
    EXPECT_FALSE(outcome.message.has_value());
    EXPECT_FALSE(outcome.refocus);
}

INSTANTIATE_TEST_SUITE_P(
    DateEntry, CompleteDateEntryAccepts,
    ::testing::Values(Case{"1/5/17", "01/05/2017"}, Case{"5/1/2017", "05/01/2017"}, Case{"2017-05-01", "05/01/2017"},
                      Case{"1517", "01/05/2017"}, // 0 in front, then m d yy
                      Case{"10517", "10/05/2017"}, Case{"11517", "11/05/2017"}, Case{"12517", "12/05/2017"},
                      Case{"01517", "01/05/2017"}, Case{"91517", "09/15/2017"}, // mm d yy / m dd yy
                      Case{"011517", "01/15/2017"}, Case{"123199", "12/31/1999"}, // mm dd yy
                      Case{"1152017", "11/05/2017"}, Case{"0152017", "01/05/2017"}, // mm d yyyy
                      Case{"9152017", "09/15/2017"}, // m dd yyyy
                      Case{"01152017", "01/15/2017"}, Case{"02292020", "02/29/2020"}, Case{"010530", "01/05/1930"},
                      Case{"010529", "01/05/2029"})); // the century window

class CompleteDateEntryRejects : public ::testing::TestWithParam<const char*> {};

TEST_P(CompleteDateEntryRejects, EmptiesTheBoxWithoutMovingTheFocus)
{
    const DateEntry::Outcome outcome = DateEntry::CompleteDateEntry(QString::fromLatin1(GetParam()));
    EXPECT_EQ(outcome.text, "");
    ASSERT_TRUE(outcome.message.has_value());
    EXPECT_EQ(outcome.message->text, "Invalid Date");
    EXPECT_EQ(outcome.message->title, "Quillmark32");
    EXPECT_EQ(outcome.message->icon, Messenger::Icon::Critical);
    EXPECT_FALSE(outcome.refocus);
}

INSTANTIATE_TEST_SUITE_P(DateEntry, CompleteDateEntryRejects,
                         ::testing::Values("13517", // composed as 1/35/17
                                           "", "   ", // blank is invalid here
                                           "0517", // m d yy with month 0
                                           "023017", // 02/30/17
                                           "02292019", // no leap year
                                           "123", "123456789", "ab/cd/ef", " 1517"));

TEST(DateEntry, MonthAndDayAloneMeanTodaysYear)
{
    const QDate today(2019, 3, 7);
    const struct {
        const char* typed;
        const char* checked;
        const char* completed; // "" rejected
    } cases[] = {
        {"5/4", "05/04/2019", "05/04/2019"},
        {"12/31", "12/31/2019", "12/31/2019"},
        {" 1/2 ", "01/02/2019", "01/02/2019"},
        {"2/29", "2//01/29", ""}, // no such day this year; the four-character rule composes it
        {"0/4", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(DateEntry::CheckDateEntry(QString::fromLatin1(c.typed), today).text, QString::fromLatin1(c.checked));
        EXPECT_EQ(
            DateEntry::CompleteDateEntry(QString::fromLatin1(c.typed), today).text, QString::fromLatin1(c.completed));
    }
}

} // namespace
