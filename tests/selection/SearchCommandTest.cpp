#include "support/TestSuite.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

class SearchCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("LEDVIEW_CLI"))
            GTEST_SKIP() << "LEDVIEW_CLI is not set";
        add(1, 10, "300", "O'BRIEN PAT", "L-3");
        add(2, 20, "100", "SMITH ANN", "L-1");
        add(3, 30, "200", "SMITHERS [BOB]", "L-2");
    }

    void add(int cust, int loc, const char* accno, const char* name, const char* id)
    {
        suite.exec("insert into [tbl customer] (custkey, accno, lookupname, status) values (?, ?, ?, 'ACTIVE')",
                   {cust, accno, name});
        suite.exec("insert into [tbl location] (lockey, custkey, ID, locroute, locseq) values (?, ?, ?, 'R', ?)",
                   {loc, cust, id, loc});
    }

    // The account numbers printed, one a line, and the exit code.
    std::pair<int, QStringList> search(const QStringList& args)
    {
        QProcess process;
        process.start(qEnvironmentVariable("LEDVIEW_CLI"), QStringList{"--home", suite.folder(), "search"} + args);
        if (!process.waitForFinished(60000))
            return {-1, {}};
        QStringList accounts;
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const QString& line : lines)
            accounts << line.left(12).trimmed();
        return {process.exitCode(), accounts};
    }

    TestSuite suite;
};

TEST_F(SearchCommandTest, PrintsMatchingLinesInBuildOrderOrRejectsTheArguments)
{
    // clang-format off
    const struct { QStringList args; QStringList accounts; int exitCode = 0; } cases[] = {
        {{}, {"100", "200", "300"}}, {{"--by", "1"}, {"300", "100", "200"}}, {{"--by", "1", "smith"}, {"100", "200"}},
        {{"--by=1", "o'b"}, {"300"}}, {{"--by", "1", "[bob]"}, {"300", "200"}}, // the operator's pattern: a set, any name with a b or an o
        {{"0"}, {"100", "200", "300"}}, // contains, as Find First
        {{"--by", "4", "zzz"}, {}},
        {{"--by", "5"}, {}, 2}, {{"--by"}, {}, 2}, {{"a", "b"}, {}, 2}, // only the five options, one text
    };
    // clang-format on
    for (const auto& c : cases) {
        const auto [exitCode, accounts] = search(c.args);
        EXPECT_EQ(exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(accounts, c.accounts) << c.args.join(' ').toStdString();
    }
}

} // namespace
