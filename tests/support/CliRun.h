#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// One run of a program as a clerk's shell would start it: exit code (-1 when it did
// not end normally), standard output and standard error.
struct CliRun {
    int exitCode = -1;
    QString out, err;

    static QString cliPath() { return qEnvironmentVariable("LEDVIEW_CLI"); }

    static CliRun of(const QString& program, const QStringList& args, const QString& workingFolder = {},
                     const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(workingFolder);
        process.start(program, args);
        CliRun result;
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.exitCode = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    // This environment with $LEDVIEW_HOME naming `home`, or unset when it is empty.
    static QProcessEnvironment withHome(const QString& home)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("LEDVIEW_HOME"));
        if (!home.isEmpty())
            environment.insert(QStringLiteral("LEDVIEW_HOME"), home);
        return environment;
    }

    // ledview-cli, as the build names it in $LEDVIEW_CLI.
    static CliRun cli(const QStringList& args) { return of(cliPath(), args); }
    static CliRun cli(const QString& home, const QStringList& args)
    {
        return of(cliPath(), QStringList{QStringLiteral("--home"), home} + args);
    }
};
