#include "selection/SearchList.h"

#include "app/HistoryModule.h"
#include "app/Main.h"
#include "selection/SearchLineFunction.h"
#include "selection/SearchOption.h"
#include "selection/SearchOrder.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QTime>
#include <sqlite3.h>

namespace {

const QString workSchema = QStringLiteral("work");

// The sorter keeps a million lines in memory (instead of spilling to temporary
// files) when the page cache may grow this far; pages are only taken when needed.
const QString roomToSort = QStringLiteral("pragma cache_size = -262144");

sqlite3* nativeHandle(const SqlConnection& connection)
{
    const QVariant handle = connection.database().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

QString sqliteMessage(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

int reportProgress(void* context)
{
    (*static_cast<const SearchList::Progress*>(context))();
    return 0;
}

// Calls `progress` every few thousand engine steps while a statement runs.
class ProgressHandler {
public:
    ProgressHandler(sqlite3* db, const SearchList::Progress& progress)
        : m_db(progress ? db : nullptr)
    {
        if (m_db)
            sqlite3_progress_handler(m_db, 200000, &reportProgress, const_cast<SearchList::Progress*>(&progress));
    }
    ~ProgressHandler()
    {
        if (m_db)
            sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
    }
    ProgressHandler(const ProgressHandler&) = delete;
    ProgressHandler& operator=(const ProgressHandler&) = delete;

private:
    sqlite3* m_db;
};

// A prepared native statement, finalized on every path.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql)
    {
        if (db)
            sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_statement, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    bool next() { return sqlite3_step(m_statement) == SQLITE_ROW; }
    sqlite3_stmt* get() const { return m_statement; }

private:
    sqlite3_stmt* m_statement = nullptr;
};

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The value bound as it is; a text is not copied, as it stays put until the row
// has been read past, after the insert has run.
void bindUncopied(sqlite3_stmt* statement, int index, sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_TEXT:
        sqlite3_bind_text(statement, index, reinterpret_cast<const char*>(sqlite3_value_text(value)),
                          sqlite3_value_bytes(value), SQLITE_STATIC);
        break;
    case SQLITE_INTEGER:
        sqlite3_bind_int64(statement, index, sqlite3_value_int64(value));
        break;
    default:
        sqlite3_bind_value(statement, index, value);
    }
}

// The build's columns: searchline()'s eight arguments, then the keys.
const char* const joinColumns =
    "select c.accno, l.locroute, l.locseq, c.status, c.lookupname, c.addr2, l.addr2, l.ID, l.custkey, l.lockey "
    "from [tbl customer] c inner join [tbl location] l on c.custkey = l.custkey";
enum JoinColumn { AccNo, LocRoute, LocSeq, Status, LookupName, CustAddr2, LocAddr2, Id, CustKey, LocKey };

// Fills work.histsrch and `lines` in one pass: the engine joins and orders the plain
// columns (the same join and order as buildStatement, so ties come out alike), the
// lines are laid out here and written with one prepared insert, and each line goes
// to memory as it is written instead of being read back afterwards.
bool writeRows(sqlite3* db, const SearchOption* option, SearchLines& lines)
{
    const std::string sql = std::string(joinColumns) + (option ? option->buildOrder : "");
    Statement rows(db, QString::fromLatin1(sql.c_str()));
    if (!rows.isValid())
        return false;
    Statement insert(db, QStringLiteral("insert into work.histsrch values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"));
    if (!insert.isValid())
        return false;
    sqlite3_stmt* row = rows.get();
    sqlite3_stmt* add = insert.get();
    // Raw values in histsrch's column order after the two laid-out texts.
    const int copied[] = {CustKey, LocKey, AccNo, -1, LookupName, Id, LocRoute, LocSeq};
    std::string line, address;
    sqlite3_value* values[LocKey + 1];
    int rc;
    while ((rc = sqlite3_step(row)) == SQLITE_ROW) {
        for (int column = 0; column <= LocKey; ++column)
            values[column] = sqlite3_column_value(row, column);
        SearchLineFunction::writeLine(line, values);
        SearchLineFunction::writeAddress(address, values[CustAddr2], values[LocAddr2]);
        sqlite3_bind_text(add, 1, line.data(), static_cast<int>(line.size()), SQLITE_STATIC);
        for (int at = 0; at < 8; ++at) {
            if (copied[at] < 0)
                sqlite3_bind_text(add, at + 2, address.data(), static_cast<int>(address.size()), SQLITE_STATIC);
            else
                bindUncopied(add, at + 2, values[copied[at]]);
        }
        if (sqlite3_step(add) != SQLITE_DONE)
            return false;
        sqlite3_reset(add);
        lines.appendUtf8(sqlite3_last_insert_rowid(db), line, sqlite3_value_int(values[CustKey]),
                         sqlite3_value_int(values[LocKey]));
    }
    return rc == SQLITE_DONE;
}

bool fill(HistoryModule& module, int index, SearchLines& lines, const SearchList::Progress& progress, QString* error)
{
    if (!module.OpenBillingDb()) {
        setError(error, QStringLiteral("The billing database ") + module.BillingDbPath
                            + QStringLiteral(" cannot be opened: ") + module.lastOpenError());
        return false;
    }
    bool ok = module.BillingDb.attach(module.WorkDbPath, workSchema);
    if (ok) {
        module.ExecBilling(QStringLiteral("pragma work.synchronous = off"));
        module.ExecBilling(QStringLiteral("pragma work.journal_mode = memory"));
        module.ExecBilling(roomToSort);
        sqlite3* db = nativeHandle(module.BillingDb);
        {
            // The handler keeps the window painted through the sort and the writes.
            ProgressHandler handler(db, progress);
            // One transaction, so a failure leaves histsrch empty as the one statement did.
            ok = module.ExecBilling(QStringLiteral("begin")) && writeRows(db, SearchOption::at(index), lines);
            const QString problem = ok ? QString() : sqliteMessage(db);
            ok = ok && module.ExecBilling(QStringLiteral("commit"));
            if (!ok) {
                module.ExecBilling(QStringLiteral("rollback"));
                lines.clear();
                setError(error, QStringLiteral("The account list cannot be built: ")
                                    + (problem.isEmpty() ? module.BillingDb.lastError() : problem));
            }
        }
        module.BillingDb.detach(workSchema);
    } else {
        setError(error, QStringLiteral("The work database ") + module.WorkDbPath
                            + QStringLiteral(" cannot be attached: ") + module.BillingDb.lastError());
    }
    module.CloseBillingDb();
    return ok;
}

} // namespace

const QString SearchList::CreateStatement =
    QStringLiteral("create table histsrch (srchtext text, custkey long, lockey long, accno text, address text, "
                   "lookupname text, ID text, LocRoute text, LocSeq long)");

bool SearchList::prepare(HistoryModule& module, QString* error)
{
    if (module.WorkDbPath.isEmpty())
        module.WorkDbPath = Main::scratchPath(module.ProgramFolder, QTime::currentTime());
    if (!QFileInfo::exists(module.WorkDbPath)) {
        module.WorkDb = SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::CreateIfMissing);
        if (!module.WorkDb.isOpen()) {
            setError(error, QStringLiteral("The work database ") + module.WorkDbPath
                                + QStringLiteral(" cannot be created: ") + module.WorkDb.lastError());
            return false;
        }
        module.WorkDb.makeScratch();
    } else if (!module.OpenWorkDb()) {
        setError(error, QStringLiteral("The work database ") + module.WorkDbPath
                            + QStringLiteral(" cannot be opened: ") + module.lastOpenError());
        return false;
    }
    // A file left by an earlier run may lack the table: create it if missing, then
    // empty it (the create fails harmlessly when the table is there).
    module.ExecWork(CreateStatement);
    module.ExecWork(QStringLiteral("delete from histsrch"));
    module.CloseWorkDb();
    return true;
}

