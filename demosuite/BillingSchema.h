#pragma once

#include "platform/Outcome.h"

class SqlConnection;

// The billing suite's tables as this program reads and writes them. Dates are ISO
// text, money REAL, booleans -1/0. Column names are unique across [tbl customer]
// and [tbl location] (but for the join key and addr1/addr2, which the statements
// qualify), so the search list's bare names resolve.
namespace BillingSchema {

// Every billing table, with primary keys but without the secondary indexes.
Outcome createTables(SqlConnection& db);
// The secondary indexes on custkey/lockey; a bulk writer calls this after inserting.
Outcome createIndexes(SqlConnection& db);
// Tables and indexes: what a test fixture wants.
Outcome create(SqlConnection& db);

// global.mdb's configuration table `current`.
Outcome createGlobal(SqlConnection& db);

} // namespace BillingSchema
