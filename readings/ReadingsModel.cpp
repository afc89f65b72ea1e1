#include "readings/ReadingsModel.h"

#include "platform/BasicRuntime.h"
#include "platform/DateText.h"

#include <QLocale>
#include <QSqlQuery>
#include <QStringList>
#include <cmath>

using namespace ReadingColumns;

namespace {

QString selectReadings(const QString& where = QStringLiteral("(CustKey = ? and LocKey = ?) "
                                                             "order by BillDate, chgout, ReadingKey"))
{
    QStringList fields{QStringLiteral("ReadingKey")};
    for (int column = 0; column < ColumnCount; ++column)
        fields << QString::fromLatin1(layout(column).field);
    return QStringLiteral("select %1 from \"tbl reading\" where %2").arg(fields.join(QStringLiteral(", ")), where);
}

bool isNumeric(const QVariant& value)
{
    const int type = value.typeId();
    return type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int
        || type == QMetaType::ULongLong || type == QMetaType::UInt;
}

} // namespace

ReadingsModel::ReadingsModel(QObject* parent) : QAbstractTableModel(parent)
{}

Outcome ReadingsModel::load(SqlConnection billing, int32_t custKey, int32_t locKey)
{
    beginResetModel();
    m_rows.clear();
    m_db = std::move(billing);
    bool ok = m_db.isOpen();
    if (ok) {
        using SortAs = SqlConnection::SortAs;
        const QString account = QStringLiteral("(CustKey = ? and LocKey = ?) order by %1, %2, ReadingKey")
                                    .arg(m_db.sortKey(QStringLiteral("BillDate"), SortAs::Text),
                                         m_db.sortKey(QStringLiteral("chgout"), SortAs::Number));
        QSqlQuery query = m_db.query(selectReadings(account), {custKey, locKey});
        ok = query.isActive();
        while (ok && query.next()) {
            Reading reading;
            reading.key = query.value(0).toLongLong();
            for (int column = 0; column < ColumnCount; ++column)
                reading.values[column] = query.value(column + 1);
            m_rows.push_back(std::move(reading));
        }
    }
    const Outcome loaded = ok ? Outcome() : m_db.outcome();
    endResetModel();
    return loaded;
}

void ReadingsModel::release()
{
    beginResetModel();
    m_rows.clear();
    m_db.close();
    endResetModel();
}

QString ReadingsModel::display(Kind kind, const QVariant& stored)
{
    if (stored.isNull())
        return {};
    if (kind == Kind::Date)
        return DateText::displayShort(stored);
    if (kind != Kind::Text && stored.typeId() == QMetaType::Double)
        return BasicRuntime::plainNumber(stored.toDouble());
    return stored.toString();
}

QString ReadingsModel::text(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return {};
    return display(layout(column).kind, m_rows[row].values[column]);
}

std::optional<QVariant> ReadingsModel::storedValue(Kind kind, const QString& typed, QString* problem)
{
    const QString trimmed = typed.trimmed();
    if (trimmed.isEmpty())
        return QVariant();
    const QString quoted = QLatin1Char('"') + typed + QLatin1Char('"');
    switch (kind) {
    case Kind::Text: return QVariant(typed);
    case Kind::Date:
        if (const std::optional<QDate> date = DateText::parse(trimmed))
            return QVariant(DateText::toIso(*date));
        *problem = quoted + QStringLiteral(" is not a date.");
        return std::nullopt;
    case Kind::Number:
    case Kind::Integer: {
        bool ok = false;
        const double number = QLocale::c().toDouble(trimmed, &ok);
        if (!ok || !std::isfinite(number)) {
            *problem = quoted + QStringLiteral(" is not a number.");
            return std::nullopt;
        }
        if (kind == Kind::Number) {
            if (std::abs(number) > MaximumNumber) {
                *problem = quoted + QStringLiteral(" is out of range.");
                return std::nullopt;
            }
            return QVariant(number);
        }
        if (number != std::trunc(number) || number < INT32_MIN || number > INT32_MAX) {
            *problem = quoted + QStringLiteral(" is not a whole number.");
            return std::nullopt;
        }
        return QVariant(static_cast<int>(number));
    }
    }
    return std::nullopt;
}

