#include "selection/AccountBalance.h"

#include "app/HistoryModule.h"

#include <QSqlQuery>

namespace {

const QString inactiveMark = QStringLiteral("INACTIVE");

// Sums the two columns row by row in exact money; a row where either is null adds
// nothing, as the engine's sum of a null difference does.
Currency sumOf(SqlConnection& billing, const QString& sql, int32_t custKey, int32_t locKey, bool pair)
{
    Currency total;
    QSqlQuery rows = billing.query(sql, {custKey, locKey});
    while (rows.next()) {
        const auto first = Currency::fromVariant(rows.value(0));
        const auto second = Currency::fromVariant(rows.value(1));
        if (!first || !second)
            continue;
        total += pair ? *first + *second : *first - *second;
    }
    return total;
}

} // namespace

QString AccountBalance::caption() const
{
    QString text = inactive ? inactiveMark + QStringLiteral("  BAL: ") : QStringLiteral("BAL: ");
    text += balance.toDollars();
    if (depositPaid > Currency())
        text += depositReturned != depositPaid ? QStringLiteral("  DEP: ") + (depositPaid - depositReturned).toDollars()
                                               : QStringLiteral("  DEP: REDEEMED");
    else
        text += QStringLiteral("  DEP: NONE");
    return text;
}

bool AccountBalance::lineIsInactive(QStringView listLine)
{
    return listLine.size() >= 32 && listLine.sliced(24, 8) == inactiveMark;
}

AccountBalance AccountBalance::read(SqlConnection& billing, int32_t custKey, int32_t locKey)
{
    AccountBalance result;
    result.balance = sumOf(billing,
                           QStringLiteral("select totalcharges, totalpaid from \"tbl balance\" "
                                          "where custkey = ? and lockey = ?"),
                           custKey, locKey, false);
    // The deposit paid is a plain sum of totalpaid: pair it with zero.
    result.depositPaid = sumOf(billing,
                               QStringLiteral("select totalpaid, 0 from \"tbl balance\" b "
                                              "inner join \"lkup transaction code\" t on b.code = t.code "
                                              "where t.tgkey = 10 and b.custkey = ? and b.lockey = ?"),
                               custKey, locKey, true);
    result.depositReturned =
        sumOf(billing,
              QStringLiteral("select appliedtobill, returnedtocustomer from \"tbl deposit refund\" r "
                             "inner join \"lkup transaction code\" t on r.code = t.code "
                             "where t.tgkey = 10 and r.custkey = ? and r.lockey = ?"),
              custKey, locKey, true);
    return result;
}

Outcome AccountBalance::show(HistoryModule& module, QStringView listLine, AccountBalance& result)
{
    if (const Outcome opened = module.OpenBillingDb(); !opened)
        return opened;
    result = read(module.BillingDb, module.CustKey, module.LocKey);
    module.CloseBillingDb();
    result.inactive = lineIsInactive(listLine);
    return {};
}

Outcome AccountBalance::forAccount(HistoryModule& module, int32_t custKey, int32_t locKey, QString& caption)
{
    if (const Outcome opened = module.OpenBillingDb(); !opened)
        return opened;
    AccountBalance result = read(module.BillingDb, custKey, locKey);
    const QVariant status =
        module.BillingDb.scalar(QStringLiteral("select status from \"tbl customer\" where custkey = ?"), {custKey});
    module.CloseBillingDb();
    // The list line pads the status to nine places; its first eight are compared.
    result.inactive = !status.isNull() && status.toString().left(8) == inactiveMark;
    caption = result.caption();
    return {};
}
