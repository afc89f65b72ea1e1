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
    ProgressHandler(sqlite3* db, const SearchList::Progress& progress) : m_db(progress ? db : nullptr)
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

Outcome fill(HistoryModule& module, int index, const SearchList::Progress& progress)
{
    if (const Outcome opened = module.OpenBillingDb(); !opened)
        return Outcome::cannotOpen(FaultText::BillingDatabase, module.BillingDbPath, opened);
    Outcome filled;
    if (module.BillingDb.attach(module.WorkDbPath, workSchema)) {
        module.ExecBilling(QStringLiteral("pragma work.synchronous = off"));
        module.ExecBilling(QStringLiteral("pragma work.journal_mode = memory"));
        module.ExecBilling(roomToSort);
        SearchLineFunction::registerOn(module.BillingDb.handle());
        bool ok;
        {
            ProgressHandler handler(module.BillingDb.handle(), progress);
            ok = module.ExecBilling(SearchList::buildStatement(index));
        }
        if (!ok)
            filled = Outcome::failedIn(QStringLiteral("The account list cannot be built from"),
                                       QStringLiteral("the billing database"), module.BillingDbPath,
                                       module.BillingDb.outcome());
        module.BillingDb.detach(workSchema);
    } else {
        filled = Outcome::cannotAttach(FaultText::WorkDatabase, module.WorkDbPath, module.BillingDb.outcome());
    }
    module.CloseBillingDb();
    return filled;
}

} // namespace

const QString SearchList::CreateStatement =
    QStringLiteral("create table histsrch (srchtext text, custkey long, lockey long, accno text, address text, "
                   "lookupname text, ID text, LocRoute text, LocSeq long)");

Outcome SearchList::prepare(HistoryModule& module)
{
    if (module.WorkDbPath.isEmpty())
        module.WorkDbPath = Main::scratchPath(module.ProgramFolder, QTime::currentTime());
    if (!QFileInfo::exists(module.WorkDbPath)) {
        module.WorkDb =
            SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::CreateIfMissing, module.BusyTimeoutMs);
        if (!module.WorkDb.isOpen())
            return Outcome::cannotCreate(FaultText::WorkDatabase, module.WorkDbPath, module.WorkDb.outcome());
        module.WorkDb.makeScratch();
    } else if (const Outcome opened = module.OpenWorkDb(); !opened) {
        return Outcome::cannotOpen(FaultText::WorkDatabase, module.WorkDbPath, opened);
    }
    // A file left by an earlier run may lack the table: create it if missing, then
    // empty it (the create fails harmlessly when the table is there).
    module.ExecWork(CreateStatement);
    module.ExecWork(QStringLiteral("delete from histsrch"));
    module.CloseWorkDb();
    return {};
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

Outcome SearchList::build(HistoryModule& module, int index, SearchLines& lines, const Progress& progress)
{
    lines.clear();
    if (const Outcome opened = module.OpenWorkDb(); !opened)
        return Outcome::cannotOpen(FaultText::WorkDatabase, module.WorkDbPath, opened);
    module.ExecWork(QStringLiteral("delete from histsrch"));
    module.CloseWorkDb();

    const Outcome filled = fill(module, index, progress);
    if (const Outcome reopened = module.OpenWorkDb(); !reopened)
        return filled.ok() ? reopened.retold(QStringLiteral("The account list cannot be read from the work database ")
                                             + module.WorkDbPath)
                           : filled;
    const Outcome loaded = load(module.WorkDb, lines, progress);
    module.CloseWorkDb();
    return filled.ok() ? loaded : filled;
}

Outcome SearchList::load(SqlConnection& work, SearchLines& lines, const Progress& progress)
{
    lines.clear();
    SqlStatement rows(work, "select rowid, srchtext, custkey, lockey from histsrch");
    for (qsizetype count = 1; rows.next(); ++count) {
        lines.append(
            rows.integer(0), rows.text16(1), static_cast<int>(rows.integer(2)), static_cast<int>(rows.integer(3)));
        if (progress && count % 65536 == 0)
            progress();
    }
    if (!rows.isValid() || rows.failed()) {
        lines.clear();
        return Outcome::failure(
            QStringLiteral("The account list cannot be read: ") + rows.error(), work.path(), rows.errorCode());
    }
    lines.squeeze();
    return {};
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
