#pragma once

#include <QString>

// The suite folder holds global.mdb, the settings files and the scratch database.
namespace SuiteFolder {

// --home when given, else $LEDVIEW_HOME when set, else the executable's folder.
QString resolve(const QString& explicitHome, const QString& executableFolder);

// The file of that name in the folder, matched without regard to case (the suite
// writes VIEWLED.INI and ViewLed.ini for one file); empty when there is none.
QString findFile(const QString& folder, const QString& name);

// The existing file matched without regard to case, or folder/name to create.
QString pathFor(const QString& folder, const QString& name);

} // namespace SuiteFolder
