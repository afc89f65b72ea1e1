#include "app/Waits.h"

#include "app/SuiteFolder.h"
#include "app/SuiteTextFile.h"
#include "platform/BasicRuntime.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cmath>

qint64 WaitClock::currentSecond() const
{
    return QDateTime::currentSecsSinceEpoch();
}

qint64 WaitClock::currentMillisecond() const
{
    return QDateTime::currentMSecsSinceEpoch();
}

void WaitClock::pause(int milliseconds)
{
    // Let the window repaint while we wait, but take no clicks or keys.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

namespace Waits {

float readDelaySetting(const QByteArray& contents)
{
    QByteArray first = SuiteTextFile::lines(contents).value(0);
    const qsizetype comma = first.indexOf(',');
    if (comma >= 0)
        first = first.left(comma);
    const QString text = QString::fromLatin1(first).trimmed();
    bool ok = false;
    double value = text.toDouble(&ok);
    // Leading digits followed by other text still give their number, as list input does.
    if (!ok)
        value = BasicRuntime::val(text);
    // The delay is held in single precision: a value beyond it would become an
    // endless wait after narrowing, so it is no number of seconds at all.
    const float seconds = static_cast<float>(value);
    return std::isfinite(value) && std::isfinite(seconds) ? seconds : 0.0f;
}

void ConfiguredDelay(float& seconds, const QString& programFolder, WaitClock& clock)
{
    if (seconds != 0) {
        if (seconds > 5)
            seconds = seconds / 100;
    } else {
        // A huge or binary file is not a setting; only its first line is ever read.
        const std::optional<QByteArray> contents =
            SuiteTextFile::readNamed(programFolder, QStringLiteral("DelayTime.ini"), 4096);
        seconds = contents ? readDelaySetting(*contents) : 0;
    }
    const qint64 start = clock.currentSecond();
    while (static_cast<double>(clock.currentSecond() - start) < static_cast<double>(seconds))
        clock.pause(20);
}

void ConfiguredDelay(float& seconds, const QString& programFolder)
{
    WaitClock clock;
    ConfiguredDelay(seconds, programFolder, clock);
}

void WaitForFileGone(const QString& path, WaitClock& clock, int limitMs)
{
    const qint64 deadline = clock.currentMillisecond() + limitMs;
    while (QFileInfo::exists(path) && clock.currentMillisecond() < deadline)
        clock.pause(5);
}

void WaitForFileGone(const QString& path)
{
    WaitClock clock;
    WaitForFileGone(path, clock);
}

} // namespace Waits
