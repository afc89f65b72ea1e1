#include "journal/JournalSettings.h"

#include "app/SuiteFolder.h"
#include "app/SuiteTextFile.h"
#include "platform/BasicRuntime.h"
#include "platform/DateText.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

namespace {

std::optional<bool> switchLine(const QList<QByteArray>& all, int index)
{
    if (index >= all.size())
        return std::nullopt;
    bool ok = false;
    const int value = all[index].trimmed().toInt(&ok);
    if (ok && (value == -1 || value == 1))
        return true;
    return std::nullopt;
}

QByteArray numberLine(int value)
{
    // Numbers are written the suite's way: a blank before one that is not negative.
    return (value < 0 ? QByteArray() : QByteArray(" ")) + QByteArray::number(value) + "\r\n";
}

} // namespace

JournalViewSettings JournalViewSettings::parse(const QByteArray& contents)
{
    const QList<QByteArray> all = SuiteTextFile::lines(contents);
    JournalViewSettings settings;
    settings.ShowPrevReadings = switchLine(all, 0);
    settings.ConsolidatePayments = switchLine(all, 1);
    settings.MultApplied = switchLine(all, 2);
    settings.HideComments = switchLine(all, 3);
    if (all.size() > 4) {
        bool ok = false;
        const int width = all[4].trimmed().toInt(&ok);
        if (ok && width > 0)
            settings.widthTwips = width;
    }
    return settings;
}

std::optional<JournalViewSettings> JournalViewSettings::read(const QString& programFolder)
{
    if (const std::optional<QByteArray> contents =
            SuiteTextFile::readNamed(programFolder, QStringLiteral("VIEWLED.INI")))
        return parse(*contents);
    return std::nullopt;
}

void JournalViewSettings::raiseFlags(JournalFlags& flags) const
{
    if (ShowPrevReadings)
        flags.ShowPrevReadings = JournalFlags::True;
    if (ConsolidatePayments)
        flags.ConsolidatePayments = JournalFlags::True;
    if (MultApplied)
        flags.MultApplied = JournalFlags::True;
    if (HideComments)
        flags.HideComments = JournalFlags::True;
}

QByteArray JournalViewSettings::format(const JournalFlags& flags, int widthTwips)
{
    auto flag = [](int16_t value) { return numberLine(value ? -1 : 0); };
    return flag(flags.ShowPrevReadings) + flag(flags.ConsolidatePayments) + flag(flags.MultApplied)
        + flag(flags.HideComments) + numberLine(widthTwips < MinimumWidthTwips ? MinimumWidthTwips : widthTwips);
}

bool JournalViewSettings::write(const QString& programFolder, const JournalFlags& flags, int widthTwips)
{
    QSaveFile file(SuiteFolder::pathFor(programFolder, QStringLiteral("ViewLed.ini")));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(format(flags, widthTwips));
    return file.commit();
}

PrintRange PrintRange::parse(const QByteArray& contents)
{
    PrintRange range;
    range.PrintRangeSet = true;
    const QList<QByteArray> all = SuiteTextFile::lines(contents);
    if (!all.isEmpty()) {
        if (const auto from = DateText::parse(QString::fromLatin1(all[0])))
            range.PrintFrom = *from;
    }
    if (all.size() > 1) {
        if (const auto to = DateText::parse(QString::fromLatin1(all[1])))
            range.PrintTo = *to;
    }
    return range;
}

PrintRange PrintRange::read(const QString& programFolder)
{
    if (const std::optional<QByteArray> contents =
            SuiteTextFile::readNamed(programFolder, QStringLiteral("histmassdaterange.ini")))
        return parse(*contents);
    return {};
}
