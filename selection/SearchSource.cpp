#include "selection/SearchSource.h"

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"
#include "selection/SearchSourceRows.h"

#include <QFileInfo>

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <array>
#include <atomic>
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
// The same rows in a range of keys: lockey is the location table's key, never null.
const char* const joinRange = LEDVIEW_JOIN "where l.lockey between ?1 and ?2 order by l.lockey";
#undef LEDVIEW_JOIN

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

// The key range split into pieces that the caller's thread and one other take in
// turn, whichever is free, so that neither waits long for the other. Each piece
// keeps its own rows; they are joined in key order at the end.
class RangeRead {
public:
    RangeRead(int64_t lowest, int64_t highest)
    {
        // Unsigned, so that no span of 64-bit keys overflows.
        const uint64_t span = static_cast<uint64_t>(highest) - static_cast<uint64_t>(lowest);
        const int count = span < Pieces ? 1 : Pieces;
        for (int piece = 0; piece < count; ++piece) {
            const uint64_t from = static_cast<uint64_t>(lowest) + span / count * static_cast<uint64_t>(piece);
            m_pieces[piece].from = static_cast<int64_t>(from);
            m_pieces[piece].to = piece + 1 < count ? static_cast<int64_t>(from + span / count - 1) : highest;
        }
        m_count = count;
    }
    RangeRead(const RangeRead&) = delete;
    RangeRead& operator=(const RangeRead&) = delete;
    ~RangeRead()
    {
        if (m_helper.joinable())
            m_helper.join();
    }

    // Reads every piece: the first on `db`, whose first step has to come before the
    // helper starts (it holds writers off until the end), then whichever is next.
    Outcome run(sqlite3* db, const QString& path, const std::function<void()>& progress)
    {
        SqlStatement rows(db, joinRange);
        bind(rows, 0);
        const bool first = rows.next();
        if (!rows.isValid() || rows.failed())
            return stepAll(rows, first, path, {});
        if (m_count > 1)
            m_helper = std::thread([this, path] { help(path); });
        int32_t read = 0;
        const Each keep = [&](const SearchSourceRow& row) {
            m_pieces[m_piece].rows.append(row);
            if (progress && ++read % 65536 == 0)
                progress();
        };
        Outcome outcome = readPiece(rows, 0, first, path, keep);
        for (int piece = m_next++; outcome && piece < m_count; piece = m_next++) {
            bind(rows, piece);
            outcome = readPiece(rows, piece, rows.next(), path, keep);
        }
        if (m_helper.joinable())
            m_helper.join();
        // A piece the helper could not read, this connection reads itself.
        for (int piece = 1; outcome && piece < m_count; ++piece) {
            if (m_pieces[piece].done)
                continue;
            m_pieces[piece].rows.clear();
            bind(rows, piece);
            outcome = readPiece(rows, piece, rows.next(), path, keep);
        }
        return outcome;
    }

    // Moves the rows of every piece, in key order, to the end of `rows`.
    void moveInto(SearchSourceRows& rows)
    {
        for (int piece = 0; piece < m_count; ++piece)
            rows.append(std::move(m_pieces[piece].rows));
    }

private:
    static constexpr int Pieces = 16;

    void bind(SqlStatement& rows, int piece) const
    {
        if (!rows.isValid())
            return;
        rows.reset();
        rows.bind(1, m_pieces[piece].from).bind(2, m_pieces[piece].to);
    }

    Outcome readPiece(SqlStatement& rows, int piece, bool first, const QString& path, const Each& keep)
    {
        m_piece = piece;
        const Outcome outcome = stepAll(rows, first, path, keep);
        m_pieces[piece].done = static_cast<bool>(outcome);
        return outcome;
    }

    void help(const QString& path)
    {
        pthread_setname_np(pthread_self(), "listreader");
        sqlite3* db = nullptr;
        // No busy wait: a writer queued behind the caller's read would make it wait
        // for nothing; the caller reads the pieces left instead.
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr)
            == SQLITE_OK) {
            SqlStatement rows(db, joinRange);
            int current = 0;
            const Each keep = [&](const SearchSourceRow& row) { m_pieces[current].rows.append(row); };
            for (int piece = m_next++; rows.isValid() && piece < m_count; piece = m_next++) {
                bind(rows, piece);
                current = piece;
                m_pieces[piece].done = static_cast<bool>(stepAll(rows, rows.next(), path, keep));
                if (!m_pieces[piece].done)
                    break;
            }
        }
        sqlite3_close_v2(db);
    }

    struct Piece {
        int64_t from = 0;
        int64_t to = 0;
        SearchSourceRows rows;
        bool done = false;
    };
    std::array<Piece, Pieces> m_pieces;
    int m_count = 1;
    int m_piece = 0; // the caller's piece now
    std::atomic<int> m_next{1};
    std::thread m_helper;
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
    const auto readWhole = [&] {
        int32_t read = 0;
        return SearchSource::read(billing, [&](const SearchSourceRow& row) {
            rows.append(row);
            if (progress && ++read % 65536 == 0)
                progress();
        });
    };
    if (billing.engine() == SqlConnection::Engine::Postgres || !QFileInfo(billing.path()).isFile())
        return readWhole();
    SqlStatement bounds(billing, "select min(lockey), max(lockey) from \"tbl location\"");
    if (!bounds.next() || bounds.isNull(0))
        return readWhole();
    RangeRead ranges(bounds.integer(0), bounds.integer(1));
    bounds = SqlStatement();

    // Every piece reads the same state of the file: the read transaction begun here
    // holds writers off from this connection's first step until all are read.
    sqlite3* db = billing.handle();
    if (sqlite3_exec(db, "begin", nullptr, nullptr, nullptr) != SQLITE_OK)
        return readWhole();
    const Outcome outcome = ranges.run(db, billing.path(), progress);
    sqlite3_exec(db, "end", nullptr, nullptr, nullptr);
    if (outcome)
        ranges.moveInto(rows);
    return outcome;
}
