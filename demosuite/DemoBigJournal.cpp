#include "demosuite/DemoBigJournal.h"

#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>

namespace {

// Months from the first bill; ?1 is the last index of the series.
const std::string numbers = "with recursive n(i) as (select 0 union all select i + 1 from n where i < ?1) ";
const std::string month = "date('1990-01-01', '+' || (i / %d) || ' months')";

std::string monthOf(int perMonth)
{
    std::string text = month;
    text.replace(text.find("%d"), 2, std::to_string(perMonth));
    return text;
}

} // namespace

Outcome DemoBigJournal::write(const SqlConnection& db, int64_t& rows) const
{
    const int64_t months = std::max(1, journalRows / 8);
    const int64_t codes = std::max(1, this->codes);
    const int64_t vary = static_cast<int64_t>(seed % 9973);
    const std::string account = std::to_string(journalRows);
    struct Statement {
        std::string sql;
        int64_t last; // ?1
    };
    // ?2 custkey, ?3 lockey, ?4 codes, ?5 the seed's variation, ?6 the size; a statement
    // leaves out what it does not use (binding those is a harmless no-op).
    const Statement statements[] = {
        {"insert into [tbl customer] (custkey, accno, lookupname, fname, lname, addr2, active, status) "
         "select ?2, 'BIG' || ?6, 'BIG ACCOUNT ' || ?6, 'BIG', 'ACCOUNT', '1 LONG HISTORY RD', -1, 'ACTIVE'",
         0},
        {"insert into [tbl location] (lockey, custkey, ID, addr2, locroute, locseq) "
         "select ?3, ?2, 'BIG' || ?6, '1 LONG HISTORY RD', 'R9', 1",
         0},
        {numbers
             + "insert or ignore into [lkup transaction code] (code, description, tgkey) "
               "select 'B' || i, 'BENCH CODE ' || i, 1 from n",
         codes - 1},
        {numbers
             + "insert into [tbl reading] (CustKey, LocKey, Code, BillDate, ReadDate, Previous, Present, Usage, "
               "Multiplier, mrcomment) select ?2, ?3, 'B' || (i % ?4), "
             + monthOf(1) + ", date(" + monthOf(1)
             + ", '-3 days'), i * 12 + ?5, i * 12 + ?5 + 10 + i % 3, 10 + i % 3, 10, "
               "case when i % 10 = 9 then 'EST' end from n",
         months - 1},
        {numbers
             + "insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount, adjusted) "
               "select ?2, ?3, "
             + monthOf(4)
             + ", 'B' || (i % ?4), 'charge ' || i, "
               "((i * 37 + ?5) % 9700) / 100.0 + 0.25, case when i % 50 = 49 then -1 else 0 end from n",
         4 * months - 1},
        {numbers
             + "insert into [tbl payment detail] (custkey, lockey, date, code, pmttype, docno, amount) "
               "select ?2, ?3, date("
             + monthOf(2)
             + ", '+12 days'), 'B' || (i % ?4), 'CHECK', 1000 + i / 2, "
               "((i * 53 + ?5) % 9700) / 100.0 + 0.5 from n",
         2 * months - 1},
        {numbers
             + "insert into histcomments (custkey, lockey, edate, comment, UserID) "
               "select ?2, ?3, date("
             + monthOf(1) + ", '+5 days'), 'comment ' || i, 'CLERK1' from n",
         months - 1},
        // Balance rows that agree with the detail rows, one per code.
        {numbers
             + "insert into [tbl balance] (custkey, lockey, code, totalcharges, totalpaid) "
               "select ?2, ?3, 'B' || i, ifnull(c.total, 0), ifnull(p.total, 0) from n "
               "left join (select code, sum(amount) as total from [tbl bill detail] "
               "where custkey = ?2 and lockey = ?3 group by code) c on c.code = 'B' || i "
               "left join (select code, sum(amount) as total from [tbl payment detail] "
               "where custkey = ?2 and lockey = ?3 group by code) p on p.code = 'B' || i",
         codes - 1},
    };
    for (const Statement& statement : statements) {
        SqlStatement insert(db, statement.sql);
        insert.bind(1, statement.last)
            .bind(2, custkey)
            .bind(3, lockey)
            .bind(4, codes)
            .bind(5, vary)
            .bind(6, std::string_view(account));
        if (!insert.isValid() || !insert.run())
            return Outcome::failure(QStringLiteral("big journal: ") + insert.error(), {}, insert.errorCode());
        rows += sqlite3_changes64(db.handle());
    }
    return {};
}
