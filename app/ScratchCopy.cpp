#include "app/ScratchCopy.h"

#include "platform/SqlStatement.h"
#include "platform/SqlTransaction.h"

#include <QHash>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QStringList>

namespace {

const QString workSchema = QStringLiteral("work");

bool onServer(const SqlConnection& billing)
{
    return billing.engine() == SqlConnection::Engine::Postgres;
}

// The affinity a copy made by the engine itself would give the column.
QString declaredType(const QSqlField& field)
{
    // The server's numeric (type 1700) holds what a file's NUMERIC column holds.
    constexpr int serverNumeric = 1700;
    if (field.typeID() == serverNumeric)
        return QStringLiteral("NUM");
    switch (field.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short: return QStringLiteral("INT");
    case QMetaType::Double:
    case QMetaType::Float: return QStringLiteral("REAL");
    case QMetaType::QByteArray: return {};
    default: return QStringLiteral("TEXT");
    }
}

QHash<QString, QString> declaredTypes(const QString& declared)
{
    QHash<QString, QString> types;
    for (const QString& column : declared.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = column.simplified().split(QLatin1Char(' '));
        if (parts.size() == 2)
            types.insert(parts[0].toLower(), parts[1].toLower());
    }
    return types;
}

} // namespace

ScratchCopy::ScratchCopy(SqlConnection& billing, const QString& scratchPath) : m_billing(billing)
{
    if (onServer(billing)) {
        m_scratch = SqlConnection::open(scratchPath);
        if (!m_scratch.isOpen()) {
            m_outcome = m_scratch.outcome();
            return;
        }
        m_scratch.makeScratch();
        m_transaction = std::make_unique<SqlTransaction>(m_scratch);
        // Every table of the account read from the same moment of the server.
        m_billing.exec(QStringLiteral("begin isolation level repeatable read read only"));
    } else {
        m_schema = workSchema + QLatin1Char('.');
        if (!m_billing.attach(scratchPath, workSchema)) {
            m_outcome = m_billing.outcome();
            return;
        }
        m_billing.exec(QStringLiteral("pragma work.synchronous = off"));
        m_transaction = std::make_unique<SqlTransaction>(m_billing);
    }
    if (!m_transaction->isActive())
        m_outcome = Outcome::failure(m_transaction->error());
}

ScratchCopy::~ScratchCopy()
{
    m_transaction.reset();
    if (onServer(m_billing))
        m_billing.exec(QStringLiteral("rollback"));
    else
        m_billing.detach(workSchema);
}

bool ScratchCopy::fail(const Outcome& reason)
{
    m_outcome = reason;
    return false;
}

bool ScratchCopy::billingHasTable(const QString& name)
{
    if (!onServer(m_billing))
        return m_billing.tableExists(name);
    // One look at the server's catalogue for the whole copy: each round trip counts.
    if (!m_serverTables) {
        m_serverTables.emplace();
        QSqlQuery tables = m_billing.query(
            QStringLiteral("select lower(c.relname) from pg_catalog.pg_class c join pg_catalog.pg_namespace n "
                           "on n.oid = c.relnamespace where n.nspname = current_schema() "
                           "and c.relkind in ('r', 'v', 'm', 'p', 'f')"));
        while (tables.next())
            m_serverTables->insert(tables.value(0).toString());
    }
    return m_serverTables->contains(name.toLower());
}

bool ScratchCopy::scratchHasTable(const QString& name)
{
    if (onServer(m_billing))
        return m_scratch.tableExists(name);
    return m_billing.scalar(QStringLiteral("select count(*) from work.sqlite_master where name = ?"), {name}).toInt()
        > 0;
}

bool ScratchCopy::createEmpty(const QString& table, const QString& columns)
{
    SqlConnection& target = onServer(m_billing) ? m_scratch : m_billing;
    const QString sql = QStringLiteral("create table %1%2 (%3)").arg(m_schema, table, columns);
    return target.exec(sql) || fail(target.outcome());
}

