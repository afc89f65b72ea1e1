#include "journal/AccountPaging.h"

#include "platform/SqlConnection.h"

#include <QSqlQuery>

AccountPaging::Step AccountPaging::step(SqlConnection& work, int32_t custKey, int32_t locKey, Direction direction)
{
    Step result{custKey, locKey, false};
    if (!work.tableExists(QStringLiteral("histsrch")))
        return result;
    // The first entry of the account in stored order, and its neighbours by rowid.
    const QVariant at = work.scalar(
        QStringLiteral("select min(rowid) from histsrch where custkey = ? and lockey = ?"), {custKey, locKey});
    if (at.isNull())
        return result;
    const bool previous = direction == Direction::Previous;
    QSqlQuery q = work.query(previous ? QStringLiteral("select custkey, lockey from histsrch where rowid < ? "
                                                       "order by rowid desc limit 1")
                                      : QStringLiteral("select custkey, lockey from histsrch where rowid > ? "
                                                       "order by rowid limit 1"),
                             {at});
    if (q.next()) {
        result.CustKey = q.value(0).toInt();
        result.LocKey = q.value(1).toInt();
    } else if (previous) {
        result.reachedFirst = true;
    }
    return result;
}
