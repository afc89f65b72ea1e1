#include "journal/JournalBuilder.h"

#include "app/HistoryModule.h"
#include "platform/SqlStatement.h"
#include "platform/SqlTransaction.h"
#include "platform/Currency.h"

#include <memory>

#include <algorithm>
#include <optional>

namespace {

const char* const journalColumns =
    "(bdate text, rdate text, tcode text, descr text, prev text, pres text, usage text, chg text, pmt text, "
    "rbal text, dorder single, mult text, trow integer)";

// One statement per row kind, each stamping its rank on the rows it adds. Texts are
// joined with vbjoin (a null part is empty text) and numbers go into text columns in
// their plain form (120, not 120.0).
const char* const readingInsert =
    "insert into prejurn (bdate, rdate, tcode, prev, pres, usage, descr, mult, dorder) "
    "select datevalue(billdate), datevalue(readdate), plaintext(code), plaintext(previous), plaintext(present), "
    "plaintext(usage), trim(vbjoin(mrcomment, ' MULT:', multiplier%1)), plaintext(multiplier), %2 from mr where %3";

QString reading(const char* mark, int rank, const char* condition)
{
    return QString::fromLatin1(readingInsert)
        .arg(QString::fromLatin1(mark), QString::number(rank), QString::fromLatin1(condition));
}

} // namespace

void JournalBuilder::createTables(HistoryModule& module)
{
    module.ExecWork(QStringLiteral("create table prejurn ") + QString::fromLatin1(journalColumns));
    module.ExecWork(QStringLiteral("create table jurn ") + QString::fromLatin1(journalColumns));
}

void JournalBuilder::clearStaging(HistoryModule& module)
{
    module.ExecWork(QStringLiteral("delete from prejurn"));
}

void JournalBuilder::stageRows(HistoryModule& module, const JournalFlags& flags)
{
    module.ExecWork(reading("", 0, "chgout is null or chgout = 0"));
    module.ExecWork(reading(", '  -OLD METER-'", 0, "chgout = -1"));
    module.ExecWork(reading(", '  +NEW METER+'", 1, "chgout = 1"));

    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr, chg, dorder) select datevalue(date), plaintext(code), "
        "trim(vbjoin('ADJ: ', comment)), format(amount, '#0.00'), 2 from bd where adjusted <> 0"));
    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr, chg, dorder) select datevalue(date), plaintext(code), "
        "trim(plaintext(comment)), format(amount, '#0.00'), 3 from bd where adjusted is null or adjusted = 0"));

    if (flags.ConsolidatePayments) {
        module.ExecWork(
            QStringLiteral("insert into prejurn (bdate, tcode, descr, pmt, dorder) select datevalue(date), 'PMT', "
                           "trim(vbjoin(pmttype, ' ', docno)), format(sum(amount), '#0.00'), 4 from pd "
                           "group by datevalue(date), trim(vbjoin(pmttype, ' ', docno)) order by min(rowid)"));
    } else {
        module.ExecWork(QStringLiteral(
            "insert into prejurn (bdate, tcode, descr, pmt, dorder) select datevalue(date), plaintext(code), "
            "trim(vbjoin(pmttype, ' ', docno)), format(amount, '#0.00'), 4 from pd"));
    }

    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr, chg, dorder) select datevalue(date), plaintext(code), "
        "'Refundable Deposit', format(amount, '#0.00'), 5 from dep"));
    module.ExecWork(
        QStringLiteral("insert into prejurn (bdate, tcode, descr, dorder) select datevalue(date), plaintext(code), "
                       "trim(vbjoin(format(appliedtobill, '#0.00'), ' applied to balances')), 6 from depref"));
    module.ExecWork(
        QStringLiteral("insert into prejurn (bdate, tcode, descr, dorder) select datevalue(date), plaintext(code), "
                       "trim(vbjoin(format(returnedtocustomer, '#0.00'), ' returned to customer')), 7 from depref"));

    if (!flags.HideComments) {
        module.ExecWork(QStringLiteral("insert into prejurn (bdate, descr, dorder) select datevalue(edate), "
                                       "trim(plaintext(comment)), 8 from hcom"));
        module.ExecWork(
            QStringLiteral("insert into prejurn (bdate, descr, dorder) select datevalue(chgdate), "
                           "trim(vbjoin(trim(plaintext(chgfield)), ' changed from ', trim(plaintext(chgfrom)), ' to ', "
                           "trim(plaintext(chgto)))), 8 from ae"));
    }
}

