#include "selection/SearchList.h"

#include "app/HistoryModule.h"
#include "app/Main.h"
#include "selection/SearchLineFunction.h"
#include "selection/SearchOption.h"
#include "selection/SearchOrder.h"

#include "platform/SqlStatement.h"

#include <QFileInfo>
#include <QTime>
#include <sqlite3.h>

namespace {

const QString workSchema = QStringLiteral("work");

// The sorter keeps a million lines in memory (instead of spilling to temporary
// files) when the page cache may grow this far; pages are only taken when needed.
const QString roomToSort = QStringLiteral("pragma cache_size = -262144");

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

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool fill(HistoryModule& module, int index, const SearchList::Progress& progress, QString* error)
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
        SearchLineFunction::registerOn(module.BillingDb.handle());
        {
            ProgressHandler handler(module.BillingDb.handle(), progress);
            ok = module.ExecBilling(SearchList::buildStatement(index));
        }
        if (!ok)
            setError(error, QStringLiteral("The account list cannot be built from the billing database ")
                                + module.BillingDbPath + QStringLiteral(": ") + module.BillingDb.lastError());
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
        module.WorkDb = SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::CreateIfMissing, module.BusyTimeoutMs);
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

    const bool filled = fill(module, index, progress, error);
    if (!module.OpenWorkDb())
        return false;
    const bool loaded = load(module.WorkDb, lines, progress, filled ? error : nullptr);
    module.CloseWorkDb();
    return filled && loaded;
}

bool SearchList::load(SqlConnection& work, SearchLines& lines, const Progress& progress, QString* error)
{
    lines.clear();
    SqlStatement rows(work, "select rowid, srchtext, custkey, lockey from histsrch");
    for (qsizetype count = 1; rows.next(); ++count) {
        lines.append(rows.integer(0), rows.text16(1), static_cast<int>(rows.integer(2)),
                     static_cast<int>(rows.integer(3)));
        if (progress && count % 65536 == 0)
            progress();
    }
    if (!rows.isValid() || rows.failed()) {
        lines.clear();
        setError(error, QStringLiteral("The account list cannot be read: ") + rows.error());
        return false;
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
        sqlite3* db = module.WorkDb.handle();
        ProgressHandler handler(db, progress);
        read = SearchOrder::rowids(db, *option, rowids);
    }
    module.CloseWorkDb();
    return read && lines.setOrderByRowids(rowids);
}
