// The LIKE matcher: pattern and text from the input (split at the first NUL byte,
// or the input against itself), over UTF-16 and UTF-8, checked against a plain
// reference matcher and against its own escape.
#include "FuzzSupport.h"
#include "ReferenceLike.h"
#include "platform/LikePattern.h"

#include <QList>

namespace {

std::u32string codePoints(const QString& text)
{
    const QList<uint> ucs4 = text.toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

// The reference is quadratic in memory: long inputs are checked for crashes only.
constexpr qsizetype referenceLimit = 128;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const qsizetype split = bytes.indexOf('\0');
    const QByteArray patternBytes = split < 0 ? bytes : bytes.left(split);
    const QByteArray textBytes = split < 0 ? bytes : bytes.mid(split + 1);
    const QString patternText = QString::fromUtf8(patternBytes);
    const QString text = QString::fromUtf8(textBytes);

    const LikePattern like(patternText);
    const bool matched = like.matches(text);
    const bool matchedUtf8 = like.matchesUtf8(textBytes.constData(), textBytes.size());
    if (isCleanUtf8(textBytes))
        FUZZ_CHECK(matched == matchedUtf8);

    if (patternText.size() <= referenceLimit && text.size() <= referenceLimit)
        FUZZ_CHECK(matched == ReferenceLike(codePoints(patternText)).matches(codePoints(text)));

    // Stored or typed text searched for literally finds itself, whatever it holds.
    const LikePattern literal(LikePattern::escape(text));
    FUZZ_CHECK(literal.matches(text));
    FUZZ_CHECK(literal.matchesUtf8(textBytes.constData(), textBytes.size()) || !isCleanUtf8(textBytes));

    // The same text as raw UTF-16 units, lone surrogates and all, as a typed text can be.
    const QString units(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    FUZZ_CHECK(LikePattern(LikePattern::escape(units)).matches(units));
    return 0;
}
