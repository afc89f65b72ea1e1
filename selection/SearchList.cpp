#include "selection/SearchList.h"

#include "app/HistoryModule.h"
#include "app/Main.h"
#include "selection/SearchLineFunction.h"
#include "selection/SearchOption.h"
#include "selection/SearchOrder.h"
#include "selection/SearchSourceRows.h"

#include "platform/SqlStatement.h"

#include <QFileInfo>
#include <QTime>
#include <numeric>
#include <pthread.h>
#include <thread>

namespace {

// Reads the billing join once into packed rows, in read order. Progress now and then.
Outcome readRows(HistoryModule& module, SearchSourceRows& rows, const SearchList::Progress& progress)
{
    if (const Outcome opened = module.OpenBillingDb(); !opened)
        return Outcome::cannotOpen(FaultText::BillingDatabase, module.BillingDbPath, opened);
    const Outcome read = SearchSource::readInto(module.BillingDb, rows, progress);
    module.CloseBillingDb();
    if (!read)
        return Outcome::failedIn(QStringLiteral("The account list cannot be built from"),
                                 QStringLiteral("the billing database"), module.BillingDbPath, read);
    return {};
}

// Appends the lines of rows[*first] .. rows[*(last - 1)] to `lines`.
void layOutRange(const SearchSourceRows& rows, const int32_t* first, const int32_t* last, SearchLines& lines,
                 const SearchList::Progress& progress)
{
    std::string line;
    std::string scratch[SearchLineFunction::LineValues];
    std::string_view texts[SearchLineFunction::LineValues];
    for (const int32_t* index = first; index != last; ++index) {
        const SearchSourceRow row = rows.at(*index);
        for (int i = 0; i < SearchLineFunction::LineValues; ++i)
            texts[i] = SearchLineFunction::textOf(row.values[i], scratch[i]);
        SearchLineFunction::layOutLine(line, texts);
        lines.appendUtf8(line, static_cast<int32_t>(row.custKey), static_cast<int32_t>(row.locKey));
        if (progress && lines.size() % 65536 == 0)
            progress();
    }
}

// Lays out each row as its line, in stored order: entry N from row rowOfEntry[N],
// so a keystroke's scan reads the buffer front to back. The second half is laid out
// on a thread of its own meanwhile, its text kept in a buffer of its own.
void layOutLines(const SearchSourceRows& rows, const std::vector<int32_t>& rowOfEntry, SearchLines& lines,
                 const SearchList::Progress& progress)
{
    constexpr qsizetype LineCharacters = 112; // the usual line, with room to spare
    const auto count = static_cast<qsizetype>(rowOfEntry.size());
    const int32_t* middle = rowOfEntry.data() + count / 2;
    SearchLines upper;
    std::thread upperThread([&] {
        pthread_setname_np(pthread_self(), "listlayout");
        upper.reserve(count - count / 2, (count - count / 2) * LineCharacters);
        layOutRange(rows, middle, rowOfEntry.data() + count, upper, {});
    });
    lines.reserve(count, count / 2 * LineCharacters);
    layOutRange(rows, rowOfEntry.data(), middle, lines, progress);
    upperThread.join();
    lines.append(std::move(upper));
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

Outcome SearchList::build(HistoryModule& module, int index, SearchLines& lines, const Progress& progress,
                          SearchListWriter* behind)
{
    lines.clear();
    if (const Outcome opened = module.OpenWorkDb(); !opened)
        return Outcome::cannotOpen(FaultText::WorkDatabase, module.WorkDbPath, opened);
    module.ExecWork(QStringLiteral("delete from histsrch"));
    module.CloseWorkDb();

    SearchSourceRows rows;
    if (const Outcome read = readRows(module, rows, progress); !read)
        return read;
    const SearchOption* option = SearchOption::at(index);
    std::vector<int32_t> rowOfEntry;
    if (option) {
        rowOfEntry = SearchOrder::build(rows, *option);
    } else {
        rowOfEntry.resize(static_cast<size_t>(rows.size()));
        std::iota(rowOfEntry.begin(), rowOfEntry.end(), 0);
    }
    layOutLines(rows, rowOfEntry, lines, progress);
    // The option the list opens with is searched from the first keystroke.
    if (option)
        lines.sliceFold(*option);

    SearchListWriter here;
    SearchListWriter& writer = behind ? *behind : here;
    writer.start(module.WorkDbPath, module.BusyTimeoutMs, lines, std::move(rows), std::move(rowOfEntry));
    if (behind)
        return {};
    const Outcome written = writer.finish(lines, progress);
    if (!written)
        lines.clear();
    return written;
}

Outcome SearchList::load(SqlConnection& work, SearchLines& lines, const Progress& progress)
{
    lines.clear();
    SqlStatement rows(work, "select srchtext, custkey, lockey from histsrch");
    for (qsizetype count = 1; rows.next(); ++count) {
        lines.append(rows.text16(0), static_cast<int>(rows.integer(1)), static_cast<int>(rows.integer(2)));
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

bool SearchList::sort(int index, SearchLines& lines)
{
    return lines.showResortOrder(index);
}
