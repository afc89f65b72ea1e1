#include "selection/SearchSource.h"

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"

#include <sqlite3.h>

namespace {

SearchSourceValue valueOf(sqlite3_stmt* row, int column)
{
    SearchSourceValue value;
    const int type = sqlite3_column_type(row, column);
    switch (type) {
    case SQLITE_NULL: return value;
    case SQLITE_INTEGER:
        value.kind = SearchSourceValue::Kind::Integer;
        value.integer = sqlite3_column_int64(row, column);
        value.real = static_cast<double>(value.integer);
        break;
    case SQLITE_FLOAT:
        value.kind = SearchSourceValue::Kind::Real;
        value.real = sqlite3_column_double(row, column);
        break;
    case SQLITE_BLOB: value.kind = SearchSourceValue::Kind::Blob; break;
    default: value.kind = SearchSourceValue::Kind::Text; break;
    }
    if (type == SQLITE_BLOB) {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(row, column));
        value.text = std::string_view(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(row, column)));
    } else {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
        value.text = std::string_view(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(row, column)));
    }
    return value;
}

} // namespace

Outcome SearchSource::read(SqlConnection& billing, const std::function<void(const SearchSourceRow&)>& each)
{
    SqlStatement rows(billing,
                      "select c.accno, l.locroute, l.locseq, c.status, c.lookupname, c.addr2, l.addr2, l.ID, "
                      "l.custkey, l.lockey from [tbl customer] c inner join [tbl location] l on c.custkey = l.custkey "
                      "order by l.lockey");
    SearchSourceRow row;
    while (rows.next()) {
        sqlite3_stmt* statement = rows.handle();
        for (int column = 0; column < SearchSourceRow::ColumnCount; ++column)
            row.values[column] = valueOf(statement, column);
        row.custKey = sqlite3_column_int64(statement, SearchSourceRow::ColumnCount);
        row.locKey = sqlite3_column_int64(statement, SearchSourceRow::ColumnCount + 1);
        each(row);
    }
    if (!rows.isValid() || rows.failed())
        return Outcome::failure(rows.error(), billing.path(), rows.errorCode());
    return {};
}

int64_t SearchSource::count(SqlConnection& billing)
{
    SqlStatement locations(billing, "select count(*) from [tbl location]");
    return locations.next() ? locations.integer(0) : 0;
}
