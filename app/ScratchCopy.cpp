#include "app/ScratchCopy.h"

#include "platform/PostgresCopyOut.h"
#include "platform/SqlStatement.h"
#include "platform/SqlTransaction.h"

#include <QHash>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QStringList>
#include <algorithm>
#include <charconv>

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

// How a server column's text form becomes the value a query through Qt would have
// bound, by the server's type number; Other: only a query through Qt reads it alike.
enum class FieldKind { Integer, Real, Boolean, Numeric, Text, Bytes, Other };

FieldKind fieldKind(quint32 type)
{
    switch (type) {
    case 20: // int8
    case 21: // int2
    case 23: return FieldKind::Integer; // int4
    case 700: // float4
    case 701: return FieldKind::Real; // float8
    case 16: return FieldKind::Boolean;
    case 1700: return FieldKind::Numeric;
    case 25: // text
    case 1042: // bpchar
    case 1043: return FieldKind::Text; // varchar
    case 17: return FieldKind::Bytes;
    default: return FieldKind::Other;
    }
}

QString declaredType(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Integer:
    case FieldKind::Boolean: return QStringLiteral("INT");
    case FieldKind::Real: return QStringLiteral("REAL");
    case FieldKind::Numeric: return QStringLiteral("NUM");
    case FieldKind::Bytes: return {};
    default: return QStringLiteral("TEXT");
    }
}

