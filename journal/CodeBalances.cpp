#include "journal/CodeBalances.h"

#include "platform/SqlStatement.h"
#include "platform/SqlTransaction.h"
#include "platform/SqlConnection.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

namespace {

QVariant money(Currency amount)
{
    return amount.toDouble();
}

} // namespace

void CodeBalances::load(SqlConnection& work, int custKey, int locKey)
{
    m_custKey = custKey;
    m_locKey = locKey;
    m_columns.clear();
    m_balanceRows.clear();
    m_steps.clear();
    m_loaded = true;
    {
        QSqlQuery q = work.query(QStringLiteral("select * from bal order by code"));
        const QSqlRecord record = q.record();
        for (int i = 0; i < record.count(); ++i)
            m_columns << record.fieldName(i);
        m_codeColumn = record.indexOf(QStringLiteral("code"));
        m_chargesColumn = record.indexOf(QStringLiteral("totalcharges"));
        m_paidColumn = record.indexOf(QStringLiteral("totalpaid"));
        while (q.next()) {
            QVariantList values;
            for (int i = 0; i < record.count(); ++i)
                values << q.value(i);
            m_balanceRows.push_back(std::move(values));
        }
    }
    // A refund returned to the customer lowers both columns; what was applied to a
    // bill plays no part.
    addActivity(work, "select code, datevalue(date), moneyunits(amount) from bd", 1, 0);
    addActivity(work, "select code, datevalue(date), moneyunits(amount) from pd", 0, 1);
    addActivity(work, "select code, datevalue(date), moneyunits(amount) from dep", 1, 0);
    addActivity(work, "select code, datevalue(date), moneyunits(returnedtocustomer) from depref", -1, -1);
    for (auto& [code, steps] : m_steps) {
        std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) { return a.date < b.date; });
        for (size_t i = 1; i < steps.size(); ++i) {
            steps[i].charges += steps[i - 1].charges;
            steps[i].paid += steps[i - 1].paid;
        }
    }
}

void CodeBalances::addActivity(SqlConnection& work, const char* sql, int chargeSign, int paidSign)
{
    SqlStatement q(work, sql);
    while (q.next()) {
        // Undated activity never counts: no date is on or before another.
        if (q.isNull(1) || q.isNull(2))
            continue;
        const int64_t amount = q.integer(2);
        m_steps[q.text(0)].push_back({q.text(1), amount * chargeSign, amount * paidSign});
    }
}

CodeBalances::Table CodeBalances::compute(const QDate& asOf) const
{
    Table table;
    table.columns = m_columns;
    table.columns << QStringLiteral("bal");
    const QString limit = asOf.toString(Qt::ISODate);
    Currency charges, paid;
    for (const QVariantList& values : m_balanceRows) {
        Row row;
        row.values = values;
        row.code = m_codeColumn >= 0 ? values[m_codeColumn].toString() : QString();
        const auto found = m_steps.find(row.code);
        if (found != m_steps.end()) {
            const auto& steps = found->second;
            auto after = std::upper_bound(steps.begin(), steps.end(), limit,
                                          [](const QString& date, const Step& step) { return date < step.date; });
            if (after != steps.begin()) {
                row.totalcharges = Currency::fromTenThousandths(std::prev(after)->charges);
                row.totalpaid = Currency::fromTenThousandths(std::prev(after)->paid);
            }
        }
        row.bal = row.totalcharges - row.totalpaid;
        if (m_chargesColumn >= 0)
            row.values[m_chargesColumn] = money(row.totalcharges);
        if (m_paidColumn >= 0)
            row.values[m_paidColumn] = money(row.totalpaid);
        row.values << money(row.bal);
        charges += row.totalcharges;
        paid += row.totalpaid;
        table.total += row.bal;
        table.rows.push_back(std::move(row));
    }
    table.hasTotal = !table.rows.empty();

    Row total;
    total.code = QStringLiteral("TOTAL");
    total.totalcharges = charges;
    total.totalpaid = paid;
    total.bal = table.total;
    for (const QString& column : table.columns) {
        if (column.compare(QLatin1String("code"), Qt::CaseInsensitive) == 0)
            total.values << total.code;
        else if (column.compare(QLatin1String("totalcharges"), Qt::CaseInsensitive) == 0)
            total.values << money(charges);
        else if (column.compare(QLatin1String("totalpaid"), Qt::CaseInsensitive) == 0)
            total.values << money(paid);
        else if (column == QLatin1String("bal"))
            total.values << money(table.total);
        else if (column.compare(QLatin1String("custkey"), Qt::CaseInsensitive) == 0)
            total.values << m_custKey;
        else if (column.compare(QLatin1String("lockey"), Qt::CaseInsensitive) == 0)
            total.values << m_locKey;
        else
            total.values << QVariant();
    }
    table.rows.push_back(std::move(total));
    return table;
}

void CodeBalances::store(SqlConnection& work, const Table& table, int custKey, int locKey)
{
    SqlTransaction transaction(work);
    work.exec(QStringLiteral("drop table if exists baltemp"));
    work.exec(QStringLiteral("create table baltemp as select * from bal where 0"));
    work.exec(QStringLiteral("alter table baltemp add column bal currency"));
    QStringList marks;
    for (qsizetype i = 0; i < table.columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString insert =
        QStringLiteral("insert into baltemp values (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    for (const Row& row : table.rows) {
        QVariantList values = row.values;
        if (row.code == QLatin1String("TOTAL")) {
            const int cust = static_cast<int>(table.columns.indexOf(QStringLiteral("custkey")));
            const int loc = static_cast<int>(table.columns.indexOf(QStringLiteral("lockey")));
            if (cust >= 0)
                values[cust] = custKey;
            if (loc >= 0)
                values[loc] = locKey;
        }
        work.exec(insert, values);
    }
    transaction.commit();
}
