#include "BareEngine.h"

#include "platform/SqlStatement.h"

#include <sqlite3.h>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace BareEngine {
namespace {

class Db {
public:
    explicit Db(const std::string& path)
    {
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            fail(path);
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~Db() { sqlite3_close_v2(m_db); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    sqlite3* handle() const { return m_db; }
    void exec(const std::string& sql)
    {
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }
    // For drops of tables that may be missing.
    void tryExec(const std::string& sql) { sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr); }
    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::runtime_error(what + ": " + (m_db ? sqlite3_errmsg(m_db) : "no connection"));
    }

private:
    sqlite3* m_db = nullptr;
};

// The one native statement type, failing loudly: a benchmark never measures a failure.
class Statement : public SqlStatement {
public:
    Statement(Db& db, const std::string& sql) : SqlStatement(db.handle(), sql), m_db(db)
    {
        if (!isValid())
            db.fail(sql);
    }
    bool next()
    {
        const bool row = SqlStatement::next();
        if (failed())
            m_db.fail(sqlite3_sql(handle()));
        return row;
    }
    void run()
    {
        if (!SqlStatement::run())
            m_db.fail(sqlite3_sql(handle()));
    }
    std::string text(int column) const { return std::string(utf8(column)); }

private:
    Db& m_db;
};

void attachWork(Db& db, const std::string& workPath)
{
    Statement attach(db, "attach database ?1 as work");
    attach.bind(1, workPath);
    attach.run();
}

void scratch(Db& db, const char* schema)
{
    db.exec(std::string("pragma ") + schema + ".synchronous = off");
    db.exec(std::string("pragma ") + schema + ".journal_mode = memory");
}

// The option-0 list line with the engine's printf: widths count bytes, which equals
// characters for the generated (ASCII) suites.
const char* const listInsert =
    "insert into work.histsrch select "
    "printf('%-12.12s%-11.11s %-9.9s%-20.20s  %-15.15s  %-15.15s  Loc ID: %s', ifnull(c.accno, ''), "
    "rtrim(substr(trim(ifnull(l.locroute, '')), 1, 5)) || '-' || rtrim(substr(trim(ifnull(l.locseq, '')), 1, 5)), "
    "ifnull(c.status, ''), trim(ifnull(c.lookupname, '')), trim(ifnull(c.addr2, '')), trim(ifnull(l.addr2, '')), "
    "ifnull(l.ID, '')), l.custkey, l.lockey, c.accno, "
    "printf('%-25.25s%-25.25s', trim(ifnull(c.addr2, '')), trim(ifnull(l.addr2, ''))), c.lookupname, l.ID, "
    "l.locroute, l.locseq from [tbl customer] c inner join [tbl location] l on c.custkey = l.custkey "
    "order by c.accno collate nocase";

void prepareList(Db& db, const std::string& workPath)
{
    attachWork(db, workPath);
    scratch(db, "work");
    db.exec("pragma cache_size = -262144");
    db.tryExec("create table work.histsrch (srchtext text, custkey long, lockey long, accno text, address text, "
               "lookupname text, ID text, LocRoute text, LocSeq long)");
    db.exec("delete from work.histsrch");
}

} // namespace

