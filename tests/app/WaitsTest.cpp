#include "app/Waits.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A clock that moves only when the wait pauses: 20 ms of pause is 20 ms of time.
class ScriptedClock : public WaitClock {
public:
    qint64 currentSecond() const override { return now / 1000; }
    qint64 currentMillisecond() const override { return now; }
    void pause(int ms) override
    {
        now += ms;
        paused += ms;
        if (onPause)
            onPause();
    }
    qint64 now = 1'000'500; // half-way through a second
    qint64 paused = 0;
    std::function<void()> onPause;
};

// Values above five are hundredths; zero reads the setting file.
TEST(ConfiguredDelay, PausesForTheGivenOrConfiguredSeconds)
{
    QTemporaryDir dir;
    // clang-format off
    const struct { float given; const char* file; float stored; qint64 minPause, maxPause; } cases[] = {
        {3, nullptr, 3, 2000, 3000}, {5, nullptr, 5, 4000, 5000}, {6, nullptr, 0.06f, 1, 1000},
        {-2, nullptr, -2, 0, 0}, {0, nullptr, 0, 0, 0}, {0, "2.5\r\n9\r\n", 2.5f, 2000, 3000}};
    // clang-format on
    for (const auto& c : cases) {
        QFile file(dir.filePath("delaytime.ini"));
        if (c.file) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.file);
            file.close();
        }
        ScriptedClock clock;
        float seconds = c.given;
        Waits::ConfiguredDelay(seconds, dir.path(), clock);
        EXPECT_FLOAT_EQ(seconds, c.stored) << c.given;
        EXPECT_GE(clock.paused, c.minPause) << c.given;
        EXPECT_LE(clock.paused, c.maxPause) << c.given;
    }
}

TEST(ConfiguredDelay, SettingTextIsReadLeniently)
{
    // A value beyond single precision would wait for ever: it is no setting.
    const std::pair<const char*, float> cases[] = {{"2.5\r\n", 2.5f}, {"  3,4", 3}, {"abc", 0}, {"1e39", 0}};
    for (const auto& [text, value] : cases)
        EXPECT_FLOAT_EQ(Waits::readDelaySetting(text), value) << text;
}

TEST(WaitForFileGone, ReturnsOnceTheFileIsGoneOrTimeRunsOut)
{
    QTemporaryDir dir;
    ScriptedClock clock;
    Waits::WaitForFileGone(dir.filePath("absent"), clock);
    EXPECT_EQ(clock.paused, 0);
    const QString path = dir.filePath("marker");
    QFile(path).open(QIODevice::WriteOnly);
    int pauses = 0;
    clock.onPause = [&] {
        if (++pauses == 3)
            QFile::remove(path);
    };
    Waits::WaitForFileGone(path, clock);
    EXPECT_EQ(pauses, 3);
    QFile(path).open(QIODevice::WriteOnly);
    clock.onPause = nullptr;
    clock.paused = 0;
    Waits::WaitForFileGone(path, clock, 200);
    EXPECT_GE(clock.paused, 200);
}

} // namespace
