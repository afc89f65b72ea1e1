#pragma once

#include <QString>
#include <memory>

class QSettings;

// The suite folder holds global.mdb, the settings files and the scratch database.
namespace SuiteFolder {

enum class Source { Named, Executable, Remembered, None };

struct Located {
    QString folder; // absolute and clean; empty when Source::None
    Source source = Source::None;
};

// --home when given, else $LEDVIEW_HOME when set (both taken as named, suite or
// not, so that the run says what is missing); else the executable's folder when
// it holds global.mdb (a suite with the programs copied into it); else the folder
// used last time while it still holds global.mdb; else none.
Located locate(const QString& explicitHome, const QString& executableFolder, const QString& remembered);

// True when the folder holds global.mdb (matched without regard to case).
bool holdsSuite(const QString& folder);

// The user's settings that ledview and ledview-cli share
// (~/.config/ledview/ledview.conf).
std::unique_ptr<QSettings> userSettings();

// The folder used last time, from the user's settings; empty when there is none.
QString remembered(const QSettings& settings);
void remember(QSettings& settings, const QString& folder);

// The file of that name in the folder, matched without regard to case (the suite
// writes VIEWLED.INI and ViewLed.ini for one file); empty when there is none.
QString findFile(const QString& folder, const QString& name);

// The existing file matched without regard to case, or folder/name to create.
QString pathFor(const QString& folder, const QString& name);

} // namespace SuiteFolder
