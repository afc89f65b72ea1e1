#include "app/BillingCopy.h"

#include "app/BillingColumnType.h"
#include "app/ExactSum.h"
#include "platform/PostgresCopyIn.h"
#include "platform/PostgresUri.h"
#include "platform/SqlConnection.h"
#include "platform/SqlTransaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

using namespace BillingColumnType;

struct BillingCopy::Column {
    QString name; // lower case, as the server has it
    QString sourceName;
    Affinity affinity = Affinity::None;
    bool notNull = false;
    QString defaultValue; // as the file declares it; empty for none
    int keyOrder = 0; // place in the primary key, 0 when not part of it
    ServerType type = ServerType::Text;
    bool money = false; // a REAL column: its sum is compared
};

struct BillingCopy::Table {
    QString name; // lower case
    QString sourceName;
    QList<Column> columns;
    bool identityKey = false; // the file's INTEGER PRIMARY KEY: numbered by the engine
    bool hasRowid = true;

    QList<const Column*> key() const
    {
        QList<const Column*> key;
        for (const Column& column : columns) {
            if (column.keyOrder > 0)
                key << &column;
        }
        std::sort(key.begin(), key.end(), [](const Column* a, const Column* b) { return a->keyOrder < b->keyOrder; });
        return key;
    }
    bool has(const QString& column) const
    {
        return std::any_of(columns.begin(), columns.end(), [&](const Column& c) { return c.name == column; });
    }
    QString sourceColumns() const
    {
        QStringList names;
        for (const Column& column : columns)
            names << SqlConnection::quotedName(column.sourceName);
        return names.join(QLatin1String(", "));
    }
};

bool BillingCopy::TableCheck::same() const
{
    return sourceRows == copiedRows
        && std::all_of(sums.begin(), sums.end(), [](const MoneySum& sum) { return sum.source == sum.copied; });
}

bool BillingCopy::Report::same() const
{
    return std::all_of(tables.begin(), tables.end(), [](const TableCheck& check) { return check.same(); });
}

BillingCopy::BillingCopy(SqlConnection& source, SqlConnection& destination)
    : m_source(source)
    , m_destination(destination)
{}

Outcome BillingCopy::run()
{
    m_report = Report();
    if (m_source.engine() != SqlConnection::Engine::Sqlite)
        return Outcome::failure(
            QStringLiteral("The billing database %1 is already on a server; only a billing file is copied.")
                .arg(m_source.path()));
    if (m_destination.engine() != SqlConnection::Engine::Postgres)
        return Outcome::failure(QStringLiteral("%1 is no PostgreSQL database.").arg(m_destination.path()));
    QElapsedTimer clock;
    clock.start();
    QList<Table> tables;
    Outcome outcome = readSchema(tables);
    for (qsizetype i = 0; outcome && i < tables.size(); ++i)
        outcome = profile(tables[i]);
    if (!outcome)
        return outcome;

    SqlTransaction transaction(m_destination);
    if (!transaction.isActive())
        return Outcome::failure(transaction.error(), m_destination.path());
    outcome = refuseExisting(tables);
    for (const Table& table : tables) {
        if (!outcome)
            break;
        TableCheck check;
        check.table = table.name;
        QElapsedTimer tableClock;
        tableClock.start();
        outcome = createTable(table);
        if (outcome)
            outcome = copyRows(table, check);
        if (outcome)
            outcome = checkCopy(table, check);
        if (outcome)
            outcome = finishTable(table);
        m_report.tables << check;
        m_report.rows += check.copiedRows;
        if (outcome && m_progress)
            m_progress(QStringLiteral("%1: %2 rows in %3 s")
                           .arg(table.name, QString::number(check.copiedRows),
                                QString::number(tableClock.elapsed() / 1000.0, 'f', 1)));
    }
    if (outcome && !m_report.same())
        outcome = Outcome::failure(QStringLiteral("The copy differs from the billing file (see the table above); "
                                                  "nothing was kept on the server."));
    if (outcome && !transaction.commit())
        outcome = Outcome::failure(transaction.error(), m_destination.path());
    m_report.milliseconds = clock.elapsed();
    return outcome;
}

