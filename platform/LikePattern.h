#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

// The desktop engine's LIKE: '*' any run, '?' one character, '#' one digit,
// '[abc]', '[a-z]', '[!abc]' sets (a '*', '?' or '#' inside brackets is literal);
// letters compare without regard to case. The whole text must match.
// A '[' without a closing ']' stands for itself; "[]" matches nothing (no character).
// A character is a Unicode code point, in UTF-16 and UTF-8 text alike.
class LikePattern {
public:
    explicit LikePattern(const QString& pattern);
    bool matches(QStringView text) const;
    bool matchesUtf8(const char* data, qsizetype size) const;
    const QString& pattern() const { return m_pattern; }

    // A pattern that matches exactly the given text: every special character is
    // bracketed, so stored or typed text can be searched for literally.
    static QString escape(const QString& literal);

private:
    enum class Kind : uint8_t { Literal, AnyOne, Digit, Set, Star };
    struct Token {
        Kind kind;
        bool negated = false;
        char32_t folded = 0; // Literal: the case-folded character
        uint32_t rangeBegin = 0; // Set: its ranges in m_ranges
        uint32_t rangeEnd = 0;
    };
    struct Range {
        char32_t low;
        char32_t high;
    };

    QString m_pattern;
    std::vector<Token> m_tokens;
    std::vector<Range> m_ranges;

    void compile();
    bool matchesOne(const Token& token, char32_t c) const;
    template <typename Text>
    bool run(const Text& text) const;
};
