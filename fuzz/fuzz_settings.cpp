// The settings-file readers, each over the same bytes, and the round trip of the
// files the program writes back.
#include "FuzzSupport.h"
#include "app/Waits.h"
#include "journal/JournalFlags.h"
#include "journal/JournalSettings.h"
#include "readings/ReadingsAccount.h"
#include "selection/SelectionSettings.h"

namespace {

void readEveryFile(const QByteArray& bytes)
{
    const JournalViewSettings view = JournalViewSettings::parse(bytes);
    FUZZ_CHECK(view.widthTwips > 0);
    JournalFlags flags;
    view.raiseFlags(flags);

    const PrintRange range = PrintRange::parse(bytes);
    FUZZ_CHECK(range.PrintFrom.isValid() && range.PrintTo.isValid());

    (void)Waits::readDelaySetting(bytes);

    const SelectionSettings selection = SelectionSettings::parse(bytes);
    if (selection.SortIndex)
        FUZZ_CHECK(*selection.SortIndex >= 0 && *selection.SortIndex <= 4);

    QString accNo = QStringLiteral("kept");
    QString lookupName = QStringLiteral("kept");
    ReadingsAccount::parse(bytes, accNo, lookupName);
    FUZZ_CHECK(!accNo.contains(QLatin1Char('\n')) && !lookupName.contains(QLatin1Char('\n')));
}

// What the windows write at unload reads back as written.
void roundTrip(const QByteArray& bytes)
{
    if (bytes.size() < 3)
        return;
    const auto first = static_cast<unsigned char>(bytes[0]);
    JournalFlags flags;
    flags.ShowPrevReadings = (first & 1) ? JournalFlags::True : JournalFlags::False;
    flags.ConsolidatePayments = (first & 2) ? JournalFlags::True : JournalFlags::False;
    flags.MultApplied = (first & 4) ? JournalFlags::True : JournalFlags::False;
    flags.HideComments = (first & 8) ? JournalFlags::True : JournalFlags::False;
    const int width = static_cast<int>(static_cast<unsigned char>(bytes[1])) * 200;
    const JournalViewSettings view = JournalViewSettings::parse(JournalViewSettings::format(flags, width));
    FUZZ_CHECK(view.ShowPrevReadings.has_value() == (flags.ShowPrevReadings != 0));
    FUZZ_CHECK(view.ConsolidatePayments.has_value() == (flags.ConsolidatePayments != 0));
    FUZZ_CHECK(view.MultApplied.has_value() == (flags.MultApplied != 0));
    FUZZ_CHECK(view.HideComments.has_value() == (flags.HideComments != 0));
    FUZZ_CHECK(view.widthTwips == std::max(width, JournalViewSettings::MinimumWidthTwips));

    // The search text is one line: the window never holds a line break in it.
    QString searchText = QString::fromUtf8(bytes.mid(3));
    searchText.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    const int option = static_cast<unsigned char>(bytes[2]) % 5;
    const SelectionSettings selection = SelectionSettings::parse(SelectionSettings::format(option, searchText));
    FUZZ_CHECK(selection.SortIndex == option);
    FUZZ_CHECK(selection.searchText == searchText);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    readEveryFile(bytes);
    roundTrip(bytes);
    return 0;
}
