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

TEST_F(JournalCommandTest, CsvHoldsTheJournalTextsAsBuilt)
{
    suite.insert("[tbl reading]",
                 {{"custkey", 1},
                  {"lockey", 10},
                  {"billdate", "2017-05-01"},
                  {"readdate", "2017-04-28"},
                  {"code", "WA"},
                  {"previous", 120},
                  {"present", 135},
                  {"usage", 15},
                  {"multiplier", 10},
                  {"mrcomment", "EST"}});
    suite.insert("[tbl bill detail]",
                 {{"custkey", 1},
                  {"lockey", 10},
                  {"date", "2017-05-01"},
                  {"code", "WA"},
                  {"comment", "fee, \"late\""},
                  {"amount", 12.5}});
    // The window's saved view turns nothing on here: the command's own flags decide.
    suite.writeFile("VIEWLED.INI", "-1\r\n-1\r\n-1\r\n-1\r\n 11380\r\n");
    const CliRun plain = run({"journal", "1-10", "--csv"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out,
              "POST DATE,READ DATE,CODE,DESCRIPTION,PREVIOUS,READING,USAGE,CHARGE,PAYMENT,BALANCE\r\n"
              "5/1/2017,4/28/2017,WA,WATER EST MULT:10,120,135,15,,,0.00\r\n"
              "5/1/2017,,WA,\"fee, \"\"late\"\"\",,,,12.50,,12.50\r\n");

    const CliRun scaled = run({"journal", "1-10", "--csv", "--apply-multiplier"});
    EXPECT_TRUE(scaled.out.contains("5/1/2017,4/28/2017,WA,EST, 1200, 1350, 150,,,0.00\r\n"))
        << scaled.out.toStdString();
}

TEST_F(JournalCommandTest, EmptyJournalPrintsTheHeaderAndSaysSo)
{
    const CliRun empty = run({"journal", "1-10", "--csv"});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, "POST DATE,READ DATE,CODE,DESCRIPTION,PREVIOUS,READING,USAGE,CHARGE,PAYMENT,BALANCE\r\n");
    EXPECT_EQ(empty.err, "No history records exist for this customer.\n");
}

TEST_F(JournalCommandTest, AccountPrintsTheHeaderLines)
{
    const CliRun account = run({"account", "1-10"});
    ASSERT_EQ(account.exitCode, 0);
    EXPECT_TRUE(
        account.out.startsWith("Account: A1   John Smith\n12 Oak St , Springfield IL 62701  -  ACTIVE\n"
                               "Loc ID: L10   12 Oak St   -  OCCUPIED\nRoute: R1 SEQ#: 10\nBAL: $0.00  DEP: NONE\n"))
        << account.out.toStdString();
}

TEST_F(JournalCommandTest, BalancesPrintOneLinePerCodeThenTotal)
{
    suite.insert("[tbl balance]", {{"custkey", 1}, {"lockey", 10}, {"code", "WA"}});
    suite.insert("[tbl balance]", {{"custkey", 1}, {"lockey", 10}, {"code", "DP"}});
    suite.insert(
        "[tbl bill detail]", {{"custkey", 1}, {"lockey", 10}, {"date", "2017-05-01"}, {"code", "WA"}, {"amount", 10}});
    suite.insert(
        "[tbl bill detail]", {{"custkey", 1}, {"lockey", 10}, {"date", "2017-05-02"}, {"code", "WA"}, {"amount", 5}});
    suite.insert("[tbl payment detail]",
                 {{"custkey", 1}, {"lockey", 10}, {"date", "2017-05-01"}, {"code", "WA"}, {"amount", 12.5}});
    const CliRun balances = run({"balances", "1-10", "--as-of", "5/1/2017"});
    ASSERT_EQ(balances.exitCode, 0) << balances.err.toStdString();
    EXPECT_EQ(balances.out, "DP\t0.00\t0.00\t0.00\nWA\t10.00\t12.50\t-2.50\nTOTAL\t10.00\t12.50\t-2.50\n");
}

} // namespace
