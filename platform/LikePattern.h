#pragma once

#include <QString>
#include <vector>

// The desktop engine's LIKE: '*' any run, '?' one character, '#' one digit,
// '[abc]', '[a-z]', '[!abc]' sets (a '*', '?' or '#' inside brackets is literal);
// letters compare without regard to case. The whole text must match.
class LikePattern {
public:
    explicit LikePattern(const QString& pattern);
    bool matches(const QString& text) const;
    const QString& pattern() const { return m_pattern; }

    // A pattern that matches exactly the given text: every special character is
    // bracketed, so stored or typed text can be searched for literally.
    static QString escape(const QString& literal);

private:
    struct Token;
    QString m_pattern;
    std::vector<Token> m_tokens;
    bool matchFrom(size_t token, const QString& text, qsizetype pos) const;
};
