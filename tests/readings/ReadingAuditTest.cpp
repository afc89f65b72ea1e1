#include "readings/ReadingAudit.h"

#include "readings/ReadingColumns.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace ReadingColumns;

namespace {

ReadingAudit rememberedFrom(const QMap<int, QString>& cells)
{
    ReadingAudit audit;
    audit.remember([&](int column) { return cells.value(column); });
    return audit;
}

const QMap<int, QString> row{{Code, "A"},         {ReadDate, "4/28/2017"}, {BillDate, "5/1/2017"},
                             {Previous, "100"},   {Present, "150"},        {Usage, "50"},
                             {Multiplier, "1.5"}, {Tenants, "2.5"},        {EntryDate, "N/A"}};

TEST(ReadingAudit, RemembersCellsByTheirRules)
{
    const ReadingAudit audit = rememberedFrom(row);
    EXPECT_EQ(audit.OldCode, "A");
    EXPECT_EQ(audit.OldReadDate, "4/28/2017");
    EXPECT_EQ(audit.OldEntryDate, "UNKNOWN");
    EXPECT_EQ(audit.OldPrevious, 100);
    EXPECT_EQ(audit.OldMultiplier, 1.5);
    EXPECT_EQ(audit.OldTenants, 2); // ties to even
    EXPECT_EQ(rememberedFrom({{Previous, " 1 2abc"}}).OldPrevious, 12);
}

TEST(ReadingAudit, DescribesEachAuditedColumn)
{
    const ReadingAudit audit = rememberedFrom(row);
    const struct {
        int column;
        const char* typed;
        const char* text; // nullptr: no audit line
    } cases[] = {
        {Code, "B", "changed meter reading code from A to B for bill date 5/1/2017 for account 10442"},
        {Code, "a", "changed meter reading code from A to a for bill date 5/1/2017 for account 10442"},
        {Code, "A", nullptr},
        {ReadDate, "01/05/2017",
         "changed meter read date from 4/28/2017 to 01/05/2017 for bill date 5/1/2017 for account 10442"},
        {ReadDate, "04/28/2017", nullptr}, // the same date in its completed form
        {BillDate, "06/01/2017", "changed meter bill date from 5/1/2017 to 06/01/2017 for account 10442"},
        {Previous, "120", "changed previous reading from 100 to 120 for bill date 5/1/2017 for account 10442"},
        {Previous, "100.0", nullptr},
        {Present, "149.5", "changed present reading from 150 to 149.5 for bill date 5/1/2017 for account 10442"},
        {Usage, "0", "changed metered usage from 50 to 0 for bill date 5/1/2017 for account 10442"},
        {Multiplier, "10", "changed meter multiplier from 1.5 to 10 for bill date 5/1/2017 for account 10442"},
        {Tenants, "3", "changed number of metered tenants from 2 to 3 for bill date 5/1/2017 for account 10442"},
        {Tenants, "2", nullptr},
        {EntryDate, "5/2/2017",
         "changed meter reading entry date from UNKNOWN to 5/2/2017 for bill date 5/1/2017 for account 10442"},
        {Factor, "2", nullptr},
        {MSN, "X1", nullptr},
        {ChangedOut, "-1", nullptr},
        {Estimated, "-1", nullptr},
        {Comment, "note", nullptr},
        {EstimatedAgain, "-1", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<QString> text = audit.describe(c.column, c.typed, "5/1/2017", "10442");
        if (c.text)
            EXPECT_EQ(text.value_or("(none)"), c.text) << c.column << " " << c.typed;
        else
            EXPECT_FALSE(text.has_value()) << c.column << " " << c.typed << ": " << text->toStdString();
    }
}

TEST(ReadingAudit, OldTextIsTrimmedNewTextIsNot)
{
    const ReadingAudit audit = rememberedFrom({{Code, " A "}});
    EXPECT_EQ(audit.describe(Code, " B", "", "").value(),
              "changed meter reading code from A to  B for bill date  for account ");
}

} // namespace
