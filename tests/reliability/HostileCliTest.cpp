// Every ledview-cli command on a demo suite with the hostile accounts, through the
// real program: no command fails, values come out as stored, searches find them.
#include "demosuite/HostileData.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out, err;
};

class HostileCliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (cli().isEmpty())
            return;
        s_dir = std::make_unique<QTemporaryDir>();
        s_demo = run({"demo", suite(), "--locations", "5", "--years", "1", "--hostile"});
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override
    {
        if (cli().isEmpty())
            GTEST_SKIP() << "LEDVIEW_CLI is not set";
        ASSERT_EQ(s_demo.exitCode, 0) << s_demo.err.toStdString();
    }

    static QString cli() { return qEnvironmentVariable("LEDVIEW_CLI"); }
    static QString suite() { return s_dir->path() + "/suite"; }
    static QString account() { return QString("%1-%2").arg(HostileData::CustKey).arg(HostileData::LocKey); }

    static CliRun run(const QStringList& args)
    {
        QProcess process;
        process.start(cli(), args);
        CliRun result;
        if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.exitCode = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    static CliRun command(QStringList args) { return run(QStringList{"--home", suite()} + args); }

    static inline std::unique_ptr<QTemporaryDir> s_dir;
    static inline CliRun s_demo;
};

TEST_F(HostileCliTest, EveryCommandSucceedsOnTheHostileAccounts)
{
    const QString pdf = s_dir->path() + "/hostile.pdf";
    const QList<QStringList> commands = {
        {"journal", account()},
        {"journal", account(), "--csv", "--consolidate-payments", "--apply-multiplier"},
        {"journal", account(), "--hide-comments"},
        {"account", account()},
        {"balances", account(), "--as-of", "5/3/2017"},
        {"balances", account(), "--as-of", "12/31/9999"},
        {"print", account(), "--pdf", pdf},
        {"search", "--by", "1", "'"},
        {"sql", "select count(*) from histcomments where comment like '*[[]*'"},
    };
    for (const QStringList& args : commands) {
        const CliRun r = command(args);
        EXPECT_EQ(r.exitCode, 0) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        // Qt may note its environment on stderr; the program's own messages start with its name.
        EXPECT_FALSE(r.err.contains("ledview-cli:")) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_FALSE(r.out.isEmpty()) << args.join(' ').toStdString();
    }
    // Every text column of every hostile customer reaches its own journal header.
    for (qsizetype i = 0; i < HostileData::texts().size(); ++i) {
        const int key = HostileData::FirstTextCustomer + static_cast<int>(i);
        const CliRun r = command({"account", QString("%1-%1").arg(key)});
        EXPECT_EQ(r.exitCode, 0) << key << ": " << r.err.toStdString();
    }
}

TEST_F(HostileCliTest, JournalShowsTheStoredTexts)
{
    const CliRun r = command({"journal", account(), "--csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const QVariant& text : HostileData::texts()) {
        QString quoted = text.toString().trimmed();
        quoted.replace("\"", "\"\"");
        EXPECT_TRUE(r.out.contains(quoted)) << text.toString().toStdString();
    }
}

TEST_F(HostileCliTest, SearchFindsLiteralQuotesAndBrackets)
{
    struct Case {
        const char* by;
        const char* typed;
        const char* expected; // a line that must be among the results
    };
    const Case cases[] = {
        {"1", "'", "O'Brien's"},        {"1", "[[]", "[bracket] ]clo"}, {"1", "%", "100% _under_"},
        {"1", "[*]", "*star* ?any #1"}, {"1", "中", "é ü 中文 ñ"},      {"0", "H'1", "H'1[%]"},
    };
    for (const Case& c : cases) {
        const CliRun r = command({"search", "--by", c.by, QString::fromUtf8(c.typed)});
        EXPECT_EQ(r.exitCode, 0) << c.typed << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.expected))) << c.typed << ": " << r.out.toStdString();
    }
    // A search for the text an injection would need finds it as text and changes nothing.
    const CliRun injection = command({"search", "--by", "1", "x'); drop table histcomments; --"});
    EXPECT_EQ(injection.exitCode, 0) << injection.err.toStdString();
    const CliRun still = command({"sql", "select count(*) > 0 from histcomments"});
    EXPECT_EQ(still.out, "1\n");
}

} // namespace
