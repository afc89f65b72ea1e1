#include "platform/LikePattern.h"

#include <gtest/gtest.h>

namespace {

TEST(LikePatternTest, MatchesUtf16AndUtf8Alike)
{
    // clang-format off
    struct Case { const char* text; const char* pattern; bool matches; };
    const Case cases[] = {
        {"aBa", "a*a", true}, {"AABB", "*ab*", true}, {"a10a", "a#a", false}, {"a1a", "a#a", true},
        {"An9", "a[!b-m]#", true}, {"Ac9", "a[!b-m]#", false}, {"a*a", "a[*]a", true}, {"aaa", "a[*]a", false},
        {"xMULT:10", "*MULT:*", true}, {"EST MULT:10  -OLD METER-", "*MULT:*", true},
        {"EST mult 10", "*MULT:*", false}, {"F", "[a-z]", true}, {"f", "[A-Z]", true}, {"5", "[a-z]", false},
        {"b", "[abc]", true}, {"d", "[abc]", false}, {"d", "[!abc]", true}, {"-", "[a-]", true}, {"-", "[-a]", true},
        {"!", "[!]", true}, {"?", "[?]", true}, {"x", "[?]", false}, {"#", "[#]", true}, {"7", "[#]", false},
        {"[", "[[]", true}, {"a[b", "a[b", true}, {"ab", "a[]b", true}, {"a]b", "a]b", true}, {"abc", "abc", true},
        {"abcd", "abc", false}, {"ab", "abc", false}, {"", "", true}, {"", "*", true}, {"a", "", false},
        {"", "?", false}, {"abc", "???", true}, {"abc", "??", false}, {"abc", "**c", true}, {"abcbc", "*bc", true},
        {"abcbd", "*bc", false}, {"mississippi", "m*iss*ppi", true}, {"mississippi", "m*iss*ppx", false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "*a*a*a*a*a*a*a*a*a*b", false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*a*b", true}, {"ÉCOLE", "école", true},
        {"straße", "STRASSE", false}, {"ΣΊΣΥΦΟΣ", "σίσυφοσ", true}, {"Ñu", "[ñ]?", true}, {"€5", "?#", true},
        {"a😀b", "a?b", true}, {"a😀b", "a??b", false}, {"١", "#", false}};
    // clang-format on
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const LikePattern pattern(QString::fromUtf8(c.pattern));
        EXPECT_EQ(pattern.matches(text), c.matches) << "'" << c.text << "' LIKE '" << c.pattern << "'";
        const QByteArray utf8 = text.toUtf8();
        EXPECT_EQ(pattern.matchesUtf8(utf8.constData(), utf8.size()), c.matches)
            << "UTF-8: '" << c.text << "' LIKE '" << c.pattern << "'";
    }
}

TEST(LikePatternTest, BrokenSequencesMatchAsSingleCharacters)
{
    const LikePattern oneChar(QStringLiteral("a?b"));
    EXPECT_TRUE(oneChar.matchesUtf8("a\377b", 3));
    EXPECT_TRUE(oneChar.matchesUtf8("a\303b", 3));
    EXPECT_FALSE(oneChar.matchesUtf8("a\303", 2));
}

} // namespace