// Numbers are parsed correctly rounded and bound as numbers, so they keep the storage
// class a query through Qt gives them; numeric keeps its exact decimal text, as Qt
// reads it, and the column's affinity decides.
void bindField(SqlStatement& insert, int index, FieldKind kind, const PostgresCopyOut& rows, int column)
{
    if (rows.isNull(column)) {
        insert.bindNull(index);
        return;
    }
    const std::string_view text = rows.text(column);
    const char* end = text.data() + text.size();
    switch (kind) {
    case FieldKind::Integer: {
        int64_t number = 0;
        if (const auto read = std::from_chars(text.data(), end, number); read.ec == std::errc() && read.ptr == end)
            insert.bind(index, number);
        else
            insert.bindNull(index);
        return;
    }
    case FieldKind::Real: {
        double number = 0;
        if (const auto read = std::from_chars(text.data(), end, number); read.ec == std::errc() && read.ptr == end)
            insert.bind(index, number);
        else
            insert.bindNull(index);
        return;
    }
    case FieldKind::Boolean: insert.bind(index, static_cast<int64_t>(text == "t" ? -1 : 0)); return;
    case FieldKind::Bytes: insert.bind(index, QVariant(rows.bytes(column))); return;
    default: insert.bindStaticText(index, text);
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
        if (!m_billing.exec(QStringLiteral("begin isolation level repeatable read read only"))) {
            m_outcome = m_billing.outcome();
            return;
        }
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
    if (!m_serverTables)
        readCatalogue();
    return m_serverTables->contains(name.toLower());
}

// One look at the server's catalogue for the whole copy, tables and their columns:
// each round trip counts.
void ScratchCopy::readCatalogue()
{
    m_serverTables.emplace();
    QSqlQuery columns = m_billing.query(QStringLiteral(
        "select c.relname, a.attname, a.atttypid from pg_catalog.pg_class c "
        "join pg_catalog.pg_namespace n on n.oid = c.relnamespace "
        "left join pg_catalog.pg_attribute a on a.attrelid = c.oid and a.attnum > 0 and not a.attisdropped "
        "where n.nspname = current_schema() and c.relkind in ('r', 'v', 'm', 'p', 'f') order by c.relname, a.attnum"));
    // A server that cannot answer fails the copy, rather than every table looking missing.
    if (!columns.isActive())
        m_outcome = m_billing.outcome();
    while (columns.next()) {
        const QString table = columns.value(0).toString();
        m_serverTables->insert(table.toLower());
        if (!columns.isNull(1))
            m_serverColumns[table] << ServerColumn{columns.value(1).toString(), columns.value(2).toUInt()};
    }
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
    if (!m_outcome)
        return false;
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
    // The keys are whole numbers of our own: written into the statement, it goes to
    // the server in one round trip instead of a prepare, an execute and a release.
    QString select = selectFor(source, declaredTypes(source.declared));
    for (const QVariant& key : source.binds) {
        bool whole = false;
        const qlonglong number = key.toLongLong(&whole);
        const qsizetype mark = select.indexOf(QLatin1Char('?'));
        if (!whole || mark < 0 || key.typeId() == QMetaType::QString)
            return fail(Outcome::failure(QStringLiteral("Only whole-number keys select rows from a server.")));
        select.replace(mark, 1, QString::number(number));
    }
    if (!m_serverTables)
        readCatalogue();
    const QList<ServerColumn> columns = m_serverColumns.value(source.source);
    const bool copyable = !columns.isEmpty() && std::none_of(columns.begin(), columns.end(), [](const ServerColumn& c) {
        return fieldKind(c.type) == FieldKind::Other;
    });
    return copyable ? copyOut(source, select, columns) : queryInto(source, select);
}

bool ScratchCopy::createTable(const QString& table, const QStringList& columns, SqlStatement& insert)
{
    if (!m_scratch.exec(QStringLiteral("create table %1 (%2)").arg(table, columns.join(QStringLiteral(", ")))))
        return fail(m_scratch.outcome());
    QStringList marks;
    marks.fill(QStringLiteral("?"), columns.size());
    const QByteArray sql =
        QStringLiteral("insert into %1 values (%2)").arg(table, marks.join(QStringLiteral(", "))).toUtf8();
    insert = SqlStatement(m_scratch, std::string_view(sql.constData(), static_cast<size_t>(sql.size())));
    return !insert.failed() || fail(Outcome::failure(insert.error(), m_scratch.path(), insert.errorCode()));
}

bool ScratchCopy::copyOut(const Rows& source, const QString& select, const QList<ServerColumn>& columns)
{
    const QHash<QString, QString> types = declaredTypes(source.declared);
    QStringList definitions;
    std::vector<FieldKind> kinds;
    for (const ServerColumn& column : columns) {
        kinds.push_back(fieldKind(column.type));
        const QString type = types.value(column.name.toLower(), declaredType(kinds.back()));
        definitions << (SqlConnection::quotedName(column.name) + QLatin1Char(' ') + type).trimmed();
    }
    SqlStatement insert;
    if (!createTable(source.table, definitions, insert))
        return false;
    PostgresCopyOut rows(m_billing, select);
    if (!rows.isActive() || rows.columnCount() != static_cast<int>(kinds.size()))
        return fail(Outcome::failure(
            rows.failed() ? rows.error() : QStringLiteral("The table %1 changed during the copy.").arg(source.source),
            m_billing.path()));
    const int count = rows.columnCount();
    while (rows.next()) {
        for (int i = 0; i < count; ++i)
            bindField(insert, i + 1, kinds[static_cast<size_t>(i)], rows, i);
        if (!insert.run())
            return fail(Outcome::failure(insert.error(), m_scratch.path(), insert.errorCode()));
    }
    // A connection that broke mid-read ends the rows early: that is a failure, not the end.
    return !rows.failed() || fail(Outcome::failure(rows.error(), m_billing.path()));
}

// Tables with columns of other types (dates, times, …) are read through Qt, whose
// conversions the scratch has always had.
bool ScratchCopy::queryInto(const Rows& source, const QString& select)
{
    const QHash<QString, QString> types = declaredTypes(source.declared);
    QSqlQuery rows = m_billing.query(select);
    if (!rows.isActive())
        return fail(m_billing.outcome());
    const QSqlRecord record = rows.record();
    QStringList columns;
    for (int i = 0; i < record.count(); ++i) {
        const QString type = types.value(record.fieldName(i).toLower(), declaredType(record.field(i)));
        columns << (SqlConnection::quotedName(record.fieldName(i)) + QLatin1Char(' ') + type).trimmed();
    }
    SqlStatement insert;
    if (!createTable(source.table, columns, insert))
        return false;
    const int count = record.count();
    while (rows.next()) {
        for (int i = 0; i < count; ++i)
            insert.bind(i + 1, rows.value(i));
        if (!insert.run())
            return fail(Outcome::failure(insert.error(), m_scratch.path(), insert.errorCode()));
    }
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
