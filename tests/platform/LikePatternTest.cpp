#include "platform/LikePattern.h"

#include "platform/TestRows.h"

#include <gtest/gtest.h>

namespace {

TEST(LikePatternTest, MatchesUtf16AndUtf8Alike)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool matches;
    };
    const auto cases = rows(
        Case{"aBa", "a*a", true}, Case{"AABB", "*ab*", true}, Case{"a10a", "a#a", false}, Case{"a1a", "a#a", true},
        Case{"An9", "a[!b-m]#", true}, Case{"Ac9", "a[!b-m]#", false}, Case{"a*a", "a[*]a", true},
        Case{"aaa", "a[*]a", false}, Case{"xMULT:10", "*MULT:*", true},
        Case{"EST MULT:10  -OLD METER-", "*MULT:*", true}, Case{"EST mult 10", "*MULT:*", false},
        Case{"F", "[a-z]", true}, Case{"f", "[A-Z]", true}, Case{"5", "[a-z]", false}, Case{"b", "[abc]", true},
        Case{"d", "[abc]", false}, Case{"d", "[!abc]", true}, Case{"-", "[a-]", true}, Case{"-", "[-a]", true},
        Case{"!", "[!]", true}, Case{"?", "[?]", true}, Case{"x", "[?]", false}, Case{"#", "[#]", true},
        Case{"7", "[#]", false}, Case{"[", "[[]", true}, Case{"a[b", "a[b", true}, Case{"ab", "a[]b", true},
        Case{"a]b", "a]b", true}, Case{"abc", "abc", true}, Case{"abcd", "abc", false}, Case{"ab", "abc", false},
        Case{"", "", true}, Case{"", "*", true}, Case{"a", "", false}, Case{"", "?", false}, Case{"abc", "???", true},
        Case{"abc", "??", false}, Case{"abc", "**c", true}, Case{"abcbc", "*bc", true}, Case{"abcbd", "*bc", false},
        Case{"mississippi", "m*iss*ppi", true}, Case{"mississippi", "m*iss*ppx", false},
        Case{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "*a*a*a*a*a*a*a*a*a*b", false},
        Case{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*a*b", true}, Case{"ÉCOLE", "école", true},
        Case{"straße", "STRASSE", false}, Case{"ΣΊΣΥΦΟΣ", "σίσυφοσ", true}, Case{"Ñu", "[ñ]?", true},
        Case{"€5", "?#", true}, Case{"a😀b", "a?b", true}, Case{"a😀b", "a??b", false}, Case{"١", "#", false});
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const LikePattern pattern(QString::fromUtf8(c.pattern));
        EXPECT_EQ(pattern.matches(text), c.matches) << "'" << c.text << "' LIKE '" << c.pattern << "'";
        const QByteArray utf8 = text.toUtf8();
        EXPECT_EQ(pattern.matchesUtf8(utf8.constData(), utf8.size()), c.matches)
            << "UTF-8: '" << c.text << "' LIKE '" << c.pattern << "'";
    }
}

TEST(LikePatternTest, EscapedTextMatchesOnlyItself)
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

TEST(LikePatternTest, BrokenSequencesMatchAsSingleCharacters)
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
