#include "journal/JournalHeader.h"

#include "platform/SqlConnection.h"
#include "platform/BasicRuntime.h"
#include "platform/Currency.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <map>
#include <optional>

namespace {

const QString crlf = QStringLiteral("\r\n");

QString text(const QSqlRecord& record, const char* field)
{
    const QVariant value = record.value(QString::fromLatin1(field));
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::Double)
        return BasicRuntime::plainNumber(value.toDouble());
    return value.toString();
}

QString trimmed(const QSqlRecord& record, const char* field)
{
    return JournalHeader::trimBlanks(text(record, field));
}

bool isTrue(const QVariant& value)
{
    if (value.isNull())
        return false;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number != 0 : !value.toString().trimmed().isEmpty();
}

// Stored amounts summed exactly: a sum taken in doubles can lose the cents of a
// large total.
std::optional<Currency> exactSum(QSqlQuery& q)
{
    std::optional<Currency> total;
    while (q.next()) {
        if (const std::optional<Currency> amount = Currency::fromVariant(q.value(0)))
            total = total.value_or(Currency()) + *amount;
    }
    return total;
}

// The amount paid on the codes whose deposits total more than zero.
QString depositPiece(SqlConnection& work)
{
    // A null code can match no payment, so it is left out.
    std::map<QString, Currency> deposits;
    {
        QSqlQuery q = work.query(QStringLiteral("select code, amount from dep where code is not null"));
        while (q.next()) {
            if (const std::optional<Currency> amount = Currency::fromVariant(q.value(1)))
                deposits[q.value(0).toString()] += *amount;
        }
    }
    QStringList codes;
    for (const auto& [code, total] : deposits) {
        if (total > Currency())
            codes << code;
    }
    if (codes.isEmpty())
        return {};
    QString sql = QStringLiteral("select amount from pd where code = ?");
    QVariantList binds{codes.first()};
    for (qsizetype i = 1; i < codes.size(); ++i) {
        sql += QStringLiteral(" or code = ?");
        binds << codes[i];
    }
    QSqlQuery paidRows = work.query(sql, binds);
    const std::optional<Currency> paid = exactSum(paidRows);
    if (!paid || *paid <= Currency())
        return {};
    return QStringLiteral("   DEPOSIT: ") + paid->toDollars();
}

} // namespace

QString JournalHeader::collapse(const QString& value)
{
    QString result = value;
    return result.replace(QStringLiteral("  "), QStringLiteral(" "));
}

QString JournalHeader::trimBlanks(const QString& value)
{
    qsizetype start = 0;
    qsizetype end = value.size();
    while (start < end && value[start] == QLatin1Char(' '))
        ++start;
    while (end > start && value[end - 1] == QLatin1Char(' '))
        --end;
    return value.mid(start, end - start);
}

JournalHeader JournalHeader::compose(SqlConnection& work, const QString& companyTitle, const QString& previousLabel)
{
    JournalHeader header;
    header.label = previousLabel;
    {
        QSqlQuery q = work.query(QStringLiteral("select * from cust limit 1"));
        if (q.next()) {
            const QSqlRecord c = q.record();
            header.hasCustomer = true;
            header.LookupName = text(c, "lookupname");
            header.AccNo = text(c, "accno");
            const QString name =
                collapse(trimBlanks(trimmed(c, "fname") + QLatin1Char(' ') + trimmed(c, "mname") + QLatin1Char(' ')
                                    + trimmed(c, "lname") + QLatin1Char(' ') + trimmed(c, "CompanyName")));
            header.label = QStringLiteral("Account: ") + header.AccNo + QStringLiteral("   ") + name;
            if (!trimmed(c, "phone").isEmpty())
                header.label += QStringLiteral("   PH: ") + trimmed(c, "phone");
            header.label += crlf;
            header.windowTitle = companyTitle + QStringLiteral("   HISTORY JOURNAL for Account: ") + header.AccNo
                + QLatin1Char(' ') + name;
            header.active = isTrue(c.value(QStringLiteral("active")));
            header.label += collapse(trimmed(c, "addr1") + QLatin1Char(' ') + trimmed(c, "addr2") + QStringLiteral(", ")
                                     + trimmed(c, "city") + QLatin1Char(' ') + trimmed(c, "state") + QLatin1Char(' ')
                                     + trimmed(c, "zip"));
            header.label += (header.active ? QStringLiteral("  -  ACTIVE") : QStringLiteral("  -  INACTIVE")) + crlf;
        }
    }
    {
        QSqlQuery q = work.query(QStringLiteral("select * from loc limit 1"));
        if (q.next()) {
            const QSqlRecord l = q.record();
            header.label += QStringLiteral("Loc ID: ") + trimmed(l, "ID") + QStringLiteral("   ")
                + collapse(trimmed(l, "addr1") + QLatin1Char(' ') + trimmed(l, "addr2"));
            header.label += (l.value(QStringLiteral("outdate")).isNull() ? QStringLiteral("  -  OCCUPIED")
                                                                         : QStringLiteral("  -  VACANT"))
                + crlf;
            const QVariant seq = l.value(QStringLiteral("locseq"));
            header.label += QStringLiteral("Route: ") + trimmed(l, "locroute") + QStringLiteral(" SEQ#: ")
                + (seq.isNull() ? QString() : BasicRuntime::plainNumber(seq.toDouble()));
        }
    }
    header.label += depositPiece(work);
    return header;
}
