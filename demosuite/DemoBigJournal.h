#pragma once

#include "platform/Outcome.h"

#include <QString>
#include <cstdint>

class SqlConnection;

// One account with a very long history, for measuring: per eight journal rows one
// reading, four charges, two payments and one comment, a month apart, spread over
// `codes` transaction codes (B0, B1, ...), with balance rows that agree with the
// detail rows. Written set-based in the engine; the rows depend only on the
// arguments, the seed varying the amounts and readings.
struct DemoBigJournal {
    int64_t custkey = 0;
    int64_t lockey = 0;
    int journalRows = 0;
    int codes = 20;
    uint64_t seed = 1;

    // Inside the caller's transaction; adds the rows written to `rows`. False and
    // The reason when a statement fails.
    Outcome write(const SqlConnection& db, int64_t& rows) const;
    QString key() const { return QStringLiteral("%1-%2").arg(custkey).arg(lockey); }
};
