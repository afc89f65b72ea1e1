#include "selection/SearchOption.h"

namespace {

// Sort keys compare without regard to case, as the suite's engine does; ties in
// the re-sort keep the build order so a re-sort is repeatable.
const SearchOption options[SearchOption::Count] = {
    {"Account Number", "Sort list by account number and search for matches in the account numbers column",
     " order by c.accno collate nocase", " order by accno collate nocase, rowid", "accno", nullptr, 1, 10,
     "ACCOUNT NUMBER"},
    {"Account Name", "Sort list by account name and search for matches in the account name column",
     " order by trim(c.lookupname) collate nocase", " order by trim(lookupname) collate nocase, rowid",
     "trim(lookupname)", nullptr, 34, 20, "ACCOUNT NAME"},
    {"Address", "Sort list by address and search for matches in the address column", " order by c.addr2 collate nocase",
     " order by address collate nocase, rowid", "address", nullptr, 56, 32, "ADDRESS"},
    {"Service Location ID", "Sort list by location ID and search for matches in the location ID column",
     " order by l.ID collate nocase", " order by ID collate nocase, rowid", "ID", nullptr, 97, -1, "LOCATION ID"},
    {"Route - Seq#", "", " order by l.locroute collate nocase, l.locseq",
     " order by LocRoute collate nocase, LocSeq, rowid", "LocRoute", "LocSeq", 13, 12, "ROUTE - SEQ#"},
};

} // namespace

const SearchOption* SearchOption::at(int index)
{
    return index >= 0 && index < Count ? &options[index] : nullptr;
}

QStringView SearchOption::slice(QStringView line) const
{
    const qsizetype start = sliceStart - 1;
    if (start >= line.size())
        return {};
    const qsizetype available = line.size() - start;
    return line.sliced(start, sliceLength < 0 ? available : std::min(sliceLength, available));
}

QString SearchOption::notFoundMessage(const QString& searched) const
{
    return QStringLiteral("Search text '") + searched + QStringLiteral("' not found in ")
        + QString::fromLatin1(fieldWord) + QStringLiteral(" field.");
}
