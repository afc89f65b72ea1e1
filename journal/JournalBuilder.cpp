#include "journal/JournalBuilder.h"

#include "app/HistoryModule.h"

namespace {

const char* const journalColumns =
    "(bdate text, rdate text, tcode text, descr text, prev text, pres text, usage text, chg text, pmt text, "
    "rbal text, dorder single, mult text, trow integer)";

// One statement per row kind, each followed by the stamp of its rank on the rows it
// added. Texts are joined with vbjoin (a null part is empty text) and numbers go into
// text columns in their plain form (120, not 120.0).
const char* const readingInsert =
    "insert into prejurn (bdate, rdate, tcode, prev, pres, usage, descr, mult) "
    "select datevalue(billdate), datevalue(readdate), plaintext(code), plaintext(previous), plaintext(present), "
    "plaintext(usage), trim(vbjoin(mrcomment, ' MULT:', multiplier%1)), plaintext(multiplier) from mr where %2";

QString stampRank(int rank)
{
    return QStringLiteral("update prejurn set dorder = %1 where dorder is null").arg(rank);
}

QString reading(const char* mark, const char* condition)
{
    return QString::fromLatin1(readingInsert).arg(QString::fromLatin1(mark), QString::fromLatin1(condition));
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
    module.ExecWork(reading("", "chgout is null or chgout = 0"));
    module.ExecWork(reading(", '  -OLD METER-'", "chgout = -1"));
    module.ExecWork(QStringLiteral("update prejurn set dorder = 0"));
    module.ExecWork(reading(", '  +NEW METER+'", "chgout = 1"));
    module.ExecWork(stampRank(1));

    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr, chg) select datevalue(date), plaintext(code), "
        "trim(vbjoin('ADJ: ', comment)), format(amount, '#0.00') from bd where adjusted <> 0"));
    module.ExecWork(stampRank(2));
    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr, chg) select datevalue(date), plaintext(code), "
        "trim(plaintext(comment)), format(amount, '#0.00') from bd where adjusted is null or adjusted = 0"));
    module.ExecWork(stampRank(3));

    if (flags.ConsolidatePayments) {
        module.ExecWork(QStringLiteral(
            "insert into prejurn (bdate, descr, pmt) select datevalue(date), trim(vbjoin(pmttype, ' ', docno)), "
            "format(sum(amount), '#0.00') from pd group by datevalue(date), trim(vbjoin(pmttype, ' ', docno)) "
            "order by min(rowid)"));
        module.ExecWork(QStringLiteral("update prejurn set dorder = 4, tcode = 'PMT' where dorder is null"));
    } else {
        module.ExecWork(QStringLiteral(
            "insert into prejurn (bdate, tcode, descr, pmt) select datevalue(date), plaintext(code), "
            "trim(vbjoin(pmttype, ' ', docno)), format(amount, '#0.00') from pd"));
        module.ExecWork(stampRank(4));
    }

    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr, chg) select datevalue(date), plaintext(code), "
        "'Refundable Deposit', format(amount, '#0.00') from dep"));
    module.ExecWork(stampRank(5));
    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr) select datevalue(date), plaintext(code), "
        "trim(vbjoin(format(appliedtobill, '#0.00'), ' applied to balances')) from depref"));
    module.ExecWork(stampRank(6));
    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr) select datevalue(date), plaintext(code), "
        "trim(vbjoin(format(returnedtocustomer, '#0.00'), ' returned to customer')) from depref"));
    module.ExecWork(stampRank(7));

    if (!flags.HideComments) {
        module.ExecWork(QStringLiteral(
            "insert into prejurn (bdate, descr) select datevalue(edate), trim(plaintext(comment)) from hcom"));
        module.ExecWork(stampRank(8));
        module.ExecWork(QStringLiteral(
            "insert into prejurn (bdate, descr) select datevalue(chgdate), "
            "trim(vbjoin(trim(plaintext(chgfield)), ' changed from ', trim(plaintext(chgfrom)), ' to ', "
            "trim(plaintext(chgto)))) from ae"));
        module.ExecWork(stampRank(8));
    }
}

void JournalBuilder::writeBalances(HistoryModule& module)
{
    // The balance follows the stored row order exactly; money is summed as whole
    // ten-thousandths, so no row's balance drifts by a binary fraction. After an
    // amount that is no money the balance is left empty, never silently short.
    module.ExecWork(QStringLiteral(
        "update jurn set rbal = b.rbal, trow = b.trow from ("
        " select rowid as rid, row_number() over w - 1 as trow,"
        " moneytext(moneybalance(chg, pmt) over w) as rbal"
        " from jurn window w as (order by rowid rows unbounded preceding)) as b"
        " where jurn.rowid = b.rid"));
}

void JournalBuilder::applyMultiplier(HistoryModule& module)
{
    // A reading without a usable multiplier keeps its stored values.
    module.ExecWork(QStringLiteral(
        "update jurn set prev = case when prev is null then null else str(val(prev) * val(mult)) end, "
        "pres = case when pres is null then null else str(val(pres) * val(mult)) end, "
        "usage = case when usage is null then null else str(val(usage) * val(mult)) end, "
        "descr = trim(\"left\"(descr, instr(1, descr, 'MULT:') - 1)) "
        "where dorder <= 1 and val(mult) <> 0"));
}

void JournalBuilder::removeMultiplier(HistoryModule& module)
{
    module.ExecWork(QStringLiteral(
        "update jurn set prev = case when prev is null then null else str(val(prev) / val(mult)) end, "
        "pres = case when pres is null then null else str(val(pres) / val(mult)) end, "
        "usage = case when usage is null then null else str(val(usage) / val(mult)) end, "
        "descr = trim(vbjoin(descr, ' MULT:', mult)) "
        "where dorder <= 1 and val(mult) <> 0"));
}

JournalBuilder::Result JournalBuilder::BuildJournal(HistoryModule& module, const JournalFlags& flags)
{
    Result result;
    stageRows(module, flags);
    module.ExecWork(QStringLiteral("delete from jurn"));
    // Equal date and rank keep the staging order, so a rebuild shows the same journal.
    module.ExecWork(QStringLiteral("insert into jurn select * from prejurn order by datevalue(bdate), dorder, rowid"));

    const bool hasRows = module.WorkDb.scalar(QStringLiteral("select exists (select 1 from jurn)")).toInt() != 0;
    module.NoHistory = hasRows ? 0 : -1;
    result.NoHistory = !hasRows;
    if (!hasRows)
        return result;

    writeBalances(module);
    if (flags.MultApplied)
        applyMultiplier(module);
    result.LongestDescr =
        module.WorkDb.scalar(QStringLiteral("select max(len(descr)) from jurn where len(descr) > 29")).toFloat();
    fillCodeDescriptions(module);
    return result;
}

void JournalBuilder::fillCodeDescriptions(HistoryModule& module)
{
    module.ExecWork(QStringLiteral(
        "update jurn set descr = lutc.description from lutc "
        "where jurn.tcode = lutc.code and (jurn.descr is null or jurn.descr = '')"));
    module.ExecWork(QStringLiteral(
        "update jurn set descr = vbjoin(lutc.description, ' ', jurn.descr) from lutc "
        "where jurn.tcode = lutc.code and jurn.descr like '*MULT:*'"));
}

float JournalBuilder::rowHeightTwips(float longestDescr, int descriptionWidthTwips)
{
    const float perLine = descriptionWidthTwips < 3100 ? 29.0f : 43.0f;
    return longestDescr / perLine * 300.0f;
}
