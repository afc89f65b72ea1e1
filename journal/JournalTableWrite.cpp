#include "journal/JournalTableWrite.h"

#include "platform/Currency.h"
#include "platform/SqlConnection.h"
#include "platform/SqlStatement.h"
#include "platform/SqlTransaction.h"

namespace {

const char* const insertRow =
    "insert into jurn (bdate, rdate, tcode, descr, prev, pres, usage, chg, pmt, mult, dorder, rbal, trow) "
    "values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)";

} // namespace

Outcome JournalTableWrite::write(SqlConnection& work) const
{
    SqlTransaction journalRows(work, SqlTransaction::Kind::Nested);
    SqlStatement insert(work, insertRow);
    int trow = 0;
    for (const Entry& entry : order) {
        const Row& row = rows[entry.row];
        for (int column = 0; column < TextCount; ++column) {
            if (row.texts[column].length < 0)
                insert.bindNull(column + 1);
            else
                insert.bindStaticText(column + 1, text(row, static_cast<Column>(column)));
        }
        if (row.dorderIsInteger)
            insert.bind(TextCount + 1, static_cast<int64_t>(row.dorder));
        else
            insert.bind(TextCount + 1, row.dorder);
        char rbal[Currency::PlainCapacity];
        if (entry.balance)
            insert.bindStaticText(
                12, std::string_view(rbal, Currency::fromTenThousandths(*entry.balance).writePlain(rbal)));
        else
            insert.bindNull(12);
        insert.bind(13, trow++);
        insert.run();
    }
    if (!insert.isValid() || insert.failed())
        return Outcome::failure(insert.error());
    if (!journalRows.commit())
        return Outcome::failure(journalRows.error());
    return {};
}
