#include "journal/HistoryComments.h"

#include "app/HistoryModule.h"
#include "journal/JournalHeader.h"
#include "platform/BasicRuntime.h"
#include "platform/DateText.h"
#include "platform/SqlTransaction.h"

#include <QSqlQuery>

namespace HistoryComments {

namespace {

Result billingFailed(HistoryModule& module, const QString& what)
{
    Result result;
    result.saved = false;
    // A connection that failed to open keeps the reason as its outcome.
    result.outcome = Outcome::failedIn(what + QStringLiteral(" in"), QStringLiteral("the billing database"),
                                       module.billingName(), module.BillingDb.outcome());
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

// The journal's own reading of a stored comment row: its date as datevalue() reads
// it and its text as plaintext() shows it.
bool matches(const QVariant& edate, const QVariant& comment, const QString& iso, const QString& text)
{
    const QByteArray date = edate.toString().toUtf8();
    char dateIso[10];
    if (edate.isNull() || !DateText::parseToIso(date.constData(), static_cast<size_t>(date.size()), dateIso)
        || QLatin1String(dateIso, 10) != iso || comment.isNull())
        return false;
    const bool number = comment.typeId() == QMetaType::Double;
    return JournalHeader::trimBlanks(number ? BasicRuntime::plainNumber(comment.toDouble()) : comment.toString())
        == text;
}

// The rows are matched here rather than in the statement, so a billing database on
// a server, which lacks the suite's functions, deletes exactly what a file would.
bool removeMatching(SqlConnection& billing, int32_t custKey, int32_t locKey, const QString& iso, const QString& text)
{
    const bool onServer = billing.engine() == SqlConnection::Engine::Postgres;
    const QString key = onServer ? QStringLiteral("ctid") : QStringLiteral("rowid");
    SqlTransaction transaction(billing, SqlTransaction::Kind::Immediate);
    if (!transaction.isActive())
        return false;
    QVariantList keys;
    {
        QSqlQuery rows = billing.query(QStringLiteral("select %1, edate, comment from histcomments "
                                                      "where custkey = ? and lockey = ?%2")
                                           .arg(key, onServer ? QStringLiteral(" for update") : QString()),
                                       {custKey, locKey});
        if (!rows.isActive())
            return false;
        while (rows.next()) {
            if (matches(rows.value(1), rows.value(2), iso, text))
                keys << rows.value(0);
        }
    }
    for (const QVariant& row : keys) {
        if (!billing.exec(QStringLiteral("delete from histcomments where %1 = ?").arg(key), {row}))
            return false;
    }
    return transaction.commit();
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
    if (!module.OpenBillingDb() || !removeMatching(module.BillingDb, module.CustKey, module.LocKey, iso, text))
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