Outcome BillingCopy::readSchema(QList<Table>& tables)
{
    QSqlQuery names = m_source.query(QStringLiteral("select name, type, sql from sqlite_master "
                                                    "where type in ('table', 'view') and name not like 'sqlite\\_%' "
                                                    "escape '\\' order by name"));
    while (names.next()) {
        if (names.value(1).toString() == QLatin1String("view")) {
            m_report.notes << QStringLiteral("The view %1 is not copied.").arg(names.value(0).toString());
            continue;
        }
        Table table;
        table.sourceName = names.value(0).toString();
        table.name = table.sourceName.toLower();
        table.hasRowid = !names.value(2).toString().contains(QLatin1String("without rowid"), Qt::CaseInsensitive);
        tables << table;
    }
    if (!names.isActive())
        return Outcome::cannotRead(FaultText::BillingDatabase, m_source.path(), m_source.outcome());
    for (Table& table : tables) {
        QSqlQuery info = m_source.query(
            QStringLiteral("select name, type, \"notnull\", dflt_value, pk from pragma_table_info(?) order by cid"),
            {table.sourceName});
        while (info.next()) {
            Column column;
            column.sourceName = info.value(0).toString();
            column.name = column.sourceName.toLower();
            column.affinity = affinityOf(info.value(1).toString());
            column.notNull = info.value(2).toInt() != 0;
            column.defaultValue = info.value(3).toString();
            column.keyOrder = info.value(4).toInt();
            column.money = column.affinity == Affinity::Real;
            table.identityKey = table.identityKey
                || (column.keyOrder > 0
                    && info.value(1).toString().compare(QLatin1String("integer"), Qt::CaseInsensitive) == 0);
            table.columns << column;
        }
        if (!info.isActive())
            return Outcome::cannotRead(FaultText::BillingDatabase, m_source.path(), m_source.outcome());
        // Only a lone INTEGER PRIMARY KEY is the row's own number.
        table.identityKey = table.identityKey && table.hasRowid && table.key().size() == 1;
    }
    return {};
}

// Chooses each column's server type from the kinds of value the file really holds:
// SQLite keeps whatever it is given, so a number column may hold text.
Outcome BillingCopy::profile(Table& table)
{
    QStringList counts{QStringLiteral("count(*)")};
    for (const Column& column : table.columns) {
        for (const char* kind : {"integer", "real", "text", "blob"})
            counts << QStringLiteral("sum(typeof(%1) = '%2')")
                          .arg(SqlConnection::quotedName(column.sourceName), QLatin1String(kind));
    }
    QSqlQuery kinds =
        m_source.query(QStringLiteral("select %1 from %2")
                           .arg(counts.join(QLatin1String(", ")), SqlConnection::quotedName(table.sourceName)));
    if (!kinds.next())
        return Outcome::cannotRead(FaultText::BillingDatabase, m_source.path(), m_source.outcome());
    for (qsizetype c = 0; c < table.columns.size(); ++c) {
        Column& column = table.columns[c];
        const int at = 1 + static_cast<int>(c) * 4;
        const qint64 integers = kinds.value(at).toLongLong();
        const qint64 reals = kinds.value(at + 1).toLongLong();
        const qint64 texts = kinds.value(at + 2).toLongLong();
        const qint64 blobs = kinds.value(at + 3).toLongLong();
        const bool numbers = integers + reals > 0;
        if (blobs > 0) {
            if (numbers || texts > 0)
                return Outcome::failure(
                    QStringLiteral("The column %1.%2 mixes binary values with others; it cannot be copied.")
                        .arg(table.sourceName, column.sourceName));
            column.type = ServerType::Bytea;
        } else if (texts > 0) {
            column.type = ServerType::Text;
            if (column.affinity != Affinity::Text && (column.affinity != Affinity::None || numbers))
                m_report.textColumns << table.name + QLatin1Char('.') + column.name;
        } else if (column.affinity == Affinity::Integer) {
            column.type = reals > 0 ? ServerType::Numeric : ServerType::BigInt;
        } else if (column.affinity == Affinity::Real) {
            column.type = ServerType::Double;
        } else if (column.affinity == Affinity::Numeric) {
            // Exact for both whole numbers and doubles, and takes either when written later.
            column.type = ServerType::Numeric;
        } else if (column.affinity == Affinity::None && numbers) {
            column.type = reals == 0 ? ServerType::BigInt : integers == 0 ? ServerType::Double : ServerType::Numeric;
        } else {
            column.type = ServerType::Text;
        }
    }
    return {};
}

