#pragma once

#include <QString>

// Suites for the benchmarks, written once per process in a temporary folder by the
// demo generator, so `ledview-cli demo` makes the same suites outside them.
namespace BenchSuites {

struct Account {
    QString folder; // the suite folder
    QString key; // "custkey-lockey", as the command line takes it
};

// A demo suite of 20 locations without history plus one account whose journal
// holds about `journalRows` rows over `codes` transaction codes:
//   ledview-cli demo DIR --locations 20 --years 0 --big-journals ROWS
Account journalSuite(int journalRows, int codes = 20);

// A demo suite of `locations` locations without history:
//   ledview-cli demo DIR --locations N --years 0
QString listSuite(int locations);

} // namespace BenchSuites