QString SearchList::buildStatement(int index)
{
    static const QString select = QStringLiteral(
        "insert into work.histsrch "
        "select searchline(c.accno, l.locroute, l.locseq, c.status, c.lookupname, c.addr2, l.addr2, l.ID) as srchtext, "
        "l.custkey, l.lockey, c.accno, searchaddress(c.addr2, l.addr2) as address, c.lookupname, l.ID, l.locroute, "
        "l.locseq from [tbl customer] c inner join [tbl location] l on c.custkey = l.custkey");
    const SearchOption* option = SearchOption::at(index);
    return option ? select + QString::fromLatin1(option->buildOrder) : select;
}

bool SearchList::build(HistoryModule& module, int index, SearchLines& lines, const Progress& progress, QString* error)
{
    lines.clear();
    if (!module.OpenWorkDb()) {
        setError(error, QStringLiteral("The work database ") + module.WorkDbPath
                            + QStringLiteral(" cannot be opened: ") + module.lastOpenError());
        return false;
    }
    module.ExecWork(QStringLiteral("delete from histsrch"));
    module.CloseWorkDb();

    const bool filled = fill(module, index, lines, progress, error);
    lines.squeeze();
    return filled;
}

bool SearchList::load(SqlConnection& work, SearchLines& lines, const Progress& progress)
{
    lines.clear();
    Statement rows(nativeHandle(work), QStringLiteral("select rowid, srchtext, custkey, lockey from histsrch"));
    if (!rows.isValid())
        return false;
    sqlite3_stmt* row = rows.get();
    for (qsizetype count = 1; rows.next(); ++count) {
        const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(row, 1));
        const qsizetype length = sqlite3_column_bytes16(row, 1) / 2;
        lines.append(sqlite3_column_int64(row, 0), QStringView(text, text ? length : 0), sqlite3_column_int(row, 2),
                     sqlite3_column_int(row, 3));
        if (progress && count % 65536 == 0)
            progress();
    }
    lines.squeeze();
    return true;
}

bool SearchList::sort(HistoryModule& module, int index, SearchLines& lines, const Progress& progress)
{
    const SearchOption* option = SearchOption::at(index);
    if (!option) {
        lines.resetOrder();
        return true;
    }
    if (!module.OpenWorkDb())
        return false;
    std::vector<int64_t> rowids;
    bool read;
    {
        sqlite3* db = nativeHandle(module.WorkDb);
        ProgressHandler handler(db, progress);
        read = SearchOrder::rowids(db, *option, rowids);
    }
    module.CloseWorkDb();
    return read && lines.setOrderByRowids(rowids);
}
