#include "platform/SqlDialect.h"

#include "platform/SqlFunctions.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace SqlDialect {

bool registerOn(sqlite3* db)
{
    if (!db)
        return false;
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (const std::span<const Function> family : {numberFunctions(), textFunctions(), likeFunctions()}) {
        for (const Function& function : family) {
            if (sqlite3_create_function_v2(db, function.name, function.argumentCount, flags, nullptr, function.call,
                                           nullptr, nullptr, nullptr)
                != SQLITE_OK)
                return false;
        }
    }
    return true;
}

bool registerOn(const QSqlDatabase& db)
{
    if (!db.isValid() || !db.isOpen() || !db.driver())
        return false;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    return registerOn(*static_cast<sqlite3* const*>(handle.constData()));
}

} // namespace SqlDialect
