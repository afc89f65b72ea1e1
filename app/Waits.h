#pragma once

#include <QString>
#include <QtGlobal>

// The clock the waits read and the pause they take between checks. Tests give a
// scripted clock; the program's pause keeps the windows painted while it waits.
class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual qint64 currentSecond() const;
    virtual qint64 currentMillisecond() const;
    virtual void pause(int milliseconds);
};

namespace Waits {

// Pauses for `seconds`, or for the first value of DelayTime.ini in the suite folder
// when `seconds` is 0. A value above 5 counts as hundredths and is stored back
// divided by 100; the caller's variable keeps the value used. Whole seconds are
// compared as the clock ticks, so 3 lasts between two and three seconds.
void ConfiguredDelay(float& seconds, const QString& programFolder, WaitClock& clock);
void ConfiguredDelay(float& seconds, const QString& programFolder);

// The first value of a DelayTime.ini text: leading blanks skipped, ending at a comma
// or the end of the line; anything that is no number reads as 0.
float readDelaySetting(const QByteArray& contents);

// Returns once no file of that path exists, or after `limitMs` (the caller is not
// told which). Sleeps between checks instead of spinning a core.
void WaitForFileGone(const QString& path, WaitClock& clock, int limitMs = 10000);
void WaitForFileGone(const QString& path);

} // namespace Waits