bool ReadingsModel::sameValue(Kind kind, const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    if (kind == Kind::Date) {
        const std::optional<QDate> first = DateText::fromVariant(a);
        const std::optional<QDate> second = DateText::fromVariant(b);
        if (first && second)
            return *first == *second;
    }
    if (kind != Kind::Text && isNumeric(a) && isNumeric(b))
        return a.toDouble() == b.toDouble();
    return a.toString() == b.toString();
}

QVariant ReadingsModel::recomputedUsage(const Reading& after)
{
    const double present = BasicRuntime::val(display(Kind::Number, after.values[Present]));
    const double previous = BasicRuntime::val(display(Kind::Number, after.values[Previous]));
    // Through the plain number text, as the usage is typed: 150.3 - 100.1 stores 50.2.
    const double usage = BasicRuntime::plainNumber(present - previous).toDouble();
    // Readings stored by other programs may be anything; an infinite usage is never stored.
    if (!std::isfinite(usage) || std::abs(usage) > MaximumNumber)
        return QVariant();
    return QVariant(usage);
}

ReadingsModel::WriteOutcome ReadingsModel::write(int row, int column, const QString& typed)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount || isHidden(column))
        return {false, false, QStringLiteral("That cell cannot be changed.")};
    const Layout& cell = layout(column);
    QString problem;
    const std::optional<QVariant> value = storedValue(cell.kind, typed, &problem);
    if (!value)
        return {false, false, problem};
    if (sameValue(cell.kind, m_rows[row].values[column], *value))
        return {true, false, {}};

    Reading after = m_rows[row];
    after.values[column] = *value;
    if (column == Estimated || column == EstimatedAgain)
        after.values[Estimated] = after.values[EstimatedAgain] = *value;
    QString sql = QStringLiteral("update \"tbl reading\" set %1 = ?").arg(QString::fromLatin1(cell.field));
    QVariantList binds{*value};
    QList<int> guarded{column};
    if (column == Previous || column == Present) {
        after.values[Usage] = recomputedUsage(after);
        if (!after.values[Usage].isValid())
            return {false, false, QStringLiteral("the usage, Present minus Previous, would be out of range.")};
        sql += QStringLiteral(", Usage = ?");
        binds << after.values[Usage];
        guarded = {Previous, Present};
    }
    // Only over the values this window showed: another clerk's change since then is
    // never overwritten unseen.
    sql += QStringLiteral(" where ReadingKey = ?");
    binds << after.key;
    for (int shown : guarded) {
        sql += QStringLiteral(" and %1 is not distinct from ?").arg(QString::fromLatin1(layout(shown).field));
        binds << m_rows[row].values[shown];
    }

    QSqlQuery query = m_db.query(sql, binds);
    if (!query.isActive())
        return {false, false, m_db.outcome().message()};
    if (query.numRowsAffected() != 1)
        return changedElsewhere(row, guarded);
    m_rows[row] = std::move(after);
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole, Qt::EditRole});
    return {true, true, {}};
}

ReadingsModel::WriteOutcome ReadingsModel::changedElsewhere(int row, const QList<int>& guarded)
{
    QSqlQuery stored = m_db.query(selectReadings(QStringLiteral("ReadingKey = ?")), {m_rows[row].key});
    if (!stored.isActive())
        return {false, false, m_db.outcome().message()};
    if (!stored.next())
        return {false, false, QStringLiteral("The reading is no longer in the billing database.")};
    for (int column = 0; column < ColumnCount; ++column)
        m_rows[row].values[column] = stored.value(column + 1);
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole, Qt::EditRole});
    QStringList now;
    for (int column : guarded) {
        const QString shown = text(row, column);
        now << QStringLiteral("%1 %2").arg(
            QString::fromLatin1(layout(column).caption), shown.isEmpty() ? QStringLiteral("(empty)") : shown);
    }
    WriteOutcome outcome{false, false,
                         QStringLiteral("another clerk changed this reading since it was shown. It now holds: %1. "
                                        "Type the correction again if it still applies.")
                             .arg(now.join(QStringLiteral(", ")))};
    outcome.reloaded = true;
    return outcome;
}

int ReadingsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReadingsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ReadingsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return (layout(index.column()).alignment | Qt::AlignVCenter).toInt();
    return {};
}

QVariant ReadingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return QString::fromLatin1(layout(section).caption);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ReadingsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return isHidden(index.column()) ? base : base | Qt::ItemIsEditable;
}

bool ReadingsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    return write(index.row(), index.column(), value.toString()).ok;
}
