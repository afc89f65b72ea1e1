// The dialect's date, number and money functions.
#include "platform/SqlFunctions.h"

#include "platform/Currency.h"
#include "platform/DateText.h"

#include <QString>

#include <cmath>

namespace SqlDialect {
namespace {

void dateValue(sqlite3_context* context, int, sqlite3_value** argv)
{
    TextArg text;
    char iso[10];
    if (text.read(argv[0]) && DateText::parseToIso(text.data, static_cast<size_t>(text.size), iso))
        resultText(context, iso, 10);
    else
        sqlite3_result_null(context);
}

void format(sqlite3_context* context, int, sqlite3_value** argv)
{
    double number = 0;
    const Read read = readNumber(argv[0], number);
    if (read == Read::Null) {
        sqlite3_result_null(context);
        return;
    }
    TextArg pattern;
    pattern.read(argv[1]);
    if (read == Read::Bad) {
        // The runtime formats text that is no number as the text itself.
        TextArg text;
        text.read(argv[0]);
        resultText(context, text.data, text.size);
        return;
    }
    const bool amount = pattern.view() == "#0.00";
    const bool dollars = pattern.view() == "$#0.00";
    if (amount || dollars) {
        char out[BasicRuntime::AmountTextCapacity];
        resultText(context, out, static_cast<int>(BasicRuntime::writeAmount(number, dollars, out)));
        return;
    }
    TextArg plain;
    plain.read(argv[0]);
    resultText(context, plain.data, plain.size);
}

void val(sqlite3_context* context, int, sqlite3_value** argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: sqlite3_result_null(context); return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: sqlite3_result_double(context, sqlite3_value_double(argv[0])); return;
    default: {
        TextArg text;
        text.read(argv[0]);
        sqlite3_result_double(context, BasicRuntime::val(text.data, static_cast<size_t>(text.size)));
    }
    }
}

void str(sqlite3_context* context, int, sqlite3_value** argv)
{
    double number = 0;
    switch (readNumber(argv[0], number)) {
    case Read::Null: sqlite3_result_null(context); return;
    case Read::Bad: sqlite3_result_error(context, kTypeMismatch, -1); return;
    case Read::Ok: break;
    }
    char out[BasicRuntime::NumberTextCapacity];
    resultText(context, out, static_cast<int>(BasicRuntime::writeStr(number, out)));
}

// Money as whole ten-thousandths, so sums in SQL are exact; NULL for no number.
enum class Money { Null, Amount, Unreadable };

// An amount as ten-thousandths. Text that is no number and numbers beyond the
// currency's range are unreadable: saturating them would make sums lie.
Money readMoney(sqlite3_value* value, int64_t& units)
{
    std::optional<Currency> amount;
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL: return Money::Null;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
        const double number = sqlite3_value_double(value);
        if (std::isfinite(number) && std::fabs(number) < Currency::LargestWhole)
            amount = Currency::fromDouble(number);
        break;
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const auto size = static_cast<size_t>(sqlite3_value_bytes(value));
        // A blank amount is no amount, as the grid shows it.
        if (std::all_of(text, text + (text ? size : 0), [](char c) { return c == ' ' || c == '\t'; }))
            return Money::Null;
        amount = Currency::fromUtf8(text, size);
    }
    }
    if (!amount)
        return Money::Unreadable;
    units = amount->tenThousandths();
    return Money::Amount;
}

void moneyUnits(sqlite3_context* context, int, sqlite3_value** argv)
{
    int64_t units = 0;
    if (readMoney(argv[0], units) == Money::Amount)
        sqlite3_result_int64(context, units);
}

// moneydelta(chg, pmt): the charge less the payment in ten-thousandths, a NULL amount
// counting as none. NULL when an amount is no money or the difference is out of
// range, so a balance summed from it can say it is unknown instead of being short.
void moneyDelta(sqlite3_context* context, int, sqlite3_value** argv)
{
    int64_t charge = 0;
    int64_t payment = 0;
    const Money chargeRead = readMoney(argv[0], charge);
    const Money paymentRead = readMoney(argv[1], payment);
    int64_t delta = 0;
    if (chargeRead != Money::Unreadable && paymentRead != Money::Unreadable
        && !__builtin_sub_overflow(charge, payment, &delta))
        sqlite3_result_int64(context, delta);
}

// Ten-thousandths back to "#0.00".
void moneyText(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    char text[Currency::PlainCapacity];
    const size_t size = Currency::fromTenThousandths(sqlite3_value_int64(argv[0])).writePlain(text);
    resultText(context, text, static_cast<int>(size));
}

constexpr Function kFunctions[] = {
    {"datevalue", 1, dateValue},
    {"format", 2, format},
    {"val", 1, val},
    {"str", 1, str},
    {"moneyunits", 1, moneyUnits},
    {"moneytext", 1, moneyText},
    {"moneydelta", 2, moneyDelta},
};

} // namespace

std::span<const Function> numberFunctions()
{
    return kFunctions;
}

} // namespace SqlDialect
