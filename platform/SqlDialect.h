#pragma once

struct sqlite3;
class QSqlDatabase;

// Registers the suite's SQL dialect on a connection. All functions are deterministic,
// take NULL to NULL unless said otherwise, count characters (code points, 1-based),
// and read a number handed to a text argument in the plain form (120, not "120.0").
// A bad count or start (negative, or not a number) fails the statement, as the
// runtime's "Invalid procedure call" would.
//
//   datevalue(x)            ISO date text (YYYY-MM-DD) of ISO or M/D/Y text; NULL when no date
//   format(x, pattern)      "#0.00" / "$#0.00", half away from zero on the 15-digit form;
//                           text that is no number comes back unchanged; other patterns
//                           give the plain number. This two-argument format replaces
//                           SQLite's printf-style format() of two arguments: use printf().
//   val(text)               the leading number of the text (REAL)
//   str(n)                  " 1200", "-3", " .24"; text that is no number fails
//   left(s, n)              first n characters; see below for how to call it
//   mid(s, start[, n])      n characters from start (all the rest without n)
//   instr(start, s, t[, compare])  position of t in s from start, 0 when absent;
//                           compare 1 (the default, as in the engine's queries) ignores
//                           case, 0 compares exactly. SQLite's instr(s, t) stays as it is.
//   space(n), len(s)
//   trim(s), ltrim(s), rtrim(s)  as SQLite's (blanks only), numbers in the plain form
//   x LIKE p [ESCAPE e]     the desktop engine's wildcards (see LikePattern); the compiled
//                           pattern is kept for the statement. PRAGMA case_sensitive_like
//                           would put SQLite's own LIKE back, so do not use it.
//   vbjoin(a, b, ...)       the texts joined, a NULL counting as empty text; never NULL
//   plaintext(x)            x as text, numbers in the plain form (120, 1.5)
//   moneyunits(x)           an amount as whole ten-thousandths (exact sums); NULL when no number
//                           or beyond the currency's range
//   moneydelta(c, p)        c less p in ten-thousandths, a NULL or blank amount as 0; NULL when
//                           either is no money or the difference is out of range
//   moneytext(units)        ten-thousandths written "#0.00"
//
// LEFT is a join keyword to SQLite's parser: left('abc', 2) is a syntax error. Quote
// the name, "left"(s, n) (or [left](s, n)); that form is an ordinary function call.
//
// Returns false when the connection has no native SQLite handle or a function could
// not be registered.
namespace SqlDialect {
bool registerOn(sqlite3* db);
bool registerOn(const QSqlDatabase& db);
} // namespace SqlDialect
