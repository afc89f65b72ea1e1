#pragma once

#include <QStringView>

// How many statements a text of SQL holds, told the way a server splits it: at
// semicolons outside quoted texts and names, dollar-quoted bodies and comments.
// Empty statements (blanks, comments, stray semicolons) do not count.
namespace StatementCount {
enum Count { None, One, Several };
Count of(QStringView sql);
} // namespace StatementCount
