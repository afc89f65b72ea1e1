// The program's command line "K-L".
#include "FuzzSupport.h"
#include "app/Main.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString commandLine = QString::fromUtf8(fuzzBytes(data, size));
    const auto [custKey, locKey] = Main::parseAccountKeys(commandLine);
    if (!commandLine.contains(QLatin1Char('-')))
        FUZZ_CHECK(custKey == 0 && locKey == 0);
    // Keys are read from the text around the first hyphen alone.
    const qsizetype hyphen = commandLine.indexOf(QLatin1Char('-'));
    if (hyphen >= 0) {
        const auto [custAgain, locAgain] = Main::parseAccountKeys(commandLine.left(hyphen) + QLatin1Char('-'));
        FUZZ_CHECK(custAgain == custKey && locAgain == 0);
    }
    return 0;
}
