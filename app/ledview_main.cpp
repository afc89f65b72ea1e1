#include "app/HistoryModule.h"
#include "app/Main.h"
#include "app/ProgramWindows.h"
#include "app/SuiteFolder.h"
#include "platform/MessageBoxMessenger.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ledview"));

    HistoryModule module;
    module.ProgramFolder = SuiteFolder::resolve(QString(), QApplication::applicationDirPath());
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    MessageBoxMessenger messenger;
    ProgramWindows windows(messenger);
    return Main::run(module, arguments.join(QLatin1Char(' ')), messenger, windows);
}
