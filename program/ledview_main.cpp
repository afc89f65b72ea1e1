#include "app/HistoryModule.h"
#include "app/Main.h"
#include "app/ProgramArguments.h"
#include "program/ProgramNavigator.h"
#include "program/SuiteFolderDialog.h"
#include "app/SuiteFolder.h"
#include "platform/widgets/MessageBoxMessenger.h"

#include <QApplication>
#include <QSettings>
#include <QStringList>
#include <cstdio>

namespace {

const char kUsage[] = "usage: ledview [--home DIR] [CUSTKEY-LOCKEY]\n"
                      "\n"
                      "The account-history viewer of the billing suite. Without an account it opens the\n"
                      "account list; with CUSTKEY-LOCKEY (for example 1234-5678) it opens the history\n"
                      "journal of customer CUSTKEY at location LOCKEY.\n"
                      "\n"
                      "The suite folder (global.mdb, tuid.txt, the settings files) is, in this order:\n"
                      "  --home DIR, else $LEDVIEW_HOME;\n"
                      "  the folder of the ledview program when it holds global.mdb;\n"
                      "  the folder used last time;\n"
                      "  otherwise ledview asks for it with a folder chooser and remembers the choice.\n"
                      "\n"
                      "Options:\n"
                      "  --home DIR   work in the suite folder DIR\n"
                      "  -h, --help   show this help and exit\n"
                      "  --version    show the version and exit\n";

QStringList rawArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    // Help, version and a wrong option are answered before Qt looks for a display.
    const ProgramArguments early = ProgramArguments::parse(rawArguments(argc, argv));
    switch (early.action) {
    case ProgramArguments::Action::Help: std::fputs(kUsage, stdout); return 0;
    case ProgramArguments::Action::Version: std::printf("ledview %s\n", LEDVIEW_VERSION); return 0;
    case ProgramArguments::Action::UsageError:
        std::fprintf(stderr, "ledview: %s\n\n%s", early.error.toLocal8Bit().constData(), kUsage);
        return 2;
    case ProgramArguments::Action::Run: break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ledview"));
    QApplication::setApplicationVersion(QStringLiteral(LEDVIEW_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("ledview"));
    // Qt has taken its own options (-platform, -style, …) out by now.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const ProgramArguments parsed = ProgramArguments::parse(arguments);

    MessageBoxMessenger messenger;
    const std::unique_ptr<QSettings> settings = SuiteFolder::userSettings();
    HistoryModule module;
    module.ProgramFolder =
        SuiteFolderDialog::resolve(parsed.home, QApplication::applicationDirPath(), *settings, messenger);
    if (module.ProgramFolder.isEmpty())
        return 1;

    ProgramNavigator navigator(messenger);
    return Main::run(module, parsed.commandLine, messenger, navigator);
}