namespace {

// The journal order alone: an empty posting date first, equal date and rank keep
// the staging order. The engine sorts these narrow keys, not the whole rows.
const char* const journalOrder = "select rowid from prejurn order by bdate, dorder, rowid";

// Every staged row as jurn holds it, in stored order: readings scaled by their
// multiplier when asked (as applyMultiplier does), then empty descriptions and
// meter lines completed from the code's description (as the two updates from lutc
// did; a code the table repeats gives one of its descriptions). `cut` is the
// description after the multiplier and before the code's, which sizes the rows.
const char* const completedRows =
    "select bdate, rdate, tcode, "
    "case when code is not null and filled like '*MULT:*' then vbjoin(codeDescr, ' ', filled) else filled end, "
    "prev, pres, usage, chg, pmt, mult, dorder, seq, moneydelta(chg, pmt), "
    "len(cut) "
    "from (select r.*, t.code as code, t.description as codeDescr, "
    "case when t.code is null then cut when cut is null or cut = '' then t.description else cut end as filled "
    "from (%1) r left join %2 t on t.code = r.tcode)";
// The staged rows as they are, or with the readings scaled (the flag is worked out
// once per row, not once per use).
const char* const stagedRows =
    "select rowid as seq, bdate, rdate, tcode, chg, pmt, dorder, mult, prev, pres, usage, descr as cut from prejurn";
const char* const scaledRows =
    "select seq, bdate, rdate, tcode, chg, pmt, dorder, mult, "
    "case when scaled then (case when prev is null then null else str(val(prev) * val(mult)) end) "
    "else prev end as prev, "
    "case when scaled then (case when pres is null then null else str(val(pres) * val(mult)) end) "
    "else pres end as pres, "
    "case when scaled then (case when usage is null then null else str(val(usage) * val(mult)) end) "
    "else usage end as usage, "
    "case when scaled then trim(\"left\"(descr, instr(1, descr, 'MULT:') - 1)) else descr end as cut "
    "from (select rowid as seq, *, (dorder <= 1 and val(mult) <> 0) as scaled from prejurn limit -1)";
// The code descriptions; when lutc cannot be read the rows keep their own, as the
// updates from it would have failed and left them.
const char* const codeTable = "(select code, description from lutc group by code)";
const char* const noCodeTable = "(select null as code, null as description where 0)";
enum Completed { DOrder = JournalTableWrite::TextCount, Seq, Units, CutLength };

using Staged = JournalTableWrite::Row;

Staged stage(SqlStatement& row, std::string& arena)
{
    Staged staged;
    for (int column = 0; column < JournalTableWrite::TextCount; ++column) {
        if (row.isNull(column))
            continue;
        const std::string_view text = row.utf8(column);
        staged.texts[column] = {arena.size(), static_cast<int>(text.size())};
        arena.append(text);
    }
    staged.dorderIsInteger = row.isInteger(DOrder);
    staged.dorder = row.real(DOrder);
    staged.seq = row.integer(Seq);
    if (!row.isNull(Units))
        staged.units = row.integer(Units);
    return staged;
}

// The texts of the row made last: a value the next row repeats (its date, often)
// shares the string instead of making another.
struct Previous {
    std::string_view bytes[JournalTableWrite::TextCount];
    QString texts[JournalTableWrite::TextCount];
};

// The row as the grid shows it, the balance summed as whole ten-thousandths so that
// no row drifts by a binary fraction; after an amount that is no money it is left
// empty, never silently short.
JournalRow shown(const JournalTableWrite& table, const JournalTableWrite::Entry& entry, int trow, Previous& previous)
{
    const Staged& staged = table.rows[entry.row];
    QString texts[JournalTableWrite::TextCount];
    for (int column = 0; column < JournalTableWrite::TextCount; ++column) {
        if (staged.texts[column].length < 0)
            continue;
        const std::string_view bytes = table.text(staged, static_cast<JournalTableWrite::Column>(column));
        if (previous.bytes[column].data() == nullptr || previous.bytes[column] != bytes) {
            previous.bytes[column] = bytes;
            previous.texts[column] = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        }
        texts[column] = previous.texts[column];
    }
    JournalRow row;
    row.bdate = std::move(texts[JournalTableWrite::BDate]);
    row.rdate = std::move(texts[JournalTableWrite::RDate]);
    row.tcode = std::move(texts[JournalTableWrite::TCode]);
    row.descr = std::move(texts[JournalTableWrite::Descr]);
    row.prev = std::move(texts[JournalTableWrite::Prev]);
    row.pres = std::move(texts[JournalTableWrite::Pres]);
    row.usage = std::move(texts[JournalTableWrite::Usage]);
    row.chg = std::move(texts[JournalTableWrite::Chg]);
    row.pmt = std::move(texts[JournalTableWrite::Pmt]);
    if (entry.balance) {
        char rbal[Currency::PlainCapacity];
        row.rbal = QString::fromLatin1(
            rbal, static_cast<qsizetype>(Currency::fromTenThousandths(*entry.balance).writePlain(rbal)));
    }
    row.dorder = staged.dorder;
    row.mult = std::move(texts[JournalTableWrite::Mult]);
    row.trow = trow;
    return row;
}

// The journal order as prejurn rowids; false and `error` when it cannot be read.
bool readOrder(SqlConnection& work, std::vector<int64_t>& order, QString& error)
{
    SqlStatement keys(work, journalOrder);
    while (keys.next())
        order.push_back(keys.integer(0));
    if (keys.isValid() && !keys.failed())
        return true;
    error = keys.error();
    return false;
}

// The completed rows in rowid order, and the longest description over 29 characters.
bool readCompleted(SqlConnection& work, bool multApplied, std::vector<Staged>& staged, std::string& arena, int& longest,
                   QString& error)
{
    const QString completed =
        QString::fromLatin1(completedRows).arg(QLatin1String(multApplied ? scaledRows : stagedRows));
    for (const char* codes : {codeTable, noCodeTable}) {
        SqlStatement row(work, completed.arg(QLatin1String(codes)).toUtf8().constData());
        if (!row.isValid()) {
            error = row.error();
            continue;
        }
        while (row.next()) {
            staged.push_back(stage(row, arena));
            if (row.integer(CutLength) > 29)
                longest = std::max(longest, static_cast<int>(row.integer(CutLength)));
        }
        // The scan gives rowid order; sorting is only a guard.
        auto bySeq = [](const Staged& a, const Staged& b) { return a.seq < b.seq; };
        if (!std::is_sorted(staged.begin(), staged.end(), bySeq))
            std::sort(staged.begin(), staged.end(), bySeq);
        error = row.error();
        return !row.failed();
    }
    return false;
}

} // namespace

