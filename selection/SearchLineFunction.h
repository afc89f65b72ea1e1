#pragma once

#include "selection/SearchSource.h"

#include <string>
#include <string_view>

struct sqlite3;

// The list line's layout as two SQL functions, registered on the connection that
// runs the build, so the engine lays out a million lines in one pass instead of
// some twenty string functions a row:
//   searchline(accno, locroute, locseq, status, lookupname, custaddr2, locaddr2, ID)
//     accno padded/cut to 12; trimmed route cut to 5 and right-trimmed, '-', the
//     sequence as text cut to 5 and right-trimmed, together padded/cut to 11; ' ';
//     status to 9; trimmed name to 20; '  '; trimmed customer addr2 to 15; '  ';
//     trimmed location addr2 to 15; '  Loc ID: '; the ID whole.
//   searchaddress(custaddr2, locaddr2)  both trimmed and padded/cut to 25
// Widths count characters; a null is empty text; numbers read in the plain form.
namespace SearchLineFunction {
constexpr int LineValues = 8;

bool registerOn(sqlite3* db);

// A billing value as the layouts read it: null as empty, a real in its plain form.
std::string_view textOf(const SearchSourceValue& value, std::string& scratch);

// The same layouts on values already in text form, for a build done in memory.
void layOutLine(std::string& line, const std::string_view (&values)[LineValues]);
void layOutAddress(std::string& address, std::string_view custAddr2, std::string_view locAddr2);
} // namespace SearchLineFunction
