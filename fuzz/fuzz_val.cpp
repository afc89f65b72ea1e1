// BasicRuntime's numeric reading: val, toNumber, the integer conversion, the
// number writers fed with whatever val returns, and the money reader.
#include "FuzzSupport.h"
#include "platform/BasicRuntime.h"
#include "platform/Currency.h"

#include <cmath>

namespace {

bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = QString::fromUtf8(bytes);

    const double fromText = BasicRuntime::val(text);
    const double fromBytes = BasicRuntime::val(bytes.constData(), static_cast<size_t>(bytes.size()));
    const std::optional<double> wholeText = BasicRuntime::toNumber(text);
    const std::optional<double> wholeBytes =
        BasicRuntime::toNumber(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (isCleanUtf8(bytes)) {
        // The SQL functions read UTF-8 and C++ code reads QString: one parser, one answer.
        FUZZ_CHECK(same(fromText, fromBytes));
        FUZZ_CHECK(wholeText.has_value() == wholeBytes.has_value());
        if (wholeText && wholeBytes)
            FUZZ_CHECK(same(*wholeText, *wholeBytes));
    }
    // Text that is wholly a number is also its own leading number (a carriage return
    // around it is trimmed by the one and stops the other, as in the runtime).
    if (wholeText && std::isfinite(*wholeText) && !text.contains(QLatin1Char('\r')))
        FUZZ_CHECK(same(*wholeText, fromText));

    // The money reader's fast path over UTF-8 gives what the general reader gives.
    if (isCleanUtf8(bytes))
        FUZZ_CHECK(Currency::fromUtf8(bytes.constData(), static_cast<size_t>(bytes.size()))
                   == Currency::fromText(text));

    (void)BasicRuntime::toInt32(fromText);
    if (std::isfinite(fromText)) {
        // Str's output reads back to a value whose Str is the same text.
        const QString written = BasicRuntime::str(fromText);
        FUZZ_CHECK(BasicRuntime::str(BasicRuntime::val(written)) == written);
        char buffer[BasicRuntime::AmountTextCapacity];
        FUZZ_CHECK(BasicRuntime::writeStr(fromText, buffer) <= BasicRuntime::NumberTextCapacity);
        FUZZ_CHECK(BasicRuntime::writePlainNumber(fromText, buffer) <= BasicRuntime::NumberTextCapacity);
        FUZZ_CHECK(BasicRuntime::writeAmount(fromText, true, buffer) <= BasicRuntime::AmountTextCapacity);
        (void)BasicRuntime::formatAmount(fromText);
        (void)BasicRuntime::formatDollars(fromText);
    }
    return 0;
}
