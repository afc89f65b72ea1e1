#pragma once

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"

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

} // namespace BillingQueries
