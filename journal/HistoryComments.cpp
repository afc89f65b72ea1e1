#include "journal/HistoryComments.h"

#include "app/HistoryModule.h"
#include "platform/DateText.h"

namespace HistoryComments {

namespace {

Result billingFailed(HistoryModule& module, const QString& what)
{
    Result result;
    result.saved = false;
    // A connection that failed to open keeps the reason as its outcome.
    result.outcome = Outcome::failedIn(what + QStringLiteral(" in"), QStringLiteral("the billing database"),
                                       module.BillingDbPath, module.BillingDb.outcome());
    module.CloseBillingDb();
    return result;
}

// The journal's copy failed after the billing database took the change: the
// record is right, the journal on screen is not until the account is opened again.
Result copyFailed(HistoryModule& module)
{
    Result result;
    const Outcome& reason = module.WorkDb.outcome();
    result.outcome = reason.retold(QStringLiteral("The change is stored, but the journal could not be updated (")
                                   + reason.message() + QStringLiteral("). Open the account again to see it."));
    module.CloseWorkDb();
    return result;
}

} // namespace

QString storedText(const QString& typed)
{
    QString text = typed;
    return text.replace(QLatin1Char('\''), QLatin1Char('`'));
}

Result add(HistoryModule& module, const QDate& date, const QString& typed)
{
    const QVariantList values{module.CustKey, module.LocKey, DateText::toIso(date), storedText(typed), module.UserId};
    if (!module.OpenBillingDb()
        || !module.ExecBilling(QStringLiteral("insert into histcomments (custkey, lockey, edate, comment, userid) "
                                              "values (?, ?, ?, ?, ?)"),
                               values))
        return billingFailed(module, QStringLiteral("The comment could not be saved"));
    module.CloseBillingDb();
    if (!module.OpenWorkDb()
        || !module.ExecWork(QStringLiteral("insert into hcom (custkey, lockey, edate, comment, UserID) "
                                           "values (?, ?, ?, ?, ?)"),
                            values))
        return copyFailed(module);
    module.CloseWorkDb();
    return {};
}

// The journal shows a comment trimmed of blanks, so that is the text matched.
Result remove(HistoryModule& module, const QDate& date, const QString& text)
{
    const QString iso = DateText::toIso(date);
    if (!module.OpenBillingDb()
        || !module.ExecBilling(QStringLiteral("delete from histcomments where datevalue(edate) = ? "
                                              "and trim(plaintext(comment)) = ? and custkey = ? and lockey = ?"),
                               {iso, text, module.CustKey, module.LocKey}))
        return billingFailed(module, QStringLiteral("The comment could not be deleted"));
    module.CloseBillingDb();
    if (!module.OpenWorkDb()
        || !module.ExecWork(
            QStringLiteral("delete from hcom where datevalue(edate) = ? and trim(plaintext(comment)) = ?"),
            {iso, text}))
        return copyFailed(module);
    module.CloseWorkDb();
    return {};
}

} // namespace HistoryComments
