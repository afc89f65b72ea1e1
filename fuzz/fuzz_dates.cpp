// Date reading: DateText::parse over UTF-16 and UTF-8, and the two typed-date
// completions of the comment dialog and the readings grid.
#include "FuzzSupport.h"
#include "app/DateEntry.h"
#include "platform/DateText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString text = QString::fromUtf8(bytes);

    const std::optional<QDate> date = DateText::parse(text);
    char iso[10];
    const bool isoFound = DateText::parseToIso(bytes.constData(), static_cast<size_t>(bytes.size()), iso);
    if (isCleanUtf8(bytes)) {
        FUZZ_CHECK(date.has_value() == isoFound);
        if (date && isoFound)
            FUZZ_CHECK(DateText::toIso(*date) == QLatin1String(iso, 10));
    }
    if (date) {
        FUZZ_CHECK(date->isValid());
        // Every form the program writes reads back as the same day.
        FUZZ_CHECK(DateText::parse(DateText::toIso(*date)) == date);
        FUZZ_CHECK(DateText::parse(DateText::toShort(*date)) == date);
        FUZZ_CHECK(DateText::parse(DateText::toTyped(*date)) == date);
    }

    // The comment dialog's check: a result without a message is the typed text, a
    // completed mm/dd/yyyy date, or a composed text left for the save to refuse.
    const DateEntry::Outcome checked = DateEntry::CheckDateEntry(text);
    if (checked.message)
        FUZZ_CHECK(checked.text.isEmpty());
    if (const auto completed = DateText::parse(checked.text); completed && !checked.message && checked.text != text)
        FUZZ_CHECK(checked.text == DateText::toTyped(*completed));

    // The grid's completion leaves a date or an empty box with a message.
    const DateEntry::Outcome grid = DateEntry::CompleteDateEntry(text);
    if (grid.message)
        FUZZ_CHECK(grid.text.isEmpty());
    else
        FUZZ_CHECK(DateEntry::isDate(grid.text));
    return 0;
}
