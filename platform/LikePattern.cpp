#include "platform/LikePattern.h"

#include <QChar>
#include <QList>

namespace {

inline char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(c);
}

inline char32_t upper(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
    return QChar::toUpper(c);
}

// Code point readers: decode(pos, c) reads the character at pos and returns where
// the next one starts. Broken sequences read as U+FFFD, one unit at a time.
struct Utf16Text {
    const char16_t* data;
    qsizetype size;
    qsizetype decode(qsizetype pos, char32_t& c) const
    {
        const char16_t u = data[pos];
        if (QChar::isHighSurrogate(u) && pos + 1 < size && QChar::isLowSurrogate(data[pos + 1])) {
            c = QChar::surrogateToUcs4(u, data[pos + 1]);
            return pos + 2;
        }
        // A lone surrogate reads as U+FFFD, as the pattern's own text does, so text
        // searched for literally still finds itself.
        c = QChar::isSurrogate(u) ? char32_t(0xFFFD) : char32_t(u);
        return pos + 1;
    }
};

struct Utf8Text {
    const unsigned char* data;
    qsizetype size;
    qsizetype decode(qsizetype pos, char32_t& c) const
    {
        const unsigned char b = data[pos];
        if (b < 0x80) {
            c = b;
            return pos + 1;
        }
        int extra;
        char32_t value;
        if ((b & 0xE0) == 0xC0) {
            extra = 1;
            value = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            value = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            value = b & 0x07;
        } else {
            c = 0xFFFD;
            return pos + 1;
        }
        if (pos + extra >= size) {
            c = 0xFFFD;
            return pos + 1;
        }
        for (int i = 1; i <= extra; ++i) {
            const unsigned char next = data[pos + i];
            if ((next & 0xC0) != 0x80) {
                c = 0xFFFD;
                return pos + 1;
            }
            value = (value << 6) | (next & 0x3F);
        }
        c = value;
        return pos + 1 + extra;
    }
};

} // namespace

LikePattern::LikePattern(const QString& pattern) : m_pattern(pattern)
{
    compile();
}

void LikePattern::compile()
{
    const QList<uint> chars = m_pattern.toUcs4();
    const qsizetype count = chars.size();
    for (qsizetype i = 0; i < count; ++i) {
        const char32_t c = chars[i];
        switch (c) {
        case '*':
            if (m_tokens.empty() || m_tokens.back().kind != Kind::Star)
                m_tokens.push_back({Kind::Star});
            continue;
        case '?': m_tokens.push_back({Kind::AnyOne}); continue;
        case '#': m_tokens.push_back({Kind::Digit}); continue;
        case '[': {
            qsizetype close = i + 1;
            while (close < count && chars[close] != ']')
                ++close;
            if (close == count)
                break; // no closing bracket: the '[' is an ordinary character
            Token set{Kind::Set};
            qsizetype j = i + 1;
            if (j < close && chars[j] == '!') {
                set.negated = true;
                ++j;
            }
            set.rangeBegin = static_cast<uint32_t>(m_ranges.size());
            while (j < close) {
                if (j + 2 < close && chars[j + 1] == '-') {
                    m_ranges.push_back({chars[j], chars[j + 2]});
                    j += 3;
                } else {
                    m_ranges.push_back({chars[j], chars[j]});
                    ++j;
                }
            }
            set.rangeEnd = static_cast<uint32_t>(m_ranges.size());
            // "[]" stands for no character at all; "[!]" for any one character.
            if (set.rangeBegin != set.rangeEnd || set.negated)
                m_tokens.push_back(set);
            i = close;
            continue;
        }
        default: break;
        }
        Token literal{Kind::Literal};
        literal.folded = fold(c);
        m_tokens.push_back(literal);
    }
}

bool LikePattern::matchesOne(const Token& token, char32_t c) const
{
    switch (token.kind) {
    case Kind::Literal: return fold(c) == token.folded;
    case Kind::AnyOne: return true;
    case Kind::Digit: return c >= '0' && c <= '9';
    case Kind::Set: {
        // A range compares in the case it was written and in the other case too.
        const char32_t folded = fold(c);
        const char32_t upperCase = upper(c);
        bool inSet = false;
        for (uint32_t r = token.rangeBegin; r < token.rangeEnd && !inSet; ++r) {
            const Range& range = m_ranges[r];
            inSet = (c >= range.low && c <= range.high) || (folded >= range.low && folded <= range.high)
                || (upperCase >= range.low && upperCase <= range.high);
        }
        return inSet != token.negated;
    }
    case Kind::Star: break;
    }
    return false;
}

// Greedy stars with one backtrack point: every other token takes exactly one
// character, so only the latest star ever needs to grow, and matching stays
// O(text x pattern) even for patterns like "*a*a*a*b".
template <typename Text>
bool LikePattern::run(const Text& text) const
{
    constexpr size_t noStar = static_cast<size_t>(-1);
    const size_t tokenCount = m_tokens.size();
    size_t token = 0;
    qsizetype pos = 0;
    size_t starToken = noStar;
    qsizetype starPos = 0;
    for (;;) {
        if (token < tokenCount && m_tokens[token].kind == Kind::Star) {
            if (token + 1 == tokenCount)
                return true;
            starToken = token++;
            starPos = pos;
            continue;
        }
        if (pos == text.size)
            return token == tokenCount;
        char32_t c;
        const qsizetype next = text.decode(pos, c);
        if (token < tokenCount && matchesOne(m_tokens[token], c)) {
            ++token;
            pos = next;
            continue;
        }
        if (starToken == noStar)
            return false;
        token = starToken + 1;
        char32_t skipped;
        starPos = text.decode(starPos, skipped);
        pos = starPos;
    }
}

bool LikePattern::matches(QStringView text) const
{
    return run(Utf16Text{reinterpret_cast<const char16_t*>(text.utf16()), text.size()});
}

bool LikePattern::matchesUtf8(const char* data, qsizetype size) const
{
    return run(Utf8Text{reinterpret_cast<const unsigned char*>(data), size});
}

QString LikePattern::escape(const QString& literal)
{
    QString pattern;
    pattern.reserve(literal.size() + 8);
    for (const QChar c : literal) {
        if (c == u'[' || c == u'*' || c == u'?' || c == u'#') {
            pattern += QLatin1Char('[');
            pattern += c;
            pattern += QLatin1Char(']');
        } else {
            pattern += c;
        }
    }
    return pattern;
}
