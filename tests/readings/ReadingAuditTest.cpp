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

// What only shows with other stored cells; the window's tests cover each column's line.
TEST(ReadingAudit, RemembersCellsByTheirRules)
{
    // clang-format off
    const ReadingAudit audit = rememberedFrom({{Code, "A"}, {ReadDate, "4/28/2017"}, {Previous, "100"}, {Multiplier, "1.5"}, {Tenants, "2.5"}, {EntryDate, "N/A"}});
    // clang-format on
    EXPECT_EQ(QStringList({audit.OldCode, audit.OldReadDate, audit.OldEntryDate}),
              QStringList({"A", "4/28/2017", "UNKNOWN"}));
    EXPECT_EQ(audit.OldPrevious, 100);
    EXPECT_EQ(audit.OldMultiplier, 1.5);
    EXPECT_EQ(audit.OldTenants, 2); // ties to even
    EXPECT_EQ(rememberedFrom({{Previous, " 1 2abc"}}).OldPrevious, 12);
    // The old text is trimmed, the new one is not.
    EXPECT_EQ(rememberedFrom({{Code, " A "}}).describe(Code, " B", "", "").value(),
              "changed meter reading code from A to  B for bill date  for account ");
    // clang-format off
    const std::tuple<int, const char*, const char*> cases[] = {
        {Code, "A", nullptr},
        {ReadDate, "04/28/2017", nullptr}, // the same date in its completed form
        {Multiplier, "10", "changed meter multiplier from 1.5 to 10 for bill date 5/1/2017 for account 10442"},
        {Tenants, "2", nullptr},
        {EntryDate, "5/2/2017", "changed meter reading entry date from UNKNOWN to 5/2/2017 for bill date 5/1/2017 for account 10442"},
    };
    // clang-format on
    for (const auto& [column, typed, text] : cases) {
        const std::optional<QString> described = audit.describe(column, typed, "5/1/2017", "10442");
        EXPECT_EQ(described.value_or("(none)"), text ? text : "(none)") << column << " " << typed;
    }
}

} // namespace