bool JournalBuilder::orderWithBalances(HistoryModule& module, const JournalFlags& flags, Result& result,
                                       std::vector<JournalRow>& rows, JournalTableWrite& table, QString& error)
{
    // The engine sorts the narrow keys and completes the rows in stored order; here
    // they are put in journal order, numbered from 0, balanced and kept as jurn is to
    // hold them, so nothing wide is sorted or read back.
    rows.clear();
    module.ExecWork(QStringLiteral("delete from jurn"));
    std::vector<int64_t> order;
    int longest = 0;
    if (!readOrder(module.WorkDb, order, error))
        return false;
    table.rows.reserve(order.size());
    if (!readCompleted(module.WorkDb, flags.MultApplied, table.rows, table.arena, longest, error))
        return false;
    if (table.rows.size() != order.size()) {
        error = QStringLiteral("the staged rows changed while they were read");
        return false;
    }

    table.order.reserve(order.size());
    rows.reserve(order.size());
    std::optional<int64_t> balance = 0;
    Staged wanted;
    Previous previous;
    for (const int64_t seq : order) {
        wanted.seq = seq;
        const auto at = std::lower_bound(table.rows.begin(), table.rows.end(), wanted,
                                         [](const Staged& a, const Staged& b) { return a.seq < b.seq; });
        int64_t sum = 0;
        if (balance && at->units && !__builtin_add_overflow(*balance, *at->units, &sum))
            balance = sum;
        else
            balance.reset();
        table.order.push_back({static_cast<uint32_t>(at - table.rows.begin()), balance});
        rows.push_back(shown(table, table.order.back(), static_cast<int>(rows.size()), previous));
    }
    if (!rows.empty())
        result.LongestDescr = static_cast<float>(longest);
    return true;
}

