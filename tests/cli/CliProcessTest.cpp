#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

namespace {

struct ProcessRun {
    int exitCode = -1;
    QString out, err;
};

QString cliPath()
{
    return qEnvironmentVariable("LEDVIEW_CLI");
}

ProcessRun run(const QString& program, const QStringList& args, const QString& workingFolder = {},
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, args);
    ProcessRun result;
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

ProcessRun cli(const QStringList& args)
{
    return run(cliPath(), args);
}

class CliProcessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (cliPath().isEmpty())
            return;
        s_dir = std::make_unique<QTemporaryDir>();
        s_demo = cli({"demo", suite(), "--locations", "60", "--years", "2", "--seed", "3"});
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override
    {
        if (cliPath().isEmpty())
            GTEST_SKIP() << "LEDVIEW_CLI is not set";
        ASSERT_EQ(s_demo.exitCode, 0) << s_demo.err.toStdString();
    }

    static QString suite() { return s_dir->path() + QStringLiteral("/suite"); }
    static ProcessRun sql(const QString& statement) { return cli({"--home", suite(), "sql", statement}); }

    static inline std::unique_ptr<QTemporaryDir> s_dir;
    static inline ProcessRun s_demo;
};

TEST_F(CliProcessTest, DemoPrintsItsSummary)
{
    EXPECT_TRUE(s_demo.out.contains(QStringLiteral("locations: 60"))) << s_demo.out.toStdString();
    EXPECT_TRUE(s_demo.out.contains(QStringLiteral("customers:")));
    EXPECT_TRUE(s_demo.out.contains(QStringLiteral("1-1 1-2 2-3")));
}

TEST(CliDemoTest, BigJournalsPrintTheirKeys)
{
    if (cliPath().isEmpty())
        GTEST_SKIP() << "LEDVIEW_CLI is not set";
    QTemporaryDir dir;
    const ProcessRun demo = cli({"demo", dir.path(), "--locations", "4", "--years", "0", "--big-journals", "16,8"});
    ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString();
    const QRegularExpression line(QStringLiteral("journal of about (\\d+) rows: (\\d+)-(\\d+)"));
    QStringList seen;
    for (auto match = line.globalMatch(demo.out); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        seen << m.captured(1) + QLatin1Char(':') + m.captured(3);
    }
    EXPECT_EQ(seen, (QStringList{"16:5", "8:6"})) << demo.out.toStdString();
}

TEST_F(CliProcessTest, SqlPrintsValuesTabSeparated)
{
    const ProcessRun r = sql(QStringLiteral("select 1615198, 1.5, -0.25, null, 'x'"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("1615198\t1.5\t-0.25\t\tx\n"));
}

TEST_F(CliProcessTest, SqlPrintsStoredTextAndMoneyAsStored)
{
    const ProcessRun r = sql(QStringLiteral("select lookupname, 120.0, 'a b' from [tbl customer] where custkey = 1"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("O'BRIEN, "))) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("\t120\ta b\n"))) << r.out.toStdString();
}

TEST_F(CliProcessTest, SqlFindsTheSuiteThroughLedviewHome)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LEDVIEW_HOME"), suite());
    const ProcessRun r = run(cliPath(), {"sql", "select count(*) from [tbl location]"}, {}, environment);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("60\n"));
}

struct FailureCase {
    const char* statement;
    const char* message;
};

TEST_F(CliProcessTest, EngineErrorsExitOneWithTheMessage)
{
    const FailureCase cases[] = {
        {"select * from [no such table]", "no such table"},
        {"selec 1", "syntax error"},
        {"select 1; select 2", "one statement"},
        {"", "no statement"},
    };
    for (const auto& [statement, message] : cases) {
        const ProcessRun r = sql(QString::fromUtf8(statement));
        EXPECT_EQ(r.exitCode, 1) << statement;
        EXPECT_TRUE(r.out.isEmpty()) << statement;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(message))) << statement << ": " << r.err.toStdString();
    }
}

