#include "support/PdfTools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun cli(const QStringList& args)
{
    QProcess process;
    process.start(qEnvironmentVariable("LEDVIEW_CLI"), args);
    CliRun result;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

class PrintCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("LEDVIEW_CLI"))
            GTEST_SKIP() << "LEDVIEW_CLI is not set";
        const CliRun demo = cli({"demo", dir.filePath("suite"), "--locations", "5", "--years", "3", "--seed", "7"});
        ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString();
    }

    CliRun print(QStringList args)
    {
        return cli(QStringList{"--home", dir.filePath("suite"), "print"} + args);
    }

    QTemporaryDir dir;
};

TEST_F(PrintCommandTest, WritesTheJournalAsAPdf)
{
    const QString pdf = dir.filePath("journal.pdf");
    const CliRun whole = print({"1-1", "--pdf", pdf});
    ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    const QRegularExpressionMatch counts = QRegularExpression("^(\\d+) rows, (\\d+) pages").match(whole.out);
    ASSERT_TRUE(counts.hasMatch()) << whole.out.toStdString();
    EXPECT_GT(counts.captured(1).toInt(), 48);
    if (PdfTools::available()) {
        EXPECT_EQ(PdfTools::pageCount(pdf), counts.captured(2).toInt());
        EXPECT_TRUE(PdfTools::text(pdf).contains("Customer History"));
    }

    const CliRun part = print({"1-1", "--pdf", pdf, "--first", "5", "--last", "14"});
    ASSERT_EQ(part.exitCode, 0) << part.err.toStdString();
    EXPECT_TRUE(part.out.startsWith("10 rows, 1 pages")) << part.out.toStdString();
}

TEST_F(PrintCommandTest, WrongArgumentsAreUsageErrors)
{
    const QStringList wrong[] = {{"1-1"}, {"--pdf", "x.pdf"}, {"0-1", "--pdf", "x.pdf"},
                                 {"1-1", "--pdf", "x.pdf", "--first", "-3"}, {"1-1", "--pdf"}};
    for (const QStringList& args : wrong) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(print(args).exitCode, 2);
    }
}

TEST_F(PrintCommandTest, AnAccountWithoutHistoryFails)
{
    const CliRun run = print({"999-999", "--pdf", dir.filePath("none.pdf")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("No history records exist for this customer.")) << run.err.toStdString();
}

} // namespace