void JournalBuilder::applyMultiplier(HistoryModule& module)
{
    // A reading without a usable multiplier keeps its stored values.
    module.ExecWork(
        QStringLiteral("update jurn set prev = case when prev is null then null else str(val(prev) * val(mult)) end, "
                       "pres = case when pres is null then null else str(val(pres) * val(mult)) end, "
                       "usage = case when usage is null then null else str(val(usage) * val(mult)) end, "
                       "descr = trim(\"left\"(descr, instr(1, descr, 'MULT:') - 1)) "
                       "where dorder <= 1 and val(mult) <> 0"));
}

void JournalBuilder::removeMultiplier(HistoryModule& module)
{
    module.ExecWork(
        QStringLiteral("update jurn set prev = case when prev is null then null else str(val(prev) / val(mult)) end, "
                       "pres = case when pres is null then null else str(val(pres) / val(mult)) end, "
                       "usage = case when usage is null then null else str(val(usage) / val(mult)) end, "
                       "descr = trim(vbjoin(descr, ' MULT:', mult)) "
                       "where dorder <= 1 and val(mult) <> 0"));
}

JournalBuilder::Result JournalBuilder::BuildJournal(HistoryModule& module, const JournalFlags& flags,
                                                    std::vector<JournalRow>* rows, TableWrite when)
{
    Result result;
    std::vector<JournalRow> written;
    auto table = std::make_shared<JournalTableWrite>();
    {
        // One transaction: the scratch pages are written once, not after every
        // statement; a failing statement still undoes only itself.
        SqlTransaction build(module.WorkDb);
        stageRows(module, flags);
        QString error;
        bool built = orderWithBalances(module, flags, result, written, *table, error);
        if (built && when == TableWrite::Now) {
            // A failing write leaves jurn empty, as a failing insert-select would.
            const Outcome wrote = table->write(module.WorkDb);
            built = wrote.ok();
            error = wrote.message();
        }
        if (!built || !build.commit()) {
            if (error.isEmpty())
                error = build.error();
            result.outcome =
                Outcome::failedIn(QStringLiteral("The journal cannot be built in"), QStringLiteral("the work database"),
                                  module.WorkDbPath, Outcome::failure(error));
            written.clear();
        }
    }
    if (!result.outcome)
        module.ExecWork(QStringLiteral("delete from jurn"));
    else if (when == TableWrite::Later && !written.empty())
        result.unwritten = std::move(table);
    const bool hasRows = !written.empty();
    module.NoHistory = hasRows ? 0 : -1;
    result.NoHistory = !hasRows;
    if (rows)
        *rows = std::move(written);
    return result;
}

float JournalBuilder::rowHeightTwips(float longestDescr, int descriptionWidthTwips)
{
    const float perLine = descriptionWidthTwips < 3100 ? 29.0f : 43.0f;
    return longestDescr / perLine * 300.0f;
}
