#include "readings/ReadingAudit.h"

#include "platform/BasicRuntime.h"
#include "platform/DateText.h"
#include "readings/ReadingColumns.h"

using namespace ReadingColumns;

namespace {

const QString unknown = QStringLiteral("UNKNOWN");

QString dateOrUnknown(const QString& text)
{
    return DateText::parse(text) ? text : unknown;
}

// Dates compare as dates: 5/1/2017 and its completed form 05/01/2017 are one value.
bool dateChanged(const QString& oldText, const QString& newText)
{
    const std::optional<QDate> before = DateText::parse(oldText);
    const std::optional<QDate> after = DateText::parse(newText);
    if (before && after)
        return *before != *after;
    return oldText != newText;
}

struct Rule {
    QString prefix;
    QString oldText;
    bool changed;
    bool withBillDate;
};

} // namespace

void ReadingAudit::remember(const std::function<QString(int column)>& cell)
{
    OldCode = cell(Code);
    OldReadDate = dateOrUnknown(cell(ReadDate));
    OldBillDate = dateOrUnknown(cell(BillDate));
    OldPrevious = BasicRuntime::val(cell(Previous));
    OldPresent = BasicRuntime::val(cell(Present));
    OldUsage = BasicRuntime::val(cell(Usage));
    OldMultiplier = BasicRuntime::val(cell(Multiplier));
    OldTenants = BasicRuntime::toInt32(BasicRuntime::val(cell(Tenants))).value_or(0);
    OldEntryDate = dateOrUnknown(cell(EntryDate));
}

std::optional<QString> ReadingAudit::describe(int column, const QString& newText, const QString& billDateText,
                                              const QString& account) const
{
    const double number = BasicRuntime::val(newText);
    auto numeric = [&](const char* prefix, double old) {
        return Rule{QString::fromLatin1(prefix), BasicRuntime::plainNumber(old), number != old, true};
    };
    Rule rule;
    switch (column) {
    case Code: rule = {QStringLiteral("changed meter reading code from "), OldCode, newText != OldCode, true}; break;
    case ReadDate:
        rule = {QStringLiteral("changed meter read date from "), OldReadDate, dateChanged(OldReadDate, newText), true};
        break;
    case BillDate:
        rule = {QStringLiteral("changed meter bill date from "), OldBillDate, dateChanged(OldBillDate, newText), false};
        break;
    case Previous: rule = numeric("changed previous reading from ", OldPrevious); break;
    case Present: rule = numeric("changed present reading from ", OldPresent); break;
    case Usage: rule = numeric("changed metered usage from ", OldUsage); break;
    case Multiplier: rule = numeric("changed meter multiplier from ", OldMultiplier); break;
    case Tenants:
        rule = {QStringLiteral("changed number of metered tenants from "), QString::number(OldTenants),
                number != OldTenants, true};
        break;
    case EntryDate:
        rule = {QStringLiteral("changed meter reading entry date from "), OldEntryDate,
                dateChanged(OldEntryDate, newText), true};
        break;
    default: return std::nullopt;
    }
    if (!rule.changed)
        return std::nullopt;
    QString text = rule.prefix + rule.oldText.trimmed() + QStringLiteral(" to ") + newText;
    if (rule.withBillDate)
        text += QStringLiteral(" for bill date ") + billDateText;
    return text + QStringLiteral(" for account ") + account;
}
