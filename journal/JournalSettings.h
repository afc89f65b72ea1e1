#pragma once

#include "journal/JournalFlags.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>

// VIEWLED.INI: the journal's four switches and its width in twips, one number a line.
struct JournalViewSettings {
    // Each line read: -1 or 1 turns the switch on; anything else leaves it.
    std::optional<bool> ShowPrevReadings;
    std::optional<bool> ConsolidatePayments;
    std::optional<bool> MultApplied;
    std::optional<bool> HideComments;
    int widthTwips = 11380; // a missing or unreadable line reads as the floor

    static constexpr int MinimumWidthTwips = 11380;

    static JournalViewSettings parse(const QByteArray& contents);
    // Reads the file found without regard to case; nothing when there is none.
    static std::optional<JournalViewSettings> read(const QString& programFolder);
    // Turns on the flags the file asks for (it never turns one off).
    void raiseFlags(JournalFlags& flags) const;

    static QByteArray format(const JournalFlags& flags, int widthTwips);
    // Rewrites the file found (or creates ViewLed.ini); false when it cannot be written.
    static bool write(const QString& programFolder, const JournalFlags& flags, int widthTwips);
};

// histmassdaterange.ini: the print range, first and last date on lines 1 and 2.
struct PrintRange {
    QDate PrintFrom = QDate(1000, 1, 1);
    QDate PrintTo = QDate(2100, 12, 31);
    bool PrintRangeSet = false;

    static PrintRange parse(const QByteArray& contents);
    static PrintRange read(const QString& programFolder);
};
