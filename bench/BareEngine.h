#pragma once

#include <cstdint>
#include <string>

// The benchmarks' baselines: the same work done through the sqlite3 C library alone,
// with no Qt and the engine's built-in functions where they serve (date() for
// datevalue(), printf() for format(), || with ifnull() for vbjoin()), so a figure
// can be read as a ratio against what the engine itself costs.
namespace BareEngine {

// The account list: histsrch filled by one insert-select in the option-0 order with
// the line laid out by printf(), then read back into memory. Returns the lines.
int64_t buildList(const std::string& billingPath, const std::string& workPath);

// The engine's own floor for the list: the same join, order and insert with no line
// layout at all, and no read back.
void insertListRows(const std::string& billingPath, const std::string& workPath);

// The journal from the keys: the account's tables copied across, staged, ordered with
// row numbers and running balance, code descriptions filled, and read into memory.
// Returns the rows.
int64_t openJournal(const std::string& billingPath, const std::string& workPath, int64_t custKey, int64_t locKey);

// One row change with balances shown: per code, activity up to the date summed by the
// engine and written to baltemp. `workPath` must hold an extracted account.
void codeBalances(const std::string& workPath, const std::string& asOfIso, int64_t custKey, int64_t locKey);

// The readings window's rows: every reading of the location read into memory.
int64_t readings(const std::string& billingPath, int64_t custKey, int64_t locKey);

} // namespace BareEngine
