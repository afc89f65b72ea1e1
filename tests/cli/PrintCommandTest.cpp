#include "support/PdfTools.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int first = -1; // exit code
    QString second; // standard output
    QString error; // standard error
};

// Exit code, standard output and standard error of one ledview-cli run.
CliRun cli(const QStringList& args)
{
    QProcess process;
    process.start(qEnvironmentVariable("LEDVIEW_CLI"), args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(PrintCommand, WritesTheJournalOrItsRangeAsAPdf)
{
    if (qEnvironmentVariableIsEmpty("LEDVIEW_CLI"))
        GTEST_SKIP() << "LEDVIEW_CLI is not set";
    QTemporaryDir dir;
    const QString home = dir.filePath("suite");
    ASSERT_EQ(cli({"demo", home, "--locations", "5", "--years", "3", "--seed", "7"}).first, 0);
    const QString pdf = dir.filePath("journal.pdf");

    const auto [status, out, err] = cli({"--home", home, "print", "1-1", "--pdf", pdf});
    ASSERT_EQ(status, 0);
    const QRegularExpressionMatch counts = QRegularExpression("^(\\d+) rows, (\\d+) pages").match(out);
    ASSERT_TRUE(counts.hasMatch()) << out.toStdString();
    EXPECT_GT(counts.captured(1).toInt(), 48);
    if (PdfTools::available()) {
        EXPECT_EQ(PdfTools::pageCount(pdf), counts.captured(2).toInt());
    }

    const auto part = cli({"--home", home, "print", "1-1", "--pdf", pdf, "--first", "5", "--last", "14"});
    EXPECT_TRUE(part.second.startsWith("10 rows, 1 pages")) << part.second.toStdString();

    // A date range prints the rows posted in it, as the journal window's walk finds them.
    QStringList posted;
    for (const QString& line : cli({"--home", home, "journal", "1-1", "--csv"}).second.split('\n').mid(1))
        posted << line.section(',', 0, 0);
    const QString year = posted.value(posted.size() / 2).section('/', 2, 2);
    const qsizetype march = std::count_if(posted.begin(), posted.end(), [&](const QString& date) {
        const QDate day = QDate::fromString(date, "M/d/yyyy");
        return day.isValid() && day.month() == 3 && day.year() == year.toInt();
    });
    ASSERT_GT(march, 0);
    const auto range =
        cli({"--home", home, "print", "1-1", "--pdf", pdf, "--from", "3/1/" + year, "--to", "3/31/" + year});
    EXPECT_TRUE(range.second.startsWith(QString("%1 rows, 1 pages").arg(march))) << range.second.toStdString();
    const auto fromOnly = cli({"--home", home, "print", "1-1", "--pdf", pdf, "--from", "3/1/" + year});
    EXPECT_EQ(fromOnly.first, 0) << fromOnly.error.toStdString();

    const QStringList wrongArguments[] = {{"1-1"},
                                          {"0-1", "--pdf", pdf},
                                          {"1-1", "--pdf", pdf, "--first", "-3"},
                                          {"1-1", "--pdf", pdf, "--first", "9", "--last", "5"},
                                          {"1-1", "--pdf", pdf, "--first", "100000"},
                                          {"1-1", "--pdf", pdf, "--from", "1/1/2099"},
                                          {"1-1", "--pdf", pdf, "--from", "3/32/2017"},
                                          {"1-1", "--pdf", pdf, "--from", "1/1/2017", "--first", "2"}};
    for (const QStringList& wrong : wrongArguments) {
        QFile::remove(pdf);
        const CliRun run = cli(QStringList{"--home", home, "print"} + wrong);
        EXPECT_EQ(run.first, 2) << wrong.join(' ').toStdString();
        EXPECT_FALSE(run.error.isEmpty()) << wrong.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(pdf)) << wrong.join(' ').toStdString();
    }
}

} // namespace
