#include "selection/ListSearch.h"
#include "selection/SearchLines.h"
#include "selection/SelectionSettings.h"

#include <gtest/gtest.h>

namespace {

// A line laid out as the list shows it.
QString line(const QString& accno, const QString& routeSeq, const QString& status, const QString& name,
             const QString& custAddr, const QString& locAddr, const QString& id)
{
    return accno.leftJustified(12, ' ', true) + routeSeq.leftJustified(11, ' ', true) + ' '
        + status.leftJustified(9, ' ', true) + name.leftJustified(20, ' ', true) + "  "
        + custAddr.leftJustified(15, ' ', true) + "  " + locAddr.leftJustified(15, ' ', true) + "  Loc ID: " + id;
}

const QString smith =
    line("123456789012", "12-340", "ACTIVE", "O'BRIEN [SMITH] 50%", "12 OAK ST", "9 ELM ST", "SL-7*A");

TEST(ListSearchRunTest, ComparesTheOptionsSlice)
{
    // Option 0: typed text begins the account number, a button's text is anywhere in its first 10.
    // Option 1: the name, positions 34-53, typed or not. Option 2: both addresses and the blanks
    // between them. Option 3: the blank before the ID and the ID. Option 4: route-sequence and the
    // blank after it. The operator's wildcards act; apostrophes and a lone bracket are plain characters.
    // clang-format off
    const struct { int option; bool typing; QStringList matching, failing; } cases[] = {
        {0, true, {"123", "", "[1]23"}, {"234", "12345678901"}}, {0, false, {"234", "90"}, {"901"}},
        {1, true, {"brien"}, {"active"}},
        {1, false, {"O'BRIEN", "o?brien", "brien*50", "##%", "#%", "[a-p]'b", "[smith", "smith]", "'", "[", "50%"}, {"oak", "[!o]'b", "'; drop table histsrch; --"}},
        {2, false, {"oak st", "elm"}, {"smith"}}, {2, true, {"ST        9"}, {}},
        {3, false, {" sl-", "7[*]a"}, {"Loc", "7[*]b"}}, {3, true, {"7*a"}, {}},
        {4, false, {"12-34", "340      "}, {"active"}},
    };
    // clang-format on
    SearchLines lines;
    lines.append(smith, 1, 1);
    for (const auto& c : cases) {
        for (const QString& text : c.matching + c.failing) {
            const ListSearch search(*SearchOption::at(c.option), text, c.typing);
            EXPECT_EQ(search.find(lines, ListSearch::Direction::First, 0), c.matching.contains(text) ? 0 : -1)
                << c.option << " " << text.toStdString() << ": " << search.pattern().toStdString();
        }
    }
}

TEST(ListSearchRunTest, TakesTheLongestPlainRunOfThePattern)
{
    const std::pair<const char*, const char*> cases[] = {
        {"*Smith*", "smith"}, {"*ab?cdef#[xyz]gh*", "cdef"}, {"*[ab*", "[ab"}, {"*[]xy*", "xy"},
        {"[ab]cd", "cd"},     {"*M\u00dcLLER*", ""},         {"**", ""}};
    for (const auto& [pattern, run] : cases)
        EXPECT_EQ(ListSearch::requiredRun(pattern), run) << pattern;
}

// Lines the quick test must not turn away: the pattern decides on them. A line added
// after a search is searched too.
TEST(ListSearchRunTest, NonAsciiLinesAreLeftToThePattern)
{
    SearchLines lines;
    lines.append(QString(33, u' ') + QChar(0x212A) + QStringLiteral("ELLY"), 1, 1); // KELVIN SIGN folds to k
    auto find = [&lines](const QString& text) {
        return ListSearch(*SearchOption::at(1), text, false).find(lines, ListSearch::Direction::First, 0);
    };
    EXPECT_EQ(find("kelly"), LikePattern("*kelly*").matches(QStringView(lines.text(0)).sliced(33)) ? 0 : -1);
    EXPECT_EQ(find("ller"), -1);
    lines.append(QString(33, u' ') + QStringLiteral("M\u00dcLLER"), 2, 2);
    EXPECT_EQ(find(QStringLiteral("m\u00fcller")), 1);
    EXPECT_EQ(find("ller"), 1);
}

class ListSearchFindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* names[] = {"SMITH ANN", "JONES BOB", "SMITH CAL", "BROWN DEE", "SMITHERS ED"};
        for (int i = 0; i < 5; ++i)
            lines.append(line(QString::number(100 + i), "1-1", "ACTIVE", names[i], "A", "B", "L"), i + 1, 10 * (i + 1));
    }
    qsizetype find(const char* text, ListSearch::Direction direction, qsizetype current) const
    {
        return ListSearch(*SearchOption::at(1), text, false).find(lines, direction, current);
    }
    SearchLines lines;
};

// Shown in reverse, the "first" SMITH is the last stored one; an order of the wrong size is never shown.
TEST_F(ListSearchFindTest, SearchesFollowTheShownOrder)
{
    EXPECT_FALSE(lines.showResortOrder(1));
    lines.setResortOrder(1, {4, 3, 2, 1, 0});
    lines.setResortOrder(2, {1, 2});
    ASSERT_TRUE(lines.showResortOrder(1));
    EXPECT_FALSE(lines.showResortOrder(2));
    EXPECT_EQ(find("smith", ListSearch::Direction::First, 0), 0);
    EXPECT_EQ(lines.locKey(0), 50);
    EXPECT_EQ(find("smith", ListSearch::Direction::Next, 0), 2);
    EXPECT_EQ(lines.locKey(2), 30);
}

TEST_F(ListSearchFindTest, FindTextTakesTheFirstEqualLine)
{
    const QString same = lines.text(2).toString();
    lines.append(same, 9, 90);
    EXPECT_EQ(lines.findText(lines.text(2)), 2);
    EXPECT_EQ(lines.findText(QStringLiteral("no such line")), -1);
    EXPECT_EQ(lines.rowOf(5), 5);
}

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

} // namespace
