#include "selection/SearchSource.h"

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <deque>
#include <sqlite3.h>
#include <string>

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

// The values of a row read from a server, stored as the file's columns would store
// them: an in-memory table with the same affinities takes each value and gives it
// back, so a number kept as text on the server is a number again and the engine's
// own text of a real (7.0, 1.0e+20) is what the line shows.
class AffinityTable {
public:
    AffinityTable() : m_db(SqlConnection::open(QStringLiteral(":memory:"), SqlConnection::Mode::CreateIfMissing))
    {
        m_db.exec(QStringLiteral("create table a (t text, i integer)"));
        m_insert = SqlStatement(m_db, "insert into a values (?, ?) returning t, i");
        m_clear = SqlStatement(m_db, "delete from a");
    }

    // The row's values as the file would hold them; texts valid until the next call.
    bool store(const QSqlQuery& rows, SearchSourceRow& row)
    {
        m_held.clear();
        bool cleared = false;
        for (int column = 0; column < SearchSourceRow::ColumnCount; ++column) {
            const QVariant value = rows.value(column);
            const bool number = column == SearchSourceRow::LocSeq;
            SearchSourceValue& stored = row.values[column];
            // The usual kinds need no engine to tell how the file holds them.
            if (value.isNull()) {
                stored = SearchSourceValue();
                continue;
            }
            if (number && (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::ULongLong)) {
                stored = SearchSourceValue();
                stored.kind = SearchSourceValue::Kind::Integer;
                stored.integer = value.toLongLong();
                stored.real = static_cast<double>(stored.integer);
                m_held.emplace_back(std::to_string(stored.integer));
                stored.text = m_held.back();
                continue;
            }
            if (!number && value.typeId() == QMetaType::QString) {
                stored = SearchSourceValue();
                stored.kind = SearchSourceValue::Kind::Text;
                m_held.emplace_back(value.toString().toStdString());
                stored.text = m_held.back();
                continue;
            }
            if (!cleared && !m_clear.run())
                return false;
            cleared = true;
            m_insert.reset();
            m_insert.bindNull(number ? 1 : 2).bind(number ? 2 : 1, value);
            if (!m_insert.next())
                return false;
            stored = valueOf(m_insert.handle(), number ? 1 : 0);
            // The statement's next step frees its texts: keep a copy of this one.
            m_held.emplace_back(stored.text);
            stored.text = m_held.back();
            m_insert.next();
        }
        row.custKey = rows.value(SearchSourceRow::ColumnCount).toLongLong();
        row.locKey = rows.value(SearchSourceRow::ColumnCount + 1).toLongLong();
        return true;
    }

private:
    SqlConnection m_db;
    SqlStatement m_insert;
    SqlStatement m_clear;
    std::deque<std::string> m_held;
};

const char* const joinColumns = "select c.accno, l.locroute, l.locseq, c.status, c.lookupname, c.addr2, l.addr2, "
                                "l.ID, l.custkey, l.lockey from \"tbl customer\" c inner join \"tbl location\" l "
                                "on c.custkey = l.custkey order by l.lockey";

Outcome readServer(SqlConnection& billing, const std::function<void(const SearchSourceRow&)>& each)
{
    QSqlQuery rows = billing.query(QString::fromLatin1(joinColumns));
    if (!rows.isActive())
        return billing.outcome();
    AffinityTable affinity;
    SearchSourceRow row;
    while (rows.next()) {
        if (!affinity.store(rows, row))
            return Outcome::failure(QStringLiteral("A row of the account list cannot be read."), billing.path());
        each(row);
    }
    // A connection that broke mid-read ends the rows early: that is a failure, not the end.
    if (rows.lastError().isValid())
        return Outcome::failure(rows.lastError().text(), billing.path());
    return {};
}

} // namespace

Outcome SearchSource::read(SqlConnection& billing, const std::function<void(const SearchSourceRow&)>& each)
{
    if (billing.engine() == SqlConnection::Engine::Postgres)
        return readServer(billing, each);
    SqlStatement rows(billing, joinColumns);
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
    if (billing.engine() == SqlConnection::Engine::Postgres)
        return billing.scalar(QStringLiteral("select count(*) from \"tbl location\"")).toLongLong();
    SqlStatement locations(billing, "select count(*) from \"tbl location\"");
    return locations.next() ? locations.integer(0) : 0;
}
