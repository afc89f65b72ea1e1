#include "selection/SearchSource.h"

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"
#include "selection/SearchSourceRows.h"

#include <QFileInfo>

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <deque>
#include <pthread.h>
#include <sqlite3.h>
#include <string>
#include <thread>

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

#define LEDVIEW_JOIN                                                                                                   \
    "select c.accno, l.locroute, l.locseq, c.status, c.lookupname, c.addr2, l.addr2, l.ID, l.custkey, l.lockey "       \
    "from \"tbl customer\" c inner join \"tbl location\" l on c.custkey = l.custkey "
const char* const joinColumns = LEDVIEW_JOIN "order by l.lockey";
// The same rows in two halves: lockey is the location table's key, never null.
const char* const joinLowerHalf = LEDVIEW_JOIN "where l.lockey <= ?1 order by l.lockey";
const char* const joinUpperHalf = LEDVIEW_JOIN "where l.lockey > ?1 order by l.lockey";
#undef LEDVIEW_JOIN

// What a packed row of the demo's billing file takes, with room to spare (a buffer that
// grows copies itself onto pages the kernel must fault in one by one).
constexpr size_t RowBytes = 192;

using Each = std::function<void(const SearchSourceRow&)>;

// Hands every row of a statement to `each`; `more` is the outcome of its first step.
Outcome stepAll(SqlStatement& rows, bool more, const QString& path, const Each& each)
{
    SearchSourceRow row;
    for (; more; more = rows.next()) {
        sqlite3_stmt* statement = rows.handle();
        for (int column = 0; column < SearchSourceRow::ColumnCount; ++column)
            row.values[column] = valueOf(statement, column);
        row.custKey = sqlite3_column_int64(statement, SearchSourceRow::ColumnCount);
        row.locKey = sqlite3_column_int64(statement, SearchSourceRow::ColumnCount + 1);
        each(row);
    }
    if (!rows.isValid() || rows.failed())
        return Outcome::failure(rows.error(), path, rows.errorCode());
    return {};
}

Outcome readUpperHalf(sqlite3* db, const QString& path, int64_t middle, const Each& each)
{
    SqlStatement rows(db, joinUpperHalf);
    rows.bind(1, middle);
    return stepAll(rows, rows.next(), path, each);
}

// The upper half of the rows, read on a thread and a connection of its own while
// the caller reads the lower half.
class UpperHalf {
public:
    UpperHalf(const QString& path, int64_t middle, int64_t expected)
        : m_thread([this, path, middle, expected] { run(path, middle, expected); })
    {}
    ~UpperHalf()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    UpperHalf(const UpperHalf&) = delete;
    UpperHalf& operator=(const UpperHalf&) = delete;

    // Waits for the read: the rows, or nothing when this connection could not read them.
    const SearchSourceRows* finish()
    {
        m_thread.join();
        return m_read ? &m_rows : nullptr;
    }

private:
    void run(const QString& path, int64_t middle, int64_t expected)
    {
        pthread_setname_np(pthread_self(), "listreader");
        m_rows.reserve(static_cast<int32_t>(expected), static_cast<size_t>(expected) * RowBytes);
        sqlite3* db = nullptr;
        // No busy wait: a writer queued behind the caller's read would make it wait
        // for nothing; the caller reads this half itself instead.
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
            m_read = static_cast<bool>(
                readUpperHalf(db, path, middle, [this](const SearchSourceRow& row) { m_rows.append(row); }));
        sqlite3_close_v2(db);
    }

    SearchSourceRows m_rows;
    bool m_read = false;
    std::thread m_thread; // last: it starts once the members above are there
};

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
    return stepAll(rows, rows.next(), billing.path(), each);
}

Outcome SearchSource::readInto(SqlConnection& billing, SearchSourceRows& rows, const std::function<void()>& progress)
{
    const Each keep = [&rows, &progress](const SearchSourceRow& row) {
        rows.append(row);
        if (progress && rows.size() % 65536 == 0)
            progress();
    };
    if (billing.engine() == SqlConnection::Engine::Postgres) {
        const int64_t count = billing.scalar(QStringLiteral("select count(*) from \"tbl location\"")).toLongLong();
        rows.reserve(static_cast<int32_t>(count), static_cast<size_t>(count) * RowBytes);
        return read(billing, keep);
    }
    if (!QFileInfo(billing.path()).isFile())
        return read(billing, keep);
    SqlStatement bounds(billing, "select min(lockey), max(lockey), count(*) from \"tbl location\"");
    if (!bounds.next() || bounds.isNull(0) || bounds.integer(0) == bounds.integer(1))
        return read(billing, keep);
    const int64_t middle = bounds.integer(0) / 2 + bounds.integer(1) / 2;
    // Room for the usual row size: all rows here, where the upper half joins them
    // (keys may leave gaps: a half never holds more than all the rows).
    const int64_t count = bounds.integer(2);
    const int64_t upperCount = std::min(count, bounds.integer(1) - middle);
    bounds = SqlStatement();
    rows.reserve(static_cast<int32_t>(count), static_cast<size_t>(count) * RowBytes);

    // Both halves read the same state of the file: the read transaction begun here
    // holds writers off from this connection's first step until the other half is read.
    sqlite3* db = billing.handle();
    if (sqlite3_exec(db, "begin", nullptr, nullptr, nullptr) != SQLITE_OK)
        return read(billing, keep);
    SqlStatement lower(billing, joinLowerHalf);
    lower.bind(1, middle);
    const bool first = lower.next();
    Outcome outcome;
    if (lower.failed()) {
        outcome = stepAll(lower, first, billing.path(), keep);
    } else {
        UpperHalf upper(billing.path(), middle, upperCount);
        outcome = stepAll(lower, first, billing.path(), keep);
        const SearchSourceRows* upperRows = upper.finish();
        if (outcome && upperRows)
            rows.append(*upperRows);
        else if (outcome)
            outcome = readUpperHalf(db, billing.path(), middle, keep);
    }
    lower = SqlStatement();
    sqlite3_exec(db, "end", nullptr, nullptr, nullptr);
    return outcome;
}
