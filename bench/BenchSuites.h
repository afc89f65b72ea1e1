#pragma once

#include <QString>

// Suites for the benchmarks, made once per process in a temporary folder.
namespace BenchSuites {

constexpr int BigCustomer = 999999;
constexpr int BigLocation = 999999;

// A demo suite plus one account (BigCustomer-BigLocation) whose journal holds about
// `journalRows` rows over `codes` transaction codes. Returns the suite folder.
QString journalSuite(int journalRows, int codes = 20);

// A demo suite of `locations` locations without history.
QString listSuite(int locations);

} // namespace BenchSuites