TEST_F(CliProcessTest, AFolderWithoutConfigurationIsNamed)
{
    QTemporaryDir empty;
    const ProcessRun r = cli({"--home", empty.path(), "sql", "select 1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("global.mdb"))) << r.err.toStdString();
}

TEST_F(CliProcessTest, UsageErrorsExitTwoWithUsage)
{
    // An unknown option is named whether or not a suite folder is found.
    const QStringList cases[] = {
        {},
        {"frobnicate"},
        {"--home"},
        {"--bogus", "sql", "select 1"},
        {"sql"},
        {"sql", "select 1", "select 2"},
        {"sql", "--bogus"},
        {"demo"},
        {"demo", "/tmp/x", "--locations", "many"},
        {"demo", "/tmp/x", "--years"},
        {"demo", "/tmp/x", "/tmp/y"},
        {"demo", "/tmp/x", "--big-journals", "100,x"},
        {"demo", "/tmp/x", "--big-journals", "0"},
        {"demo", "/tmp/x", "--bogus"},
        {"journal", "1-1", "--bogus"},
        {"account", "1-1", "--bogus"},
        {"balances", "1-1", "--as-of", "1/1/2020", "--bogus"},
        {"print", "1-1", "--pdf", "/tmp/x.pdf", "--bogus"},
        {"search", "--bogus"},
        {"entmeter-stand-in", "--bogus"},
    };
    for (const QStringList& args : cases) {
        const std::string where = args.join(' ').toStdString();
        for (const bool withSuite : {true, false}) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove(QStringLiteral("LEDVIEW_HOME"));
            if (withSuite)
                environment.insert(QStringLiteral("LEDVIEW_HOME"), suite());
            const ProcessRun r = run(cliPath(), args, {}, environment);
            EXPECT_EQ(r.exitCode, 2) << where;
            EXPECT_TRUE(r.err.contains(QStringLiteral("usage:"))) << where;
            if (args.contains("--bogus")) {
                EXPECT_TRUE(r.err.contains(QStringLiteral("--bogus"))) << where << ": " << r.err.toStdString();
            }
        }
    }
}

// Every command listed, and the hidden one, answers --help with its usage on stdout.
TEST_F(CliProcessTest, HelpAndVersionGoToStdoutAndExitZero)
{
    const ProcessRun help = cli({"--help"});
    ASSERT_EQ(help.exitCode, 0);
    QStringList commands{"entmeter-stand-in"};
    const QRegularExpression listed(QStringLiteral("^  ([a-z-]+) "), QRegularExpression::MultilineOption);
    for (auto match = listed.globalMatch(help.out); match.hasNext();)
        commands << match.next().captured(1);
    EXPECT_EQ(commands.size(), 8) << help.out.toStdString();
    for (const QString& command : commands) {
        const ProcessRun r = cli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command.toStdString();
        EXPECT_TRUE(r.out.startsWith("usage: ledview-cli [--home DIR] " + command + " ")) << r.out.toStdString();
    }
    const ProcessRun version = cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("ledview-cli ")) << version.out.toStdString();
}

// Without --home or $LEDVIEW_HOME the folder ledview used last time serves; with
// none of these the command says every way of naming one.
TEST_F(CliProcessTest, WithoutASuiteFolderTheWaysAreNamed)
{
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LEDVIEW_HOME"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    const QStringList journal{"account", "1-1"};

    const ProcessRun none = run(cliPath(), journal, {}, environment);
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.out.isEmpty());
    for (const char* way : {"--home DIR", "LEDVIEW_HOME=DIR", "beside global.mdb", "ledview, which remembers"})
        EXPECT_TRUE(none.err.contains(QString::fromLatin1(way))) << way << ": " << none.err.toStdString();

    ASSERT_TRUE(QDir().mkpath(config.filePath("ledview")));
    QFile settings(config.filePath("ledview/ledview.conf"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[suite]\nfolder=" + suite().toUtf8() + "\n");
    settings.close();
    const ProcessRun remembered = run(cliPath(), journal, {}, environment);
    EXPECT_EQ(remembered.exitCode, 0) << remembered.err.toStdString();
    EXPECT_TRUE(remembered.out.contains(QStringLiteral("O'BRIEN"))) << remembered.out.toStdString();
}

TEST_F(CliProcessTest, EntmeterScriptComputesTheRequestedBill)
{
    const QString billDate =
        sql(QStringLiteral("select BillDate from [tbl reading] where LocKey = 1 and ChgOut = -1 limit 1"))
            .out.trimmed();
    ASSERT_EQ(billDate.size(), 10);
    const QString charges = QStringLiteral("select code, amount from [tbl bill detail] where lockey = 1"
                                           " and date = '%1' and adjusted = 0 order by code")
                                .arg(billDate);
    const QString before = sql(charges).out;
    ASSERT_FALSE(before.isEmpty());
    ASSERT_EQ(sql(QStringLiteral("delete from [tbl bill detail] where lockey = 1 and date = '%1' and code = 'WATER'"
                                 " and adjusted = 0")
                      .arg(billDate))
                  .exitCode,
              0);

    QFile request(suite() + QStringLiteral("/CompOneRdg.ini"));
    ASSERT_TRUE(request.open(QIODevice::WriteOnly));
    const QDate date = QDate::fromString(billDate, Qt::ISODate);
    request.write(QStringLiteral("1\r\n1\r\n%1\r\n10001\r\n").arg(date.toString(QStringLiteral("M/d/yyyy"))).toUtf8());
    request.close();

    const ProcessRun r = run(suite() + QStringLiteral("/entmeter"), {"cor"}, suite());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(suite() + QStringLiteral("/componerdgdone.ini")));
    // Computed from the unchanged readings, the bill matches the generated one.
    EXPECT_EQ(sql(charges).out, before);
}

} // namespace