int64_t buildList(const std::string& billingPath, const std::string& workPath)
{
    std::u16string buffer;
    std::vector<size_t> offsets;
    std::vector<int64_t> rowids;
    std::vector<int32_t> keys;
    {
        Db db(billingPath);
        prepareList(db, workPath);
        db.exec(listInsert);
    }
    Db work(workPath);
    Statement rows(work, "select rowid, srchtext, custkey, lockey from histsrch");
    while (rows.next()) {
        const QStringView text = rows.text16(1);
        buffer.append(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
        offsets.push_back(buffer.size());
        rowids.push_back(rows.integer(0));
        keys.push_back(static_cast<int32_t>(rows.integer(2)));
        keys.push_back(static_cast<int32_t>(rows.integer(3)));
    }
    return static_cast<int64_t>(rowids.size());
}

void insertListRows(const std::string& billingPath, const std::string& workPath)
{
    Db db(billingPath);
    prepareList(db, workPath);
    db.exec("insert into work.histsrch select c.accno, l.custkey, l.lockey, c.accno, c.addr2, c.lookupname, l.ID, "
            "l.locroute, l.locseq from [tbl customer] c inner join [tbl location] l on c.custkey = l.custkey "
            "order by c.accno collate nocase");
}

namespace {

const char* const accountTables[][3] = {
    {"cust", "[tbl customer]", "custkey = ?2"},
    {"loc", "[tbl location]", "lockey = ?1 and custkey = ?2"},
    {"bd", "[tbl bill detail]", "lockey = ?1 and custkey = ?2"},
    {"mr", "[tbl reading]", "lockey = ?1 and custkey = ?2"},
    {"pd", "[tbl payment detail]", "lockey = ?1 and custkey = ?2"},
    {"dep", "[tbl deposit]", "lockey = ?1 and custkey = ?2"},
    {"depref", "[tbl deposit refund]", "lockey = ?1 and custkey = ?2"},
    {"bal", "[tbl balance]", "lockey = ?1 and custkey = ?2"},
    {"hcom", "histcomments", "lockey = ?1 and custkey = ?2"},
    {"ae", "acctedits", "custkey = ?2"},
    {"lutc", "[lkup transaction code]", "1"},
};

const char* const journalColumns =
    "(bdate text, rdate text, tcode text, descr text, prev text, pres text, usage text, chg text, pmt text, "
    "rbal text, dorder single, mult text, trow integer)";

// The staging statements with built-ins: date() reads the stored ISO dates,
// printf('%.2f') writes amounts, ifnull() || joins texts.
const char* const staging[] = {
    "insert into prejurn (bdate, rdate, tcode, prev, pres, usage, descr, mult, dorder) select date(billdate), "
    "date(readdate), code, previous, present, usage, trim(ifnull(mrcomment, '') || ' MULT:' || ifnull(multiplier, "
    "'')), multiplier, 0 from mr where chgout is null or chgout = 0",
    "insert into prejurn (bdate, rdate, tcode, prev, pres, usage, descr, mult, dorder) select date(billdate), "
    "date(readdate), code, previous, present, usage, trim(ifnull(mrcomment, '') || ' MULT:' || ifnull(multiplier, "
    "'') || '  -OLD METER-'), multiplier, 0 from mr where chgout = -1",
    "insert into prejurn (bdate, rdate, tcode, prev, pres, usage, descr, mult, dorder) select date(billdate), "
    "date(readdate), code, previous, present, usage, trim(ifnull(mrcomment, '') || ' MULT:' || ifnull(multiplier, "
    "'') || '  +NEW METER+'), multiplier, 1 from mr where chgout = 1",
    "insert into prejurn (bdate, tcode, descr, chg, dorder) select date(date), code, trim('ADJ: ' || "
    "ifnull(comment, '')), printf('%.2f', amount), 2 from bd where adjusted <> 0",
    "insert into prejurn (bdate, tcode, descr, chg, dorder) select date(date), code, trim(comment), "
    "printf('%.2f', amount), 3 from bd where adjusted is null or adjusted = 0",
    "insert into prejurn (bdate, tcode, descr, pmt, dorder) select date(date), code, trim(ifnull(pmttype, '') || ' ' "
    "|| ifnull(docno, '')), printf('%.2f', amount), 4 from pd",
    "insert into prejurn (bdate, tcode, descr, chg, dorder) select date(date), code, 'Refundable Deposit', "
    "printf('%.2f', amount), 5 from dep",
    "insert into prejurn (bdate, tcode, descr, dorder) select date(date), code, printf('%.2f', appliedtobill) || "
    "' applied to balances', 6 from depref",
    "insert into prejurn (bdate, tcode, descr, dorder) select date(date), code, printf('%.2f', returnedtocustomer) "
    "|| ' returned to customer', 7 from depref",
    "insert into prejurn (bdate, descr, dorder) select date(edate), trim(comment), 8 from hcom",
    "insert into prejurn (bdate, descr, dorder) select date(chgdate), trim(ifnull(trim(chgfield), '') || "
    "' changed from ' || ifnull(trim(chgfrom), '') || ' to ' || ifnull(trim(chgto), '')), 8 from ae",
};

} // namespace

int64_t openJournal(const std::string& billingPath, const std::string& workPath, int64_t custKey, int64_t locKey)
{
    {
        Db work(workPath);
        for (const auto& table : accountTables)
            work.tryExec(std::string("drop table ") + table[0]);
        work.tryExec("drop table prejurn");
        work.tryExec("drop table jurn");
    }
    {
        Db billing(billingPath);
        attachWork(billing, workPath);
        billing.exec("pragma work.synchronous = off");
        billing.exec("begin");
        for (const auto& table : accountTables) {
            Statement copy(
                billing,
                std::string("create table work.") + table[0] + " as select * from " + table[1] + " where " + table[2]);
            copy.bind(1, locKey).bind(2, custKey);
            copy.run();
        }
        billing.exec("commit");
    }
    Db work(workPath);
    scratch(work, "main");
    work.exec(std::string("create table prejurn ") + journalColumns);
    work.exec(std::string("create table jurn ") + journalColumns);
    for (const char* statement : staging)
        work.exec(statement);
    work.exec(
        "insert into jurn select bdate, rdate, tcode, descr, prev, pres, usage, chg, pmt, "
        "printf('%.2f', sum(ifnull(round(chg * 100), 0) - ifnull(round(pmt * 100), 0)) over journal / 100.0), "
        "dorder, mult, row_number() over journal - 1 from prejurn "
        "window journal as (order by bdate, dorder, rowid rows unbounded preceding) order by bdate, dorder, rowid");
    {
        Statement longest(work, "select max(length(descr)) from jurn where length(descr) > 29");
        longest.next();
    }
    work.exec("update jurn set descr = lutc.description from lutc where jurn.tcode = lutc.code "
              "and (jurn.descr is null or jurn.descr = '')");
    work.exec("update jurn set descr = ifnull(lutc.description, '') || ' ' || jurn.descr from lutc "
              "where jurn.tcode = lutc.code and jurn.descr like '%MULT:%'");

    struct Row {
        std::string values[12];
        double dorder = 0;
    };
    std::vector<Row> rows;
    Statement read(work,
                   "select bdate, rdate, tcode, descr, prev, pres, usage, chg, pmt, rbal, mult, trow, dorder "
                   "from jurn order by rowid");
    while (read.next()) {
        Row row;
        for (int column = 0; column < 12; ++column)
            row.values[column] = read.text(column);
        row.dorder = read.real(12);
        rows.push_back(std::move(row));
    }
    return static_cast<int64_t>(rows.size());
}

void codeBalances(const std::string& workPath, const std::string& asOfIso, int64_t custKey, int64_t locKey)
{
    Db work(workPath);
    scratch(work, "main");
    work.exec("begin");
    work.exec("drop table if exists baltemp");
    work.exec("create table baltemp as select * from bal where 0");
    work.exec("alter table baltemp add column bal currency");
    // Per code: charges and deposits less refunds returned, payments less refunds returned.
    Statement fill(work,
                   "with activity as ("
                   "select code, date, amount as chg, 0 as pmt from bd union all "
                   "select code, date, 0, amount from pd union all "
                   "select code, date, amount, 0 from dep union all "
                   "select code, date, -returnedtocustomer, -returnedtocustomer from depref), "
                   "upto as (select code, round(total(chg), 2) as c, round(total(pmt), 2) as p from activity "
                   "where date <= ?1 group by code) "
                   "insert into baltemp select b.custkey, b.lockey, b.code, ifnull(u.c, 0), ifnull(u.p, 0), "
                   "ifnull(u.c, 0) - ifnull(u.p, 0) from bal b left join upto u on u.code = b.code order by b.code");
    fill.bind(1, asOfIso);
    fill.run();
    Statement total(work,
                    "insert into baltemp select ?1, ?2, 'TOTAL', total(totalcharges), total(totalpaid), "
                    "total(bal) from baltemp");
    total.bind(1, custKey).bind(2, locKey);
    total.run();
    work.exec("commit");
}

int64_t readings(const std::string& billingPath, int64_t custKey, int64_t locKey)
{
    Db billing(billingPath);
    Statement read(billing,
                   "select ReadingKey, CustKey, LocKey, Code, ReadDate, BillDate, Previous, Present, Usage, "
                   "Multiplier, MultiTenants, Factor, MSN, ChgOut, estimated, mrcomment, estimated, EntryDate "
                   "from [tbl reading] where (CustKey = ?1 and LocKey = ?2) "
                   "order by BillDate, chgout, ReadingKey");
    read.bind(1, custKey).bind(2, locKey);
    std::vector<std::vector<sqlite3_value*>> rows;
    const int columns = read.columnCount();
    while (read.next()) {
        std::vector<sqlite3_value*> row;
        for (int column = 0; column < columns; ++column)
            row.push_back(sqlite3_value_dup(sqlite3_column_value(read.handle(), column)));
        rows.push_back(std::move(row));
    }
    for (auto& row : rows)
        for (sqlite3_value* value : row)
            sqlite3_value_free(value);
    return static_cast<int64_t>(rows.size());
}

} // namespace BareEngine
