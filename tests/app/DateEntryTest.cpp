#include "app/DateEntry.h"

#include <gtest/gtest.h>

namespace {

const char* const Refused = nullptr;
const char* const Untried = "?";

// Check completes loosely and refuses taking the focus back; Complete validates the date
// and refuses leaving the focus where it is. Both read a month and day alone as today's year.
TEST(DateEntry, CheckAndCompleteTypedDates)
{
    const QDate today(2019, 3, 7);
    // clang-format off
    const struct { const char* typed; const char* checked; const char* completed; } cases[] = {
        {"0517", "05/01/2017", Refused}, // m d yy with month 0
        {"051517", "05/15/2017", Untried}, {"1/5/17", "01/05/2017", "01/05/2017"},
        // Blank entries are left as they are by Check, refused by Complete.
        {"   ", "   ", Refused},
        // Check composes four- and six-character forms without validating them again.
        {"1317", "13/01/17", Untried}, {"023017", "02/30/17", Refused}, {"12345", Refused, Untried},
        {"1/35/17", Refused, Untried}, {"1517", Untried, "01/05/2017"}, // 0 in front, then m d yy
        {"10517", Untried, "10/05/2017"}, {"11517", Untried, "11/05/2017"}, {"12517", Untried, "12/05/2017"},
        {"01517", Untried, "01/05/2017"}, {"91517", Untried, "09/15/2017"}, // mm d yy / m dd yy
        {"011517", Untried, "01/15/2017"}, {"1152017", Untried, "11/05/2017"}, // mm dd yy, mm d yyyy
        {"9152017", Untried, "09/15/2017"}, {"01152017", Untried, "01/15/2017"}, // m dd yyyy, mm dd yyyy
        {"13517", Untried, Refused}, {"123", Untried, Refused}, // composed as 1/35/17; no form
        {"12/31", "12/31/2019", "12/31/2019"}, {" 1/2 ", "01/02/2019", "01/02/2019"},
        {"2/29", "2//01/29", Refused}, // no such day this year; the four-character rule composes it
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const QString typed = QString::fromLatin1(c.typed);
        const auto expect = [](const DateEntry::Outcome& outcome, const char* expected, const char* title,
                               Messenger::Icon icon, bool refocus) {
            EXPECT_EQ(outcome.text, QString::fromLatin1(expected ? expected : ""));
            ASSERT_EQ(outcome.message.has_value(), !expected);
            EXPECT_EQ(outcome.refocus, !expected && refocus);
            if (!expected) {
                EXPECT_EQ(outcome.message->text, "Invalid Date");
                EXPECT_EQ(outcome.message->title, title);
                EXPECT_EQ(outcome.message->icon, icon);
            }
        };
        if (c.checked != Untried)
            expect(DateEntry::CheckDateEntry(typed, today), c.checked, "Quillmark for Windows", Messenger::Icon::None,
                   true);
        if (c.completed != Untried)
            expect(DateEntry::CompleteDateEntry(typed, today), c.completed, "Quillmark32", Messenger::Icon::Critical,
                   false);
    }
    // Without a date given, today is the clock's.
    EXPECT_EQ(
        DateEntry::CompleteDateEntry("5/4").text, QDate(QDate::currentDate().year(), 5, 4).toString("MM/dd/yyyy"));
    EXPECT_EQ(DateEntry::CheckDateEntry("1/5/17").text, "01/05/2017");
}

} // namespace
