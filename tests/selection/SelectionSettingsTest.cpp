#include "selection/SelectionSettings.h"
#include "support/TestSuite.h"

#include <gtest/gtest.h>

namespace {

TEST(SelectionSettingsFileTest, ReadsOptionAndText)
{
    const std::tuple<QByteArray, std::optional<int>, std::optional<QString>> cases[] = {
        {" 3 \r\nSMITH\r\n", 3, "SMITH"}, {"4\nO'BRIEN [A*]\n", 4, "O'BRIEN [A*]"},
        {" 2 \r\n\r\n", 2, ""},           {" 1 \r\n", 1, std::nullopt},
        {" 1 ", 1, std::nullopt},         {"", std::nullopt, std::nullopt},
        {" 9 \r\nX\r\n", 0, "X"}, // no such option: the first one
        {"abc\r\nX\r\n", 0, "X"},         {"-1\r\n  text with blanks  \r\nline 3\r\n", 0, "  text with blanks  "}};
    for (const auto& [contents, index, text] : cases) {
        const SelectionSettings settings = SelectionSettings::parse(contents);
        EXPECT_EQ(settings.SortIndex, index) << contents.toStdString();
        EXPECT_EQ(settings.searchText, text) << contents.toStdString();
    }
}

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
