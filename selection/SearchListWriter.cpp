#include "selection/SearchListWriter.h"

#include "platform/SqlStatement.h"
#include "selection/SearchLineFunction.h"
#include "selection/SearchOption.h"
#include "selection/SearchOrder.h"

#include <chrono>
#include <pthread.h>
#include <sqlite3.h>

namespace {

using Kind = SearchSourceValue::Kind;
using Column = SearchSourceRow::Column;

// An engine handle owned by the writer's thread (Qt's connections belong to the
// thread that made them).
class WriterConnection {
public:
    explicit WriterConnection(const QString& path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~WriterConnection() { sqlite3_close_v2(m_db); }
    WriterConnection(const WriterConnection&) = delete;
    WriterConnection& operator=(const WriterConnection&) = delete;

    sqlite3* handle() const { return m_db; }
    bool exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    Outcome failure(const QString& path) const
    {
        return Outcome::cannotWrite(FaultText::WorkDatabase, path,
                                    Outcome::failure(QString::fromUtf8(sqlite3_errmsg(m_db)), path,
                                                     m_db ? sqlite3_extended_errcode(m_db) : SQLITE_CANTOPEN));
    }

private:
    sqlite3* m_db = nullptr;
};

void bindValue(SqlStatement& insert, int index, const SearchSourceValue& value)
{
    switch (value.kind) {
    case Kind::Null: insert.bindNull(index); break;
    case Kind::Integer: insert.bind(index, value.integer); break;
    case Kind::Real: insert.bind(index, value.real); break;
    case Kind::Text: insert.bindStaticText(index, value.text); break;
    case Kind::Blob:
        sqlite3_bind_blob(
            insert.handle(), index, value.text.data(), static_cast<int>(value.text.size()), SQLITE_STATIC);
        break;
    }
}

} // namespace

SearchListWriter::~SearchListWriter()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void SearchListWriter::start(const QString& workPath, int busyTimeoutMs, const SearchLines& lines,
                             SearchSourceRows rows, std::vector<int32_t> rowOfEntry)
{
    m_rowOfEntry = std::move(rowOfEntry);
    m_workPath = workPath;
    m_busyTimeoutMs = busyTimeoutMs;
    m_lines = &lines;
    m_rows = std::move(rows);
    m_outcome = {};
    m_cancelled = false;
    m_done = false;
    m_thread = std::thread([this] {
        pthread_setname_np(pthread_self(), "listwriter");
        run();
    });
}

void SearchListWriter::run()
{
    m_outcome = write();
    // The journal's paging waits for the table; the re-sort orders come after it.
    // Orders come out as rows of the read; the lines know them as entries.
    std::vector<int32_t> entryOfRow(m_rowOfEntry.size());
    for (size_t entry = 0; entry < m_rowOfEntry.size(); ++entry)
        entryOfRow[static_cast<size_t>(m_rowOfEntry[entry])] = static_cast<int32_t>(entry);
    for (int option = 0; option < SearchLines::OptionCount && !m_cancelled; ++option) {
        std::vector<int32_t> order = SearchOrder::resort(m_rows, *SearchOption::at(option), m_rowOfEntry);
        for (int32_t& row : order)
            row = entryOfRow[static_cast<size_t>(row)];
        m_orders[static_cast<size_t>(option)] = std::move(order);
    }
    m_done = true;
}

Outcome SearchListWriter::write()
{
    WriterConnection work(m_workPath);
    if (!work.handle())
        return work.failure(m_workPath);
    sqlite3_busy_timeout(work.handle(), m_busyTimeoutMs);
    work.exec("pragma synchronous = off");
    work.exec("pragma journal_mode = memory");
    if (!work.exec("begin immediate"))
        return work.failure(m_workPath);
    SqlStatement insert(work.handle(),
                        "insert into histsrch (srchtext, custkey, lockey, accno, address, lookupname, "
                        "ID, LocRoute, LocSeq) values (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    bool written = insert.isValid();
    std::string address;
    std::string scratch[2];
    for (const int32_t entry : m_lines->storedOrder()) {
        if (!written || m_cancelled)
            break;
        const SearchSourceRow row = m_rows.at(m_rowOfEntry[static_cast<size_t>(entry)]);
        const QStringView line = m_lines->entryText(entry);
        sqlite3_bind_text16(insert.handle(), 1, line.utf16(), static_cast<int>(line.size() * 2), SQLITE_STATIC);
        insert.bind(2, row.custKey).bind(3, row.locKey);
        bindValue(insert, 4, row.values[Column::Accno]);
        SearchLineFunction::layOutAddress(address,
                                          SearchLineFunction::textOf(row.values[Column::CustAddr2], scratch[0]),
                                          SearchLineFunction::textOf(row.values[Column::LocAddr2], scratch[1]));
        insert.bindStaticText(5, address);
        bindValue(insert, 6, row.values[Column::LookupName]);
        bindValue(insert, 7, row.values[Column::Id]);
        bindValue(insert, 8, row.values[Column::LocRoute]);
        bindValue(insert, 9, row.values[Column::LocSeq]);
        written = insert.run();
    }
    if (written && !m_cancelled && work.exec("commit"))
        return {};
    const Outcome failed = work.failure(m_workPath);
    work.exec("rollback");
    return m_cancelled ? Outcome() : failed;
}

Outcome SearchListWriter::finish(SearchLines& lines, const Progress& progress)
{
    if (!m_thread.joinable())
        return {};
    while (!m_done) {
        if (progress)
            progress();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_thread.join();
    for (int option = 0; option < SearchLines::OptionCount; ++option)
        lines.setResortOrder(option, std::move(m_orders[static_cast<size_t>(option)]));
    m_rows.clear();
    std::vector<int32_t>().swap(m_rowOfEntry);
    m_lines = nullptr;
    return m_outcome;
}

void SearchListWriter::cancel()
{
    m_cancelled = true;
}
