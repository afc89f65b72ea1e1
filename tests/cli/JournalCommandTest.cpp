#include "support/CliRun.h"
#include "support/TestSuite.h"

#include <gtest/gtest.h>

namespace {

class JournalCommandTest : public ::testing::Test {
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
TEST_F(JournalCommandTest, CommandsPrintTheJournalItsHeaderAndBalances)
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

} // namespace
