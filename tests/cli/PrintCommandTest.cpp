#include "support/PdfTools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Exit code and standard output of one ledview-cli run.
std::pair<int, QString> cli(const QStringList& args)
{
    QProcess process;
    process.start(qEnvironmentVariable("LEDVIEW_CLI"), args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, QString()};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

TEST(PrintCommand, WritesTheJournalOrItsRangeAsAPdf)
{
    if (qEnvironmentVariableIsEmpty("LEDVIEW_CLI"))
        GTEST_SKIP() << "LEDVIEW_CLI is not set";
    QTemporaryDir dir;
    const QString home = dir.filePath("suite");
    ASSERT_EQ(cli({"demo", home, "--locations", "5", "--years", "3", "--seed", "7"}).first, 0);
    const QString pdf = dir.filePath("journal.pdf");

    const auto [status, out] = cli({"--home", home, "print", "1-1", "--pdf", pdf});
    ASSERT_EQ(status, 0);
    const QRegularExpressionMatch counts = QRegularExpression("^(\\d+) rows, (\\d+) pages").match(out);
    ASSERT_TRUE(counts.hasMatch()) << out.toStdString();
    EXPECT_GT(counts.captured(1).toInt(), 48);
    if (PdfTools::available()) {
        EXPECT_EQ(PdfTools::pageCount(pdf), counts.captured(2).toInt());
    }

    const auto part = cli({"--home", home, "print", "1-1", "--pdf", pdf, "--first", "5", "--last", "14"});
    EXPECT_TRUE(part.second.startsWith("10 rows, 1 pages")) << part.second.toStdString();

    const QStringList wrongArguments[] = {{"1-1"}, {"0-1", "--pdf", pdf}, {"1-1", "--pdf", pdf, "--first", "-3"}};
    for (const QStringList& wrong : wrongArguments)
        EXPECT_EQ(cli(QStringList{"--home", home, "print"} + wrong).first, 2) << wrong.join(' ').toStdString();
}

} // namespace
