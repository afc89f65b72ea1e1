#include "app/ProgramArguments.h"

#include <QRegularExpression>

ProgramArguments ProgramArguments::parse(const QStringList& arguments)
{
    static const QRegularExpression option(QStringLiteral("^--[A-Za-z]"));
    ProgramArguments parsed;
    QStringList account;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parsed.action = Action::Help;
            return parsed;
        }
        if (argument == QLatin1String("--version")) {
            parsed.action = Action::Version;
            return parsed;
        }
        if (argument.startsWith(QLatin1String("--home="))) {
            parsed.home = argument.mid(7);
        } else if (argument == QLatin1String("--home")) {
            if (++i >= arguments.size()) {
                parsed.action = Action::UsageError;
                parsed.error = QStringLiteral("--home needs a folder");
                return parsed;
            }
            parsed.home = arguments[i];
        } else if (option.match(argument).hasMatch()) {
            parsed.action = Action::UsageError;
            parsed.error = QStringLiteral("unknown option %1").arg(argument);
            return parsed;
        } else {
            account << argument;
        }
    }
    parsed.commandLine = account.join(QLatin1Char(' '));
    return parsed;
}
