#pragma once

#include <QByteArray>
#include <QString>

// rdgsacct.txt: the account number and lookup name the journal hands to the
// readings window. Lines end CR LF or LF; a missing file or line leaves the
// text as it was.
namespace ReadingsAccount {

// Only this much of the file is read: two short lines, never a whole stray file.
inline constexpr qint64 ReadLimit = 64 * 1024;

void read(const QString& programFolder, QString& accNo, QString& lookupName);
// The same over the file's contents.
void parse(const QByteArray& contents, QString& accNo, QString& lookupName);

} // namespace ReadingsAccount