QString ScratchCopy::selectFor(const Rows& rows, const QHash<QString, QString>& types) const
{
    QString sql = QStringLiteral("select * from %1").arg(SqlConnection::quotedName(rows.source));
    if (!rows.filter.isEmpty())
        sql += QStringLiteral(" where ") + rows.filter;
    if (rows.order.isEmpty())
        return sql + (onServer(m_billing) ? QStringLiteral(" order by ctid") : QStringLiteral(" order by rowid"));
    QStringList terms;
    for (const QString& column : rows.order.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = column.trimmed();
        const bool text = types.value(name.toLower()) == QLatin1String("text");
        terms << m_billing.sortKey(name, text ? SqlConnection::SortAs::Text : SqlConnection::SortAs::Number);
    }
    return sql + QStringLiteral(" order by ") + terms.join(QStringLiteral(", "));
}

bool ScratchCopy::copy(const Rows& rows)
{
    if (!m_outcome)
        return false;
    if (onServer(m_billing))
        return streamInto(rows);
    const QString select = selectFor(rows, declaredTypes(rows.declared));
    return m_billing.exec(QStringLiteral("create table %1%2 as %3").arg(m_schema, rows.table, select), rows.binds)
        || fail(m_billing.outcome());
}

bool ScratchCopy::streamInto(const Rows& source)
{
    const QHash<QString, QString> types = declaredTypes(source.declared);
    // The keys are whole numbers of our own: written into the statement, it goes to
    // the server in one round trip instead of a prepare, an execute and a release.
    QString select = selectFor(source, types);
    for (const QVariant& key : source.binds) {
        bool whole = false;
        const qlonglong number = key.toLongLong(&whole);
        const qsizetype mark = select.indexOf(QLatin1Char('?'));
        if (!whole || mark < 0 || key.typeId() == QMetaType::QString)
            return fail(Outcome::failure(QStringLiteral("Only whole-number keys select rows from a server.")));
        select.replace(mark, 1, QString::number(number));
    }
    QSqlQuery rows = m_billing.query(select);
    if (!rows.isActive())
        return fail(m_billing.outcome());
    const QSqlRecord record = rows.record();
    QStringList columns;
    QStringList marks;
    for (int i = 0; i < record.count(); ++i) {
        const QString type = types.value(record.fieldName(i).toLower(), declaredType(record.field(i)));
        columns << (SqlConnection::quotedName(record.fieldName(i)) + QLatin1Char(' ') + type).trimmed();
        marks << QStringLiteral("?");
    }
    const QString& table = source.table;
    if (!m_scratch.exec(QStringLiteral("create table %1 (%2)").arg(table, columns.join(QStringLiteral(", ")))))
        return fail(m_scratch.outcome());
    const QByteArray insert =
        QStringLiteral("insert into %1 values (%2)").arg(table, marks.join(QStringLiteral(", "))).toUtf8();
    SqlStatement statement(m_scratch, std::string_view(insert.constData(), static_cast<size_t>(insert.size())));
    const int count = record.count();
    while (rows.next()) {
        for (int i = 0; i < count; ++i)
            statement.bind(i + 1, rows.value(i));
        if (!statement.run())
            return fail(Outcome::failure(statement.error(), m_scratch.path(), statement.errorCode()));
    }
    if (statement.failed())
        return fail(Outcome::failure(statement.error(), m_scratch.path(), statement.errorCode()));
    // A connection that broke mid-read ends the rows early: that is a failure, not the end.
    if (rows.lastError().isValid())
        return fail(Outcome::failure(rows.lastError().text(), m_billing.path()));
    return true;
}

bool ScratchCopy::commit()
{
    if (!m_outcome)
        return false;
    if (!m_transaction->commit())
        return fail(Outcome::failure(m_transaction->error(), onServer(m_billing) ? m_scratch.path() : QString()));
    return true;
}
