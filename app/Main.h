#pragma once

#include <QString>
#include <QTime>
#include <cstdint>
#include <utility>

class HistoryModule;
class Messenger;
class Navigator;

namespace Main {

enum class Route { Exit, Journal, Selection };

// Customer and location keys of a command line "K-L": the first hyphen splits,
// each side is read as a number and rounded half to even; anything else, or a key
// outside the 32-bit range, reads as 0.
std::pair<int32_t, int32_t> parseAccountKeys(const QString& commandLine);

// First line of tuid.txt, unchanged, or "Unknown".
QString readUserId(const QString& programFolder);

// programFolder/ledview<hhmmss>.mdb
QString scratchPath(const QString& programFolder, const QTime& startTime);

// Reads global.mdb into module (BillingDbPath, CompanyTitle) and checks the billing
// database it names. Empty when all is well, else what is wrong, naming the file:
// the one wording of these faults for the program and the command line.
QString configurationProblem(HistoryModule& module);

// configurationProblem told to the operator. False after telling
// the operator what is wrong (the run must end).
bool readConfiguration(HistoryModule& module, Messenger& messenger);

// Everything before the start window: user, configuration, scratch name, keys.
Route prepare(HistoryModule& module, const QString& commandLine, Messenger& messenger,
              const QTime& startTime = QTime::currentTime());

// The whole run: prepare, then open the start window; returns the exit code.
int run(HistoryModule& module, const QString& commandLine, Messenger& messenger, Navigator& navigator);

} // namespace Main
