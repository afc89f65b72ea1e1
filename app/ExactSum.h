#pragma once

#include "platform/Currency.h"

#include <QString>
#include <QVariant>
#include <cstdint>

// Wider than any sum of int64 amounts the copy can meet.
__extension__ typedef __int128 WideUnits;

// A money sum that cannot overflow: each value fits a Currency, their total may not.
class ExactSum {
public:
    void add(const QVariant& value)
    {
        if (const std::optional<Currency> amount = Currency::fromVariant(value))
            m_units += amount->tenThousandths();
    }
    bool operator==(const ExactSum&) const = default;
    QString toPlain() const
    {
        if (m_units >= INT64_MIN && m_units <= INT64_MAX)
            return Currency::fromTenThousandths(static_cast<int64_t>(m_units)).toPlain();
        // Beyond a Currency: to the cent, half away from zero, as Currency shows.
        const bool negative = m_units < 0;
        WideUnits cents = ((negative ? -m_units : m_units) + 50) / 100;
        QString digits;
        for (WideUnits rest = cents / 100; rest > 0; rest /= 10)
            digits.prepend(QLatin1Char('0' + static_cast<int>(rest % 10)));
        return (negative ? QStringLiteral("-") : QString()) + digits + QLatin1Char('.')
            + QStringLiteral("%1").arg(static_cast<int>(cents % 100), 2, 10, QLatin1Char('0'));
    }

private:
    WideUnits m_units = 0;
};
