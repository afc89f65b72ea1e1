#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// ledviewsel.ini: the selection window's option on line 1 (" 4 ") and the search
// text on line 2, each line ended by CR LF.
struct SelectionSettings {
    std::optional<int> SortIndex; // a line 1 that was read
    std::optional<QString> searchText; // a line 2 that was read

    static constexpr const char* FileName = "ledviewsel.ini";

    // A line 1 that is no number, or a number outside 0-4, reads as option 0.
    static SelectionSettings parse(const QByteArray& contents);
    // Nothing when the file does not exist (looked up without regard to case).
    static std::optional<SelectionSettings> read(const QString& programFolder);

    static QByteArray format(std::optional<int> sortIndex, const QString& searchText);
    // Rewrites the file found, or creates ledviewsel.ini; false when it cannot be written.
    static bool write(const QString& programFolder, std::optional<int> sortIndex, const QString& searchText);
};
