#pragma once

#include <QChar>
#include <QString>
#include <vector>

// A slow, plain reading of the desktop engine's LIKE, written apart from LikePattern
// to catch its faults: the pattern is read into elements, then matched by dynamic
// programming over (element, character) instead of LikePattern's greedy stars.
// Its loops are kept out of the coverage feedback: the fuzzer is steering
// LikePattern, and tracing every table cell would slow each run tenfold.
#define REFERENCE_UNTRACED __attribute__((no_sanitize("coverage")))

class ReferenceLike {
public:
    explicit ReferenceLike(const std::u32string& pattern)
    {
        for (size_t i = 0; i < pattern.size(); ++i) {
            const char32_t c = pattern[i];
            if (c == U'[') {
                const size_t close = pattern.find(U']', i + 1);
                if (close != std::u32string::npos) {
                    addSet(pattern.substr(i + 1, close - i - 1));
                    i = close;
                    continue;
                }
            }
            Element element;
            element.kind = c == U'*' ? Kind::Star : c == U'?' ? Kind::Any : c == U'#' ? Kind::Digit : Kind::Char;
            element.c = folded(c);
            m_elements.push_back(element);
        }
    }

    REFERENCE_UNTRACED bool matches(const std::u32string& text) const
    {
        const size_t n = m_elements.size();
        const size_t m = text.size();
        std::vector<Character> characters;
        characters.reserve(m);
        for (const char32_t c : text)
            characters.push_back({c, folded(c), QChar::toUpper(c)});
        // can(e, t): elements from e on match text from t on.
        std::vector<char> table((n + 1) * (m + 1), 0);
        auto can = [&](size_t e, size_t t) -> char& { return table[e * (m + 1) + t]; };
        can(n, m) = 1;
        for (size_t e = n; e-- > 0;) {
            const Element& element = m_elements[e];
            for (size_t t = m + 1; t-- > 0;) {
                if (element.kind == Kind::Star)
                    can(e, t) = can(e + 1, t) || (t < m && can(e, t + 1));
                else
                    can(e, t) = t < m && accepts(element, characters[t]) && can(e + 1, t + 1);
            }
        }
        return can(0, 0);
    }

private:
    enum class Kind { Char, Any, Digit, Star, Set };
    struct Character {
        char32_t c, folded, upper;
    };
    struct Element {
        Kind kind = Kind::Char;
        char32_t c = 0; // Char: the case-folded character
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;
    };

    void addSet(std::u32string body)
    {
        Element set;
        set.kind = Kind::Set;
        if (!body.empty() && body[0] == U'!') {
            set.negated = true;
            body.erase(0, 1);
        }
        for (size_t j = 0; j < body.size();) {
            if (j + 2 < body.size() && body[j + 1] == U'-') {
                set.ranges.push_back({body[j], body[j + 2]});
                j += 3;
            } else {
                set.ranges.push_back({body[j], body[j]});
                ++j;
            }
        }
        // "[]" is no character at all.
        if (!set.ranges.empty() || set.negated)
            m_elements.push_back(set);
    }

    static char32_t folded(char32_t c) { return QChar::toCaseFolded(c); }

    REFERENCE_UNTRACED static bool accepts(const Element& element, const Character& c)
    {
        switch (element.kind) {
        case Kind::Char: return c.folded == element.c;
        case Kind::Any: return true;
        case Kind::Digit: return c.c >= U'0' && c.c <= U'9';
        case Kind::Set: {
            bool in = false;
            for (const auto& [low, high] : element.ranges) {
                for (const char32_t form : {c.c, c.folded, c.upper})
                    in = in || (form >= low && form <= high);
            }
            return in != element.negated;
        }
        case Kind::Star: break;
        }
        return false;
    }

    std::vector<Element> m_elements;
};
