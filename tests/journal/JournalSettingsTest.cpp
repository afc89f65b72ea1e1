#include "journal/JournalSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(JournalViewSettings, ReadsFlagsLenientlyAndTheWidth)
{
    struct Case {
        const char* text;
        JournalFlags expected;
        int width;
    } cases[] = {
        {"-1\r\n0\r\n1\r\n0\r\n13000\r\n", {0, 0, -1, -1}, 13000},
        {" -1\n 0\n 1\n", {0, 0, -1, -1}, 11380},
        {"2\r\nyes\r\n\r\n -1 \r\nwide\r\n", {-1, 0, 0, 0}, 11380},
        {"", {0, 0, 0, 0}, 11380},
        {"\xff\xfe\x00\x01", {0, 0, 0, 0}, 11380},
    };
    for (const Case& c : cases) {
        const auto settings = JournalViewSettings::parse(QByteArray(c.text));
        JournalFlags flags;
        settings.raiseFlags(flags);
        EXPECT_EQ(flags.ShowPrevReadings, c.expected.ShowPrevReadings) << c.text;
        EXPECT_EQ(flags.ConsolidatePayments, c.expected.ConsolidatePayments) << c.text;
        EXPECT_EQ(flags.MultApplied, c.expected.MultApplied) << c.text;
        EXPECT_EQ(flags.HideComments, c.expected.HideComments) << c.text;
        EXPECT_EQ(settings.widthTwips, c.width) << c.text;
    }
}

TEST(JournalViewSettings, RaisingNeverLowersAFlag)
{
    JournalFlags flags;
    flags.HideComments = JournalFlags::True;
    JournalViewSettings::parse("0\r\n0\r\n0\r\n0\r\n").raiseFlags(flags);
    EXPECT_EQ(flags.HideComments, JournalFlags::True);
}

TEST(JournalViewSettings, WritesTheFoundFileWithTheWidthFloor)
{
    QTemporaryDir dir;
    JournalFlags flags;
    flags.ShowPrevReadings = JournalFlags::True;
    ASSERT_TRUE(JournalViewSettings::write(dir.path(), flags, 9000));
    QFile created(dir.filePath("ViewLed.ini"));
    ASSERT_TRUE(created.open(QIODevice::ReadOnly));
    EXPECT_EQ(created.readAll(), QByteArray("-1\r\n 0\r\n 0\r\n 0\r\n 11380\r\n"));
    created.close();

    // An upper-case file left by another program is rewritten, not duplicated.
    QFile::rename(dir.filePath("ViewLed.ini"), dir.filePath("VIEWLED.INI"));
    ASSERT_TRUE(JournalViewSettings::write(dir.path(), JournalFlags{}, 14000));
    QFile upper(dir.filePath("VIEWLED.INI"));
    ASSERT_TRUE(upper.open(QIODevice::ReadOnly));
    EXPECT_EQ(upper.readAll(), QByteArray(" 0\r\n 0\r\n 0\r\n 0\r\n 14000\r\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath("ViewLed.ini")));
    ASSERT_TRUE(JournalViewSettings::read(dir.path()).has_value());
}

TEST(PrintRange, DefaultsAndDatesFromTheFile)
{
    const PrintRange none;
    EXPECT_EQ(none.PrintFrom, QDate(1000, 1, 1));
    EXPECT_EQ(none.PrintTo, QDate(2100, 12, 31));
    EXPECT_FALSE(none.PrintRangeSet);

    const PrintRange both = PrintRange::parse("1/1/2017\r\n12/31/17\r\n");
    EXPECT_TRUE(both.PrintRangeSet);
    EXPECT_EQ(both.PrintFrom, QDate(2017, 1, 1));
    EXPECT_EQ(both.PrintTo, QDate(2017, 12, 31));

    const PrintRange bad = PrintRange::parse("someday\r\n2/30/2019\r\n");
    EXPECT_TRUE(bad.PrintRangeSet);
    EXPECT_EQ(bad.PrintFrom, QDate(1000, 1, 1));
    EXPECT_EQ(bad.PrintTo, QDate(2100, 12, 31));
}

} // namespace
