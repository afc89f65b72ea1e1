#include "journal/JournalBuilder.h"

#include "app/HistoryModule.h"

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
        module.ExecWork(QStringLiteral(
            "insert into prejurn (bdate, tcode, descr, pmt, dorder) select datevalue(date), 'PMT', "
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
    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr, dorder) select datevalue(date), plaintext(code), "
        "trim(vbjoin(format(appliedtobill, '#0.00'), ' applied to balances')), 6 from depref"));
    module.ExecWork(QStringLiteral(
        "insert into prejurn (bdate, tcode, descr, dorder) select datevalue(date), plaintext(code), "
        "trim(vbjoin(format(returnedtocustomer, '#0.00'), ' returned to customer')), 7 from depref"));

    if (!flags.HideComments) {
        module.ExecWork(QStringLiteral(
            "insert into prejurn (bdate, descr, dorder) select datevalue(edate), trim(plaintext(comment)), 8 from hcom"));
        module.ExecWork(QStringLiteral(
            "insert into prejurn (bdate, descr, dorder) select datevalue(chgdate), "
            "trim(vbjoin(trim(plaintext(chgfield)), ' changed from ', trim(plaintext(chgfrom)), ' to ', "
            "trim(plaintext(chgto)))), 8 from ae"));
    }
}

void JournalBuilder::orderWithBalances(HistoryModule& module)
{
    // One pass in the engine: journal order (an empty posting date first; equal date
    // and rank keep the staging order), row numbers from 0, and the running balance
    // summed as whole ten-thousandths so that no row drifts by a binary fraction.
    // After an amount that is no money the balance is left empty, never silently short.
    module.ExecWork(QStringLiteral(
        "insert into jurn (bdate, rdate, tcode, descr, prev, pres, usage, chg, pmt, rbal, dorder, mult, trow) "
        "select bdate, rdate, tcode, descr, prev, pres, usage, chg, pmt, "
        "moneytext(moneybalance(chg, pmt) over journal), "
        "dorder, mult, row_number() over journal - 1 "
        "from prejurn window journal as (order by bdate, dorder, rowid rows unbounded preceding) "
        "order by bdate, dorder, rowid"));
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
    orderWithBalances(module);

    const bool hasRows = module.WorkDb.scalar(QStringLiteral("select exists (select 1 from jurn)")).toInt() != 0;
    module.NoHistory = hasRows ? 0 : -1;
    result.NoHistory = !hasRows;
    if (!hasRows)
        return result;

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
