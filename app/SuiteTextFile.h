#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The suite's small text files (settings, requests, the user's id): a few lines,
// each ended by CR LF as the suite writes them, or by LF alone as an editor may.
namespace SuiteTextFile {

// Such files are a few short lines; anything bigger is not ours to read whole.
inline constexpr qint64 ReadLimit = 64 * 1024;

// The first `limit` bytes of the file; empty when the path is empty or the file
// cannot be opened.
QByteArray read(const QString& path, qint64 limit = ReadLimit);

// The file of that name in the folder, matched without regard to case: nothing
// when there is none, its bytes (empty when unreadable) otherwise.
std::optional<QByteArray> readNamed(const QString& folder, const QString& name, qint64 limit = ReadLimit);

// The lines without their ends: split at LF, a CR before it dropped; a final line
// end closes the last line rather than opening an empty one.
QList<QByteArray> lines(const QByteArray& contents);

} // namespace SuiteTextFile
