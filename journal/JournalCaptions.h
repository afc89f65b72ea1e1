#pragma once

#include <QString>

// The journal's two-state buttons: each caption names what a click does next.
namespace JournalCaptions {

inline QString hideComments()
{
    return QStringLiteral("Hide Comments");
}
inline QString showComments()
{
    return QStringLiteral("Show Comments");
}
inline QString consolidatePayments()
{
    return QStringLiteral("Consolidate Payments");
}
inline QString distributePayments()
{
    return QStringLiteral("Distribute Payments");
}
inline QString applyMultiplier()
{
    return QStringLiteral("Apply Multiplier to Readings");
}
inline QString removeMultiplier()
{
    return QStringLiteral("Remove Multiplier from Readings");
}
inline QString showPrevious()
{
    return QStringLiteral("Show Previous Readings");
}
inline QString hidePrevious()
{
    return QStringLiteral("Hide Previous Readings");
}
inline QString viewBalances()
{
    return QStringLiteral("View Balances");
}
inline QString hideBalances()
{
    return QStringLiteral("Hide Balances");
}
inline QString addComment()
{
    return QStringLiteral("Add New Comment");
}
inline QString deleteComment()
{
    return QStringLiteral("Delete Comment");
}

} // namespace JournalCaptions
