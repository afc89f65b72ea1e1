#pragma once

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"
#include "platform/SqlValueText.h"

#include <QCryptographicHash>
#include <QString>

// Small read helpers for tests over a billing database.
namespace BillingQueries {

inline QString text(const SqlConnection& db, const char* sql)
{
    SqlStatement query(db, sql);
    return query.next() ? query.text(0) : QString();
}

inline int64_t number(const SqlConnection& db, const char* sql)
{
    SqlStatement query(db, sql);
    return query.next() ? query.integer(0) : -1;
}

// A digest of every value of a table in row order, so two suites compare by content.
inline QByteArray checksum(const SqlConnection& db, const QString& table)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    SqlStatement query(db, QStringLiteral("select * from %1 order by rowid").arg(table).toStdString());
    while (query.next()) {
        for (int c = 0; c < query.columnCount(); ++c) {
            const std::string value = SqlValueText::column(query.handle(), c);
            hash.addData(QByteArrayView(value.data(), static_cast<qsizetype>(value.size())));
            hash.addData("\t");
        }
        hash.addData("\n");
    }
    return hash.result();
}

} // namespace BillingQueries
