#include "support/CliRun.h"
#include "support/TestSuite.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class CliCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("LEDVIEW_CLI"))
            GTEST_SKIP() << "LEDVIEW_CLI is not set";
        suite.addCodes();
        suite.addAccount(1, 10);
    }
    CliRun run(const QStringList& args) const { return CliRun::cli(suite.folder(), args); }

    TestSuite suite;
};

// journal, account and balances on one account, first without history, then with
// a reading, charges and a payment.
TEST_F(CliCommandTest, CommandsPrintTheJournalItsHeaderAndBalances)
{
    const QString header = "POST DATE,READ DATE,CODE,DESCRIPTION,PREVIOUS,READING,USAGE,CHARGE,PAYMENT,BALANCE\r\n";
    const CliRun empty = run({"journal", "1-10", "--csv"});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, header);
    EXPECT_EQ(empty.err, "No history records exist for this customer.\n");
    const CliRun account = run({"account", "1-10"});
    ASSERT_EQ(account.exitCode, 0);
    EXPECT_TRUE(
        account.out.startsWith("Account: A1   John Smith\n12 Oak St , Springfield IL 62701  -  ACTIVE\n"
                               "Loc ID: L10   12 Oak St   -  OCCUPIED\nRoute: R1 SEQ#: 10\nBAL: $0.00  DEP: NONE\n"))
        << account.out.toStdString();

    suite.exec("insert into [tbl reading] (custkey, lockey, billdate, readdate, code, previous, present, usage,"
               " multiplier, mrcomment) values (1, 10, '2017-05-01', '2017-04-28', 'WA', 120, 135, 15, 10, 'EST')");
    suite.exec("insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount) values"
               " (1, 10, '2017-05-01', 'WA', 'fee, \"late\"', 12.5), (1, 10, '2017-05-02', 'WA', null, 5)");
    suite.exec("insert into [tbl payment detail] (custkey, lockey, date, code, amount) values"
               " (1, 10, '2017-05-01', 'WA', 12.5)");
    suite.exec("insert into [tbl balance] (custkey, lockey, code) values (1, 10, 'WA'), (1, 10, 'DP')");
    // The window's saved view turns nothing on here: the command's own flags decide.
    suite.writeFile("VIEWLED.INI", "-1\r\n-1\r\n-1\r\n-1\r\n 11380\r\n");
    const CliRun plain = run({"journal", "1-10", "--csv"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out,
              header
                  + "5/1/2017,4/28/2017,WA,WATER EST MULT:10,120,135,15,,,0.00\r\n"
                    "5/1/2017,,WA,\"fee, \"\"late\"\"\",,,,12.50,,12.50\r\n"
                    "5/1/2017,,WA,WATER,,,,,12.50,0.00\r\n"
                    "5/2/2017,,WA,WATER,,,,5.00,,5.00\r\n");
    const CliRun scaled = run({"journal", "1-10", "--csv", "--apply-multiplier"});
    EXPECT_TRUE(scaled.out.contains("5/1/2017,4/28/2017,WA,EST, 1200, 1350, 150,,,0.00\r\n"))
        << scaled.out.toStdString();
    const CliRun balances = run({"balances", "1-10", "--as-of", "5/1/2017"});
    ASSERT_EQ(balances.exitCode, 0) << balances.err.toStdString();
    EXPECT_EQ(balances.out, "DP\t0.00\t0.00\t0.00\nWA\t12.50\t12.50\t0.00\nTOTAL\t12.50\t12.50\t0.00\n");
}

TEST_F(CliCommandTest, UsageErrorsExitTwoAndHelpExitsZero)
{
    // Command lines, one between each pair of bars.
    const QStringList cases =
        QString("|frobnicate|--home|--bogus sql x|sql|sql x y|sql --bogus|demo|"
                "demo /tmp/x --locations many|demo /tmp/x --years|demo /tmp/x /tmp/y|"
                "demo /tmp/x --big-journals 100,x|demo /tmp/x --big-journals 0|"
                "demo /tmp/x --bogus|journal 1-1 --bogus|journal 0-10|journal 1|journal x-y|"
                "journal 99999999999-1|account 1-1 --bogus|balances 1-1|"
                "balances 1-1 --as-of 2/30/2017|balances 1-1 --as-of 1/1/2020 --bogus|"
                "print 1-1 --pdf /tmp/x.pdf --bogus|print 1-1|print 1-1 --pdf x --first -3|"
                "print 1-1 --pdf x --first 9 --last 5|print 1-1 --pdf x --from 3/32/2017|"
                "print 1-1 --pdf x --from 1/1/2017 --first 2|search --bogus|entmeter-stand-in --bogus|"
                "copy-billing|copy-billing postgresql://host/db postgresql://host/db2|"
                "copy-billing postgresql://host/db --bogus")
            .split('|');
    // Each command's unknown option also without a suite: its usage comes before the search for one.
    for (const QString& words : cases) {
        const QStringList args = words.split(' ', Qt::SkipEmptyParts);
        const bool bogus = args.contains("--bogus");
        for (const QString& home : bogus ? QStringList{suite.folder(), QString()} : QStringList{suite.folder()}) {
            SCOPED_TRACE(words.toStdString() + (home.isEmpty() ? " without a suite" : ""));
            const CliRun r = CliRun::of(CliRun::cliPath(), args, {}, CliRun::withHome(home));
            EXPECT_EQ(r.exitCode, 2);
            EXPECT_TRUE(r.err.contains(QStringLiteral("usage:")));
            if (bogus) {
                EXPECT_TRUE(r.err.contains(QStringLiteral("--bogus"))) << r.err.toStdString();
            }
        }
    }
    // Every command listed, and the hidden one, answers --help with its usage on stdout.
    const CliRun help = CliRun::cli({"--help"});
    ASSERT_EQ(help.exitCode, 0);
    QStringList commands{"entmeter-stand-in"};
    const QRegularExpression listed(QStringLiteral("^  ([a-z-]+) "), QRegularExpression::MultilineOption);
    for (auto match = listed.globalMatch(help.out); match.hasNext();)
        commands << match.next().captured(1);
    EXPECT_EQ(commands.size(), 9) << help.out.toStdString();
    for (const QString& command : commands) {
        const CliRun r = CliRun::cli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command.toStdString();
        EXPECT_TRUE(r.out.startsWith("usage: ledview-cli [--home DIR] " + command + " ")) << r.out.toStdString();
    }
}

} // namespace
