#pragma once

#include <QString>

// rdgsacct.txt: the account number and lookup name the journal hands to the
// readings window. Lines end CR LF or LF; a missing file or line leaves the
// text as it was.
namespace ReadingsAccount {

void read(const QString& programFolder, QString& accNo, QString& lookupName);

} // namespace ReadingsAccount