Outcome BillingCopy::refuseExisting(const QList<Table>& tables)
{
    QStringList existing;
    for (const Table& table : tables) {
        const QVariant found =
            m_destination.scalar(QStringLiteral("select count(*) from information_schema.tables "
                                                "where table_schema = current_schema() and table_name = ?"),
                                 {table.name});
        if (!found.isValid())
            return Outcome::cannotRead(
                QStringLiteral("The PostgreSQL database"), m_destination.path(), m_destination.outcome());
        if (found.toInt() > 0)
            existing << table.name;
    }
    if (existing.isEmpty())
        return {};
    if (!m_replace)
        return Outcome::failure(QStringLiteral("%1 already holds the table(s) %2; nothing was copied (--replace "
                                               "drops and copies them again).")
                                    .arg(m_destination.path(), existing.join(QLatin1String(", "))));
    for (const QString& name : existing) {
        if (Outcome dropped = serverExec(QStringLiteral("drop table %1").arg(SqlConnection::quotedName(name)));
            !dropped)
            return dropped;
    }
    return {};
}

Outcome BillingCopy::createTable(const Table& table)
{
    QStringList parts;
    for (const Column& column : table.columns) {
        QString part =
            SqlConnection::quotedName(column.name) + QLatin1Char(' ') + QLatin1String(serverTypeName(column.type));
        if (table.identityKey && column.keyOrder > 0)
            part += QLatin1String(" generated by default as identity");
        if (column.notNull)
            part += QLatin1String(" not null");
        // Number and plain text defaults mean the same on both engines; others are
        // SQLite's own expressions.
        static const QRegularExpression portable(QStringLiteral("^(-?[0-9]+(\\.[0-9]+)?|'([^']|'')*')$"));
        if (!column.defaultValue.isEmpty() && column.type != ServerType::Bytea) {
            if (portable.match(column.defaultValue).hasMatch())
                part += QLatin1String(" default ") + column.defaultValue;
            else if (column.defaultValue.compare(QLatin1String("null"), Qt::CaseInsensitive) != 0)
                m_report.notes << QStringLiteral("The default %1 of %2.%3 is not copied.")
                                      .arg(column.defaultValue, table.name, column.name);
        }
        parts << part;
    }
    QStringList key;
    for (const Column* column : table.key())
        key << SqlConnection::quotedName(column->name);
    if (!key.isEmpty())
        parts << QStringLiteral("primary key (%1)").arg(key.join(QLatin1String(", ")));
    return serverExec(QStringLiteral("create table %1 (%2)")
                          .arg(SqlConnection::quotedName(table.name), parts.join(QLatin1String(", "))));
}

Outcome BillingCopy::copyRows(const Table& table, TableCheck& check)
{
    const qsizetype width = table.columns.size();
    QList<qsizetype> money;
    QStringList names;
    for (qsizetype c = 0; c < width; ++c) {
        names << SqlConnection::quotedName(table.columns[c].name);
        if (table.columns[c].money)
            money << c;
    }
    QList<ExactSum> sums(money.size());
    // The file's stored order, so rows without a key keep their order on the server.
    QSqlQuery rows = m_source.query(QStringLiteral("select %1 from %2%3")
                                        .arg(table.sourceColumns(), SqlConnection::quotedName(table.sourceName),
                                             table.hasRowid ? QStringLiteral(" order by rowid") : QString()));
    if (!rows.isActive())
        return Outcome::cannotRead(FaultText::BillingDatabase, m_source.path(), m_source.outcome());
    PostgresCopyIn copy(m_destination, SqlConnection::quotedName(table.name), names);
    QVariantList row(width);
    while (copy.isActive() && rows.next()) {
        for (qsizetype c = 0; c < width; ++c)
            row[c] = serverValue(rows.value(static_cast<int>(c)), table.columns[c].type);
        copy.addRow(row);
        for (qsizetype m = 0; m < money.size(); ++m)
            sums[m].add(rows.value(static_cast<int>(money[m])));
        ++check.sourceRows;
    }
    if (rows.lastError().isValid())
        return Outcome::failure(rows.lastError().text(), m_source.path());
    if (!copy.finish())
        return Outcome::failure(
            QStringLiteral("Rows of %1 cannot be written to the server: %2").arg(table.name, copy.error()),
            m_destination.path());
    for (qsizetype m = 0; m < money.size(); ++m)
        check.sums << MoneySum{table.columns[money[m]].name, sums[m].toPlain(), QString()};
    return {};
}

