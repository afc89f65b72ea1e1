#pragma once

#include "platform/SqlValueText.h"
#include "demosuite/SqliteDb.h"

#include <QCryptographicHash>
#include <QString>
#include <sqlite3.h>

// Small read helpers for tests over a billing database.
namespace BillingQueries {

inline QString text(SqliteDb& db, const char* sql)
{
    auto query = db.prepare(sql);
    return query.next() ? query.text(0) : QString();
}

inline int64_t number(SqliteDb& db, const char* sql)
{
    auto query = db.prepare(sql);
    return query.next() ? query.integer(0) : -1;
}

// A digest of every value of a table in row order, so two suites compare by content.
inline QByteArray checksum(SqliteDb& db, const QString& table)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    auto query = db.prepare(QStringLiteral("select * from %1 order by rowid").arg(table).toStdString());
    while (query.next()) {
        for (int c = 0; c < sqlite3_column_count(query.handle()); ++c) {
            const std::string value = SqlValueText::column(query.handle(), c);
            hash.addData(QByteArrayView(value.data(), static_cast<qsizetype>(value.size())));
            hash.addData("\t");
        }
        hash.addData("\n");
    }
    return hash.result();
}

} // namespace BillingQueries
