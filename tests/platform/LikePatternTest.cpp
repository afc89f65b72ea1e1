#include "platform/LikePattern.h"

#include <gtest/gtest.h>

namespace {

struct LikeCase {
    const char* text;
    const char* pattern;
    bool matches;
};

class LikePatternTest : public testing::TestWithParam<LikeCase> {};

TEST_P(LikePatternTest, MatchesUtf16AndUtf8Alike)
{
    const LikeCase& c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    const LikePattern pattern(QString::fromUtf8(c.pattern));
    EXPECT_EQ(pattern.matches(text), c.matches) << "'" << c.text << "' LIKE '" << c.pattern << "'";
    const QByteArray utf8 = text.toUtf8();
    EXPECT_EQ(pattern.matchesUtf8(utf8.constData(), utf8.size()), c.matches)
        << "UTF-8: '" << c.text << "' LIKE '" << c.pattern << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LikePatternTest,
    testing::Values(LikeCase{"aBa", "a*a", true}, LikeCase{"AABB", "*ab*", true}, LikeCase{"a10a", "a#a", false},
                    LikeCase{"a1a", "a#a", true}, LikeCase{"An9", "a[!b-m]#", true}, LikeCase{"Ac9", "a[!b-m]#", false},
                    LikeCase{"a*a", "a[*]a", true}, LikeCase{"aaa", "a[*]a", false},
                    LikeCase{"xMULT:10", "*MULT:*", true}, LikeCase{"EST MULT:10  -OLD METER-", "*MULT:*", true},
                    LikeCase{"EST mult 10", "*MULT:*", false}, LikeCase{"F", "[a-z]", true},
                    LikeCase{"f", "[A-Z]", true}, LikeCase{"5", "[a-z]", false}, LikeCase{"b", "[abc]", true},
                    LikeCase{"d", "[abc]", false}, LikeCase{"d", "[!abc]", true}, LikeCase{"-", "[a-]", true},
                    LikeCase{"-", "[-a]", true}, LikeCase{"!", "[!]", true}, LikeCase{"?", "[?]", true},
                    LikeCase{"x", "[?]", false}, LikeCase{"#", "[#]", true}, LikeCase{"7", "[#]", false},
                    LikeCase{"[", "[[]", true}, LikeCase{"a[b", "a[b", true}, LikeCase{"ab", "a[]b", true},
                    LikeCase{"a]b", "a]b", true}, LikeCase{"abc", "abc", true}, LikeCase{"abcd", "abc", false},
                    LikeCase{"ab", "abc", false}, LikeCase{"", "", true}, LikeCase{"", "*", true},
                    LikeCase{"a", "", false}, LikeCase{"", "?", false}, LikeCase{"abc", "???", true},
                    LikeCase{"abc", "??", false}, LikeCase{"abc", "**c", true}, LikeCase{"abcbc", "*bc", true},
                    LikeCase{"abcbd", "*bc", false}, LikeCase{"mississippi", "m*iss*ppi", true},
                    LikeCase{"mississippi", "m*iss*ppx", false},
                    LikeCase{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "*a*a*a*a*a*a*a*a*a*b", false},
                    LikeCase{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*a*b", true},
                    LikeCase{"ÉCOLE", "école", true}, LikeCase{"straße", "STRASSE", false},
                    LikeCase{"ΣΊΣΥΦΟΣ", "σίσυφοσ", true}, LikeCase{"Ñu", "[ñ]?", true}, LikeCase{"€5", "?#", true},
                    LikeCase{"a😀b", "a?b", true}, LikeCase{"a😀b", "a??b", false}, LikeCase{"١", "#", false}));

TEST(LikePatternEscapeTest, EscapedTextMatchesOnlyItself)
{
    const char* literals[] = {"plain", "50% [off]", "a*b", "who?", "#12", "[x]", "]", "!-", "", "x[*?#]y"};
    for (const char* literal : literals) {
        const QString text = QString::fromUtf8(literal);
        const LikePattern pattern(LikePattern::escape(text));
        EXPECT_TRUE(pattern.matches(text)) << literal;
        EXPECT_FALSE(pattern.matches(text + QLatin1Char('x'))) << literal;
        EXPECT_TRUE(LikePattern(QLatin1Char('*') + LikePattern::escape(text) + QLatin1Char('*'))
                        .matches(QStringLiteral("<<") + text + QStringLiteral(">>")))
            << literal;
    }
    EXPECT_FALSE(LikePattern(LikePattern::escape(QStringLiteral("a*b"))).matches(QStringLiteral("aXb")));
    EXPECT_FALSE(LikePattern(LikePattern::escape(QStringLiteral("#1"))).matches(QStringLiteral("51")));
    EXPECT_EQ(LikePattern::escape(QStringLiteral("[a]*?#")), QStringLiteral("[[]a][*][?][#]"));
}

TEST(LikePatternUtf8Test, BrokenSequencesMatchAsSingleCharacters)
{
    const LikePattern oneChar(QStringLiteral("a?b"));
    EXPECT_TRUE(oneChar.matchesUtf8("a\xFF"
                                    "b",
                                    3));
    EXPECT_TRUE(oneChar.matchesUtf8("a\xC3"
                                    "b",
                                    3));
    EXPECT_FALSE(oneChar.matchesUtf8("a\xC3", 2));
}

} // namespace