// Reads the copy back from the server: its row count and each money column's sum,
// added up the same way as the file's.
Outcome BillingCopy::checkCopy(const Table& table, TableCheck& check)
{
    QStringList money;
    for (const Column& column : table.columns) {
        if (column.money)
            money << SqlConnection::quotedName(column.name);
    }
    QList<ExactSum> sums(money.size());
    QSqlQuery rows(m_destination.database());
    rows.setForwardOnly(true);
    const QString sql = QStringLiteral("select 0%1 from %2")
                            .arg(money.isEmpty() ? QString() : QLatin1String(", ") + money.join(QLatin1String(", ")),
                                 SqlConnection::quotedName(table.name));
    if (!rows.exec(sql))
        return Outcome::failure(rows.lastError().text().trimmed(), m_destination.path());
    while (rows.next()) {
        ++check.copiedRows;
        for (qsizetype m = 0; m < sums.size(); ++m)
            sums[m].add(rows.value(static_cast<int>(m) + 1));
    }
    for (qsizetype m = 0; m < sums.size(); ++m)
        check.sums[m].copied = sums[m].toPlain();
    return {};
}

Outcome BillingCopy::finishTable(const Table& table)
{
    if (table.identityKey) {
        // New rows continue after the highest number copied, as they would in the file.
        const QString key = table.key().first()->name;
        const Outcome restarted = serverExec(
            QStringLiteral("select setval(pg_get_serial_sequence(?, ?), coalesce(max(%1), 0) + 1, false) from %2")
                .arg(SqlConnection::quotedName(key), SqlConnection::quotedName(table.name)),
            {SqlConnection::quotedName(table.name), key});
        if (!restarted)
            return restarted;
    }
    if (table.has(QStringLiteral("custkey")) && table.has(QStringLiteral("lockey"))) {
        const Outcome indexed = serverExec(QStringLiteral("create index %1 on %2 (custkey, lockey)")
                                               .arg(SqlConnection::quotedName(table.name + QStringLiteral(" account")),
                                                    SqlConnection::quotedName(table.name)));
        if (!indexed)
            return indexed;
    }
    // A freshly filled table has no statistics; the first reads would be planned blind.
    return serverExec(QStringLiteral("analyze %1").arg(SqlConnection::quotedName(table.name)));
}

// Statements without values go to the server as plain text: it cannot prepare DDL.
Outcome BillingCopy::serverExec(const QString& sql, const QVariantList& binds)
{
    QSqlQuery query(m_destination.database());
    bool ok;
    if (binds.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        for (qsizetype i = 0; ok && i < binds.size(); ++i)
            query.bindValue(static_cast<int>(i), binds[i]);
        ok = ok && query.exec();
    }
    if (ok)
        return {};
    return Outcome::failure(
        QStringLiteral("%1: %2").arg(sql.left(80), query.lastError().text().trimmed()), m_destination.path());
}

Outcome BillingCopy::repoint(const QString& suiteFolder, const QString& uri)
{
    const QString global = QDir(suiteFolder).filePath(QStringLiteral("global.mdb"));
    SqlConnection db = SqlConnection::open(global);
    if (!db.isOpen())
        return Outcome::cannotOpen(FaultText::ConfigurationDatabase, global, db.outcome());
    if (!db.exec(QStringLiteral("update current set databasepath = ?"), {uri}))
        return Outcome::cannotWrite(FaultText::ConfigurationDatabase, global, db.outcome());
    if (db.scalar(QStringLiteral("select changes()")).toInt() == 0)
        return Outcome::failure(QStringLiteral("%1 has no row in its table current.").arg(global));
    return {};
}
