#include "selection/SelectionSettings.h"
#include "support/TestSuite.h"

#include <gtest/gtest.h>

namespace {

struct SettingsCase {
    QByteArray contents;
    std::optional<int> index;
    std::optional<QString> text;
};

class SelectionSettingsParseTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SelectionSettingsParseTest, ReadsOptionAndText)
{
    const SelectionSettings settings = SelectionSettings::parse(GetParam().contents);
    EXPECT_EQ(settings.SortIndex, GetParam().index);
    EXPECT_EQ(settings.searchText, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SelectionSettingsParseTest,
    ::testing::Values(SettingsCase{" 3 \r\nSMITH\r\n", 3, QString("SMITH")},
                      SettingsCase{"4\nO'BRIEN [A*]\n", 4, QString("O'BRIEN [A*]")},
                      SettingsCase{" 2 \r\n\r\n", 2, QString("")}, SettingsCase{" 1 \r\n", 1, std::nullopt},
                      SettingsCase{" 1 ", 1, std::nullopt}, SettingsCase{"", std::nullopt, std::nullopt},
                      SettingsCase{" 9 \r\nX\r\n", 0, QString("X")}, // no such option: the first one
                      SettingsCase{"abc\r\nX\r\n", 0, QString("X")},
                      SettingsCase{"-1\r\n  text with blanks  \r\nline 3\r\n", 0, QString("  text with blanks  ")}));

TEST(SelectionSettingsFileTest, WritesTheSuitesFormatAndReadsItBack)
{
    TestSuite suite;
    EXPECT_FALSE(SelectionSettings::read(suite.folder()));
    ASSERT_TRUE(SelectionSettings::write(suite.folder(), 4, "O'BRIEN"));
    EXPECT_EQ(suite.readFile("ledviewsel.ini"), QByteArray(" 4 \r\nO'BRIEN\r\n"));
    const auto read = SelectionSettings::read(suite.folder());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->SortIndex, 4);
    EXPECT_EQ(read->searchText, QString("O'BRIEN"));

    // A file of another case is the same file, and is rewritten in place.
    QFile::remove(suite.filePath("ledviewsel.ini"));
    suite.writeFile("LEDVIEWSEL.INI", " 1 \r\nX\r\n");
    EXPECT_EQ(SelectionSettings::read(suite.folder())->SortIndex, 1);
    ASSERT_TRUE(SelectionSettings::write(suite.folder(), 0, ""));
    EXPECT_EQ(suite.readFile("LEDVIEWSEL.INI"), QByteArray(" 0 \r\n\r\n"));
    EXPECT_EQ(SelectionSettings::format(std::nullopt, "T"), QByteArray("T\r\n"));
}

} // namespace
