#pragma once

#include "platform/SqlConnection.h"
#include "readings/ReadingColumns.h"

#include <QAbstractTableModel>
#include <QVariant>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The readings of one location, read from and written straight back to the
// billing table [tbl reading]. The model holds its own billing connection while
// the window shows it. Cells show dates M/d/yyyy; stored dates stay ISO text.
class ReadingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct WriteOutcome {
        bool ok = false;
        bool changed = false; // the billing row now holds another value
        QString error; // why the value was not written
        bool reloaded = false; // another clerk's values now shown in the row
    };

    // Readings, usages, multipliers and factors lie within plus or minus this.
    static constexpr double MaximumNumber = 1e12;

    explicit ReadingsModel(QObject* parent = nullptr);

    // Every reading of the location ordered by bill date and change-out; the
    // engine's reason when the database cannot be opened or read.
    Outcome load(SqlConnection billing, int32_t custKey, int32_t locKey);
    // Drops the rows and the connection.
    void release();

    // The cell as the grid shows it.
    QString text(int row, int column) const;
    // Validates the typed text for the column and writes it to the billing row;
    // a changed Previous or Present also rewrites Usage in the same statement.
    // Nothing is written when the text is no valid value or the database refuses.
    WriteOutcome write(int row, int column, const QString& typed);

    // The stored value a typed text stands for: null for a blank entry; nothing
    // (and `problem`) when the text is no value of that kind or out of range.
    static std::optional<QVariant> storedValue(ReadingColumns::Kind kind, const QString& typed, QString* problem);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    struct Reading {
        qint64 key = 0;
        std::array<QVariant, ReadingColumns::ColumnCount> values;
    };

    static QString display(ReadingColumns::Kind kind, const QVariant& stored);
    // The row as stored now, after a write found it changed by someone else.
    WriteOutcome changedElsewhere(int row, const QList<int>& guarded);
    static bool sameValue(ReadingColumns::Kind kind, const QVariant& a, const QVariant& b);
    static QVariant recomputedUsage(const Reading& after);

    SqlConnection m_db;
    std::vector<Reading> m_rows;
};
