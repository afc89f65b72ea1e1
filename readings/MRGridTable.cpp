#include "readings/MRGridTable.h"

#include "platform/SqlConnection.h"
#include "app/SuiteFolder.h"
#include "platform/BasicRuntime.h"
#include "platform/DateText.h"
#include "platform/SqlTransaction.h"

#include <QDir>
#include <QSqlQuery>
#include <optional>

namespace {

QString findFolder(const QString& parent, const QString& name)
{
    const QStringList entries = QDir(parent).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(parent).filePath(entry);
    }
    return QDir(parent).filePath(name);
}

std::optional<double> number(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::QString)
        return BasicRuntime::val(value.toString());
    return value.toDouble();
}

QString scaledText(const QVariant& reading, const std::optional<double>& multiplier)
{
    const std::optional<double> value = number(reading);
    return value && multiplier ? BasicRuntime::plainNumber(*value * *multiplier) : QString();
}

QVariant isoDate(const QVariant& value)
{
    const std::optional<QDate> date = DateText::fromVariant(value);
    return date ? QVariant(DateText::toIso(*date)) : QVariant();
}

} // namespace

QString MRGridTable::reportDbPath(const QString& programFolder)
{
    return SuiteFolder::pathFor(findFolder(programFolder, QStringLiteral("reports")), QStringLiteral("emptdata.mdb"));
}

std::vector<MRGridTable::Reading> MRGridTable::readBilling(SqlConnection& billing, int32_t custKey, int32_t locKey)
{
    std::vector<Reading> readings;
    // ReadingKey last: the order the file's index gives ties, spelled out for a server.
    using SortAs = SqlConnection::SortAs;
    QSqlQuery q = billing.query(QStringLiteral("select ReadDate, BillDate, Code, Previous, Present, Usage, Multiplier, "
                                               "MSN from \"tbl reading\" where CustKey = ? and LocKey = ? "
                                               "order by %1, %2, ReadingKey")
                                    .arg(billing.sortKey(QStringLiteral("BillDate"), SortAs::Text),
                                         billing.sortKey(QStringLiteral("chgout"), SortAs::Number)),
                                {custKey, locKey});
    while (q.next())
        readings.push_back(
            {q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5), q.value(6), q.value(7)});
    return readings;
}

MRGridTable::Row MRGridTable::toRow(const Reading& reading)
{
    const std::optional<double> multiplier = number(reading.Multiplier);
    const std::optional<double> usage = number(reading.Usage);
    Row row;
    row.MRDate = isoDate(reading.ReadDate);
    row.BDate = isoDate(reading.BillDate);
    row.Code = reading.Code.toString();
    row.Prev = scaledText(reading.Previous, multiplier);
    row.Pres = scaledText(reading.Present, multiplier);
    row.Used = usage && multiplier ? QVariant(*usage * *multiplier) : QVariant();
    row.MSN = reading.MSN.toString();
    return row;
}

Outcome MRGridTable::fill(const QString& programFolder, const std::vector<Reading>& readings)
{
    const QString path = reportDbPath(programFolder);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Outcome::failure(QStringLiteral("The folder of %1 cannot be created.").arg(path), path);
    SqlConnection report = SqlConnection::open(path, SqlConnection::Mode::CreateIfMissing);
    SqlTransaction transaction(report);
    const bool ok = transaction.isActive() && report.exec(QStringLiteral("drop table if exists MRGrid"))
        && report.exec(QStringLiteral("create table MRGrid (MRDate date, BDate date, Code text, Prev text, "
                                      "Pres text, Used double, MSN text)"));
    bool inserted = ok;
    for (size_t i = 0; inserted && i < readings.size(); ++i) {
        const Row row = toRow(readings[i]);
        inserted = report.exec(QStringLiteral("insert into MRGrid (MRDate, BDate, Code, Prev, Pres, Used, MSN) "
                                              "values (?, ?, ?, ?, ?, ?, ?)"),
                               {row.MRDate, row.BDate, row.Code, row.Prev, row.Pres, row.Used, row.MSN});
    }
    if (inserted && transaction.commit())
        return {};
    const Outcome& failed = report.outcome();
    const QString reason = !failed.message().isEmpty() ? failed.message() : transaction.error();
    return Outcome::cannotWrite(
        QStringLiteral("The report table in"), path, Outcome::failure(reason, path, failed.nativeCode()));
}

Outcome MRGridTable::read(const QString& programFolder, std::vector<Row>& rows)
{
    rows.clear();
    SqlConnection report = SqlConnection::open(reportDbPath(programFolder));
    QSqlQuery q =
        report.query(QStringLiteral("select MRDate, BDate, Code, Prev, Pres, Used, MSN from MRGrid order by rowid"));
    while (q.next())
        rows.push_back({q.value(0), q.value(1), q.value(2).toString(), q.value(3).toString(), q.value(4).toString(),
                        q.value(5), q.value(6).toString()});
    return report.outcome();
}
