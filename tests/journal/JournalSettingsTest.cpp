#include "journal/JournalSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(JournalViewSettings, ReadsFlagsLenientlyAndTheWidth)
{
    // clang-format off
    struct Case { const char* text; JournalFlags expected; int width; } cases[] = {
        {"-1\r\n0\r\n1\r\n0\r\n13000\r\n", {0, 0, -1, -1}, 13000}, {" -1\n 0\n 1\n", {0, 0, -1, -1}, 11380},
        {"2\r\nyes\r\n\r\n -1 \r\nwide\r\n", {-1, 0, 0, 0}, 11380}, {"", {0, 0, 0, 0}, 11380}, {"\xff\xfe\x00\x01", {0, 0, 0, 0}, 11380}};
    // clang-format on
    for (const Case& c : cases) {
        const auto settings = JournalViewSettings::parse(QByteArray(c.text));
        JournalFlags flags;
        settings.raiseFlags(flags);
        EXPECT_EQ(std::tuple(flags.ShowPrevReadings, flags.ConsolidatePayments, flags.MultApplied, flags.HideComments,
                             settings.widthTwips),
                  std::tuple(c.expected.ShowPrevReadings, c.expected.ConsolidatePayments, c.expected.MultApplied,
                             c.expected.HideComments, c.width))
            << c.text;
    }
    // Raising never lowers a flag.
    JournalFlags flags;
    flags.HideComments = JournalFlags::True;
    JournalViewSettings::parse("0\r\n0\r\n0\r\n0\r\n").raiseFlags(flags);
    EXPECT_EQ(flags.HideComments, JournalFlags::True);
}
} // namespace
