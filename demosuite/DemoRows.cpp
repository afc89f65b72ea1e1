#include "demosuite/DemoRows.h"

#include <sqlite3.h>

namespace {

const char* const kInserts[DemoRows::TableCount] = {
    "insert into [tbl customer] (custkey, accno, lookupname, fname, mname, lname, CompanyName, phone,"
    " addr1, addr2, city, state, zip, status, active, opendate)"
    " values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)",
    "insert into [tbl location] (lockey, custkey, ID, addr1, addr2, locroute, locseq, indate, outdate)"
    " values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
    "insert into [tbl reading] (CustKey, LocKey, Code, ReadDate, BillDate, Previous, Present, Usage,"
    " Multiplier, MultiTenants, Factor, MSN, ChgOut, estimated, mrcomment, EntryDate)"
    " values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, 1, ?11, ?12, ?13, ?14, ?15)",
    "insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount, adjusted)"
    " values (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
    "insert into [tbl payment detail] (custkey, lockey, date, code, pmttype, docno, amount)"
    " values (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
    "insert into [tbl deposit] (custkey, lockey, date, code, amount) values (?1, ?2, ?3, ?4, ?5)",
    "insert into [tbl deposit refund] (custkey, lockey, date, code, appliedtobill, returnedtocustomer)"
    " values (?1, ?2, ?3, ?4, ?5, ?6)",
    "insert into [tbl balance] (custkey, lockey, code, totalcharges, totalpaid) values (?1, ?2, ?3, ?4, ?5)",
    "insert into histcomments (custkey, lockey, edate, comment, UserID) values (?1, ?2, ?3, ?4, ?5)",
    "insert into acctedits (custkey, lockey, chgdate, chgfield, chgfrom, chgto, userid)"
    " values (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
    "insert into [lkup transaction code] (code, description, tgkey) values (?1, ?2, ?3)",
};

void bindText(SqlStatement& s, int index, std::string_view text)
{
    if (text.empty())
        s.bindNull(index);
    else
        s.bind(index, text);
}

double dollars(int64_t cents)
{
    return static_cast<double>(cents) / 100.0;
}

int64_t boolean(bool value)
{
    return value ? -1 : 0;
}

} // namespace

DemoRows::DemoRows(const SqlConnection& db)
{
    for (int t = 0; t < TableCount; ++t) {
        m_statements[t] = SqlStatement(db, kInserts[t]);
        if (!m_statements[t].isValid() && m_error.isEmpty())
            m_error = m_statements[t].error();
    }
}

void DemoRows::run(Table table)
{
    if (!at(table).run() && m_error.isEmpty())
        m_error = at(table).error();
    ++m_counts[table];
}

int64_t DemoRows::totalRows() const
{
    int64_t total = 0;
    for (int64_t n : m_counts)
        total += n;
    return total;
}

void DemoRows::customer(const DemoCustomerRow& r)
{
    auto& s = at(Customer);
    s.bind(1, r.custkey);
    bindText(s, 2, r.accno);
    bindText(s, 3, r.lookupname);
    bindText(s, 4, r.fname);
    bindText(s, 5, r.mname);
    bindText(s, 6, r.lname);
    bindText(s, 7, r.companyName);
    bindText(s, 8, r.phone);
    bindText(s, 9, r.addr1);
    bindText(s, 10, r.addr2);
    bindText(s, 11, r.city);
    bindText(s, 12, r.state);
    bindText(s, 13, r.zip);
    s.bind(14, std::string_view(r.active ? "ACTIVE" : "INACTIVE"));
    s.bind(15, boolean(r.active));
    bindText(s, 16, r.openDate);
    run(Customer);
}

void DemoRows::location(const DemoLocationRow& r)
{
    auto& s = at(Location);
    s.bind(1, r.lockey).bind(2, r.custkey);
    bindText(s, 3, r.id);
    bindText(s, 4, r.addr1);
    bindText(s, 5, r.addr2);
    bindText(s, 6, r.route);
    s.bind(7, r.sequence);
    bindText(s, 8, r.inDate);
    bindText(s, 9, r.outDate);
    run(Location);
}

void DemoRows::reading(const DemoReadingRow& r)
{
    auto& s = at(Reading);
    s.bind(1, r.custkey).bind(2, r.lockey);
    bindText(s, 3, r.code);
    bindText(s, 4, r.readDate);
    bindText(s, 5, r.billDate);
    s.bind(6, r.previous).bind(7, r.present).bind(8, r.usage).bind(9, r.multiplier).bind(10, r.tenants);
    bindText(s, 11, r.msn);
    if (r.chgout == 0)
        s.bindNull(12);
    else
        s.bind(12, r.chgout);
    s.bind(13, boolean(r.estimated));
    bindText(s, 14, r.comment);
    bindText(s, 15, r.entryDate);
    run(Reading);
}

void DemoRows::charge(int64_t custkey, int64_t lockey, std::string_view date, std::string_view code,
                      std::string_view comment, int64_t cents, bool adjusted)
{
    auto& s = at(BillDetail);
    s.bind(1, custkey).bind(2, lockey).bind(3, date).bind(4, code);
    bindText(s, 5, comment);
    s.bind(6, dollars(cents)).bind(7, boolean(adjusted));
    run(BillDetail);
}

void DemoRows::payment(int64_t custkey, int64_t lockey, std::string_view date, std::string_view code,
                       std::string_view type, std::string_view docno, int64_t cents)
{
    auto& s = at(Payment);
    s.bind(1, custkey).bind(2, lockey).bind(3, date).bind(4, code).bind(5, type);
    bindText(s, 6, docno);
    s.bind(7, dollars(cents));
    run(Payment);
}

void DemoRows::deposit(int64_t custkey, int64_t lockey, std::string_view date, std::string_view code, int64_t cents)
{
    at(Deposit).bind(1, custkey).bind(2, lockey).bind(3, date).bind(4, code).bind(5, dollars(cents));
    run(Deposit);
}

void DemoRows::refund(int64_t custkey, int64_t lockey, std::string_view date, std::string_view code,
                      int64_t appliedCents, int64_t returnedCents)
{
    at(Refund)
        .bind(1, custkey)
        .bind(2, lockey)
        .bind(3, date)
        .bind(4, code)
        .bind(5, dollars(appliedCents))
        .bind(6, dollars(returnedCents));
    run(Refund);
}

void DemoRows::balance(int64_t custkey, int64_t lockey, std::string_view code, int64_t chargedCents, int64_t paidCents)
{
    at(Balance)
        .bind(1, custkey)
        .bind(2, lockey)
        .bind(3, code)
        .bind(4, dollars(chargedCents))
        .bind(5, dollars(paidCents));
    run(Balance);
}

void DemoRows::comment(int64_t custkey, int64_t lockey, std::string_view date, std::string_view text,
                       std::string_view user)
{
    at(Comment).bind(1, custkey).bind(2, lockey).bind(3, date).bind(4, text).bind(5, user);
    run(Comment);
}

void DemoRows::accountEdit(int64_t custkey, int64_t lockey, std::string_view date, std::string_view field,
                           std::string_view from, std::string_view to, std::string_view user)
{
    auto& s = at(AccountEdit);
    s.bind(1, custkey).bind(2, lockey).bind(3, date).bind(4, field);
    bindText(s, 5, from);
    bindText(s, 6, to);
    s.bind(7, user);
    run(AccountEdit);
}

void DemoRows::transactionCode(std::string_view code, std::string_view description, int tgkey)
{
    at(TransactionCode).bind(1, code).bind(2, description).bind(3, tgkey);
    run(TransactionCode);
}
