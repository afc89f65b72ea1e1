#include "platform/SqlDialect.h"

#include "platform/SqlConnection.h"
#include "platform/SqlFunctions.h"

#include <QSqlDatabase>

#include <sqlite3.h>

namespace SqlDialect {

bool registerOn(sqlite3* db)
{
    if (!db)
        return false;
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (const std::span<const Function> family : {numberFunctions(), textFunctions(), likeFunctions()}) {
        for (const Function& function : family) {
            if (sqlite3_create_function_v2(
                    db, function.name, function.argumentCount, flags, nullptr, function.call, nullptr, nullptr, nullptr)
                != SQLITE_OK)
                return false;
        }
    }
    return true;
}

bool registerOn(const QSqlDatabase& db)
{
    return registerOn(SqlConnection::nativeHandle(db));
}

} // namespace SqlDialect
