#pragma once

#include <QString>
#include <QStringList>

// ledview's own command line: the account text "K-L" the start-up reads, plus a
// few options. Only "--word" arguments are options: "-5678" and "1234--5" stay
// account text, and Qt's single-dash options stay Qt's.
struct ProgramArguments {
    enum class Action { Run, Help, Version, UsageError };

    Action action = Action::Run;
    QString home; // --home DIR
    QString commandLine; // every other argument, joined by blanks
    QString error; // what is wrong, for Action::UsageError

    // The arguments after the program's name.
    static ProgramArguments parse(const QStringList& arguments);
};
