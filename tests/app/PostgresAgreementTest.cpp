// One suite on a file and copied to a server: every billing path must give the same values on both.

#include "app/BillingCopy.h"
#include "app/HistoryModule.h"
#include "app/Main.h"
#include "demosuite/DemoSuite.h"
#include "demosuite/HostileData.h"
#include "journal/HistoryComments.h"
#include "journal/JournalLoader.h"
#include "platform/SqlStatement.h"
#include "readings/ReadingsModel.h"
#include "selection/AccountBalance.h"
#include "selection/SearchList.h"
#include "selection/SearchOption.h"
#include "support/PostgresTestServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Table = QStringList;

constexpr int ClerkSteps = 10;

// Each value with its storage class, so an integer come back as a real shows as a difference.
Table dump(SqlConnection& db, const QString& sql, const QVariantList& binds = {})
{
    Table rows;
    QSqlQuery q = db.query(sql, binds);
    EXPECT_TRUE(q.isActive()) << sql.toStdString() << ": " << db.outcome().message().toStdString();
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << QString::fromLatin1(q.value(i).typeName()) + QLatin1Char(':') + q.value(i).toString();
        rows << row.join(" | ");
    }
    return rows;
}

std::string firstDifference(const Table& file, const Table& server)
{
    for (qsizetype i = 0; i < std::max(file.size(), server.size()); ++i) {
        if (file.value(i) != server.value(i))
            return "row " + std::to_string(i) + "\nfile:   " + file.value(i).toStdString()
                + "\nserver: " + server.value(i).toStdString();
    }
    return "none";
}

class PostgresAgreementTest : public ::testing::Test {
protected:
    // Written and copied once; each test copies the files and makes its server database from a template.
    static void SetUpTestSuite()
    {
        s_pristine = std::make_unique<PostgresTestServer>();
        s_files = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(s_pristine->ready());
        DemoOptions options;
        options.locations = 12;
        options.years = 2;
        const DemoSummary demo = DemoSuite::write(s_files->path(), options);
        ASSERT_TRUE(demo.outcome) << demo.outcome.message().toStdString();
        SqlConnection billing = SqlConnection::open(demo.billingPath);
        const Outcome hostile = HostileData::write(billing);
        ASSERT_TRUE(hostile) << hostile.message().toStdString();
        SqlConnection server = SqlConnection::open(s_pristine->uri());
        const Outcome copied = BillingCopy(billing, server).run();
        ASSERT_TRUE(copied) << copied.message().toStdString();
    }

    void TearDown() override { runPlain("drop database if exists " + m_database + " with (force)"); }
    static void TearDownTestSuite()
    {
        s_pristine.reset();
        s_files.reset();
    }

    static QString uriOf(const QString& database)
    {
        const QString uri = s_pristine->uri();
        return uri.left(uri.lastIndexOf('/') + 1) + database;
    }

    static bool runPlain(const QString& sql)
    {
        SqlConnection admin = SqlConnection::open(uriOf("postgres"));
        QSqlQuery plain(admin.database());
        return plain.exec(sql);
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_pristine->ready());
        static int copies = 0;
        m_database = s_pristine->database() + "_" + QString::number(++copies);
        ASSERT_TRUE(runPlain("create database " + m_database + " template " + s_pristine->database()));
        for (const QString& file : QDir(s_files->path()).entryList(QDir::Files)) {
            for (const QTemporaryDir* copy : {&m_file, &m_onServer})
                ASSERT_TRUE(QFile::copy(QDir(s_files->path()).filePath(file), QDir(copy->path()).filePath(file)));
        }
        ASSERT_TRUE(BillingCopy::repoint(m_onServer.path(), uriOf(m_database)));
        prepare(m_fileModule, m_file.path());
        prepare(m_serverModule, m_onServer.path());
        ASSERT_TRUE(m_serverModule.BillingDbPath.startsWith(QLatin1String("postgresql://")));
    }

    static void prepare(HistoryModule& module, const QString& folder)
    {
        module.ProgramFolder = folder;
        ASSERT_EQ(Main::configurationProblem(module), QString());
        module.WorkDbPath = QDir(folder).filePath(QStringLiteral("ledview120000.mdb"));
        module.UserId = QStringLiteral("CLERK1");
        module.BusyTimeoutMs = 200;
    }

    std::vector<std::pair<int, int>> accounts()
    {
        std::vector<std::pair<int, int>> keys;
        SqlConnection billing = m_fileModule.openBilling();
        QSqlQuery q = billing.query(QStringLiteral("select custkey, lockey from \"tbl location\" order by lockey"));
        while (q.next())
            keys.emplace_back(q.value(0).toInt(), q.value(1).toInt());
        return keys;
    }

    static void open(HistoryModule& module, int custKey, int locKey)
    {
        std::tie(module.CustKey, module.LocKey) = std::tie(custKey, locKey);
    }

    static void loadJournal(HistoryModule& module, JournalFlags flags = {})
    {
        const JournalLoader::Result loaded = JournalLoader::load(module, flags, QString());
        ASSERT_TRUE(loaded.extraction.outcome) << loaded.extraction.outcome.message().toStdString();
    }

    static Table dumpWork(HistoryModule& module, const QString& sql)
    {
        EXPECT_TRUE(module.OpenWorkDb());
        const Table rows = dump(module.WorkDb, sql);
        module.CloseWorkDb();
        return rows;
    }

    HistoryModule* sides[2] = {&m_fileModule, &m_serverModule};
    static inline std::unique_ptr<PostgresTestServer> s_pristine;
    static inline std::unique_ptr<QTemporaryDir> s_files;
    QString m_database;
    QTemporaryDir m_file;
    QTemporaryDir m_onServer;
    HistoryModule m_fileModule;
    HistoryModule m_serverModule;
};

TEST_F(PostgresAgreementTest, EveryAccountsJournalAndBalancesAreTheSame)
{
    const QStringList tables = AccountExtraction::workTables() + QStringList{QStringLiteral("jurn")};
    // clang-format off
    const std::pair<const char*, JournalFlags> views[] = {
        {"as stored", {}},
        {"consolidated, multiplied, previous readings", {JournalFlags::False, JournalFlags::True, JournalFlags::True, JournalFlags::True}},
        {"comments hidden", {JournalFlags::True, JournalFlags::False, JournalFlags::False, JournalFlags::False}},
    };
    // clang-format on
    int compared = 0;
    for (const auto& [custKey, locKey] : accounts()) {
        for (const auto& [view, viewFlags] : views) {
            SCOPED_TRACE(QStringLiteral("account %1-%2, %3").arg(custKey).arg(locKey).arg(view).toStdString());
            std::map<QString, Table> seen[2];
            for (int side = 0; side < 2; ++side) {
                HistoryModule& module = *sides[side];
                open(module, custKey, locKey);
                ASSERT_NO_FATAL_FAILURE(loadJournal(module, viewFlags));
                for (const QString& table : tables)
                    seen[side][table] = dumpWork(module, QStringLiteral("select * from %1 order by rowid").arg(table));
                QString caption;
                ASSERT_TRUE(AccountBalance::forAccount(module, custKey, locKey, caption));
                seen[side][QStringLiteral("balance line")] = {caption};
            }
            for (const auto& [table, rows] : seen[0])
                EXPECT_TRUE(rows == seen[1][table])
                    << table.toStdString() << ": " << firstDifference(rows, seen[1][table]);
            ++compared;
        }
    }
    EXPECT_GT(compared, 30);
}

// The account list in every build order, and each re-sort of the first build, with
// the scratch table the journal's paging reads.
TEST_F(PostgresAgreementTest, TheAccountListIsTheSameInEveryOrder)
{
    const auto listed = [](HistoryModule& module, int build, int resort) {
        SearchLines lines;
        EXPECT_TRUE(SearchList::prepare(module));
        const Outcome built = SearchList::build(module, build, lines);
        EXPECT_TRUE(built) << built.message().toStdString();
        EXPECT_TRUE(resort < 0 || SearchList::sort(resort, lines));
        QStringList shown;
        for (qsizetype row = 0; row < lines.size(); ++row)
            shown << lines.text(row).toString()
                    + QStringLiteral(" %1-%2").arg(lines.custKey(row)).arg(lines.locKey(row));
        return std::make_pair(shown, dumpWork(module, QStringLiteral("select * from histsrch order by rowid")));
    };
    for (int build = 0; build < SearchOption::Count; ++build) {
        for (int resort : {-1, (build + 1) % SearchOption::Count}) {
            SCOPED_TRACE(QStringLiteral("built in order %1, re-sorted to %2").arg(build).arg(resort).toStdString());
            const auto onFile = listed(m_fileModule, build, resort);
            const auto onServer = listed(m_serverModule, build, resort);
            EXPECT_GT(onFile.first.size(), 12);
            EXPECT_EQ(onFile.first, onServer.first);
            EXPECT_TRUE(onFile.second == onServer.second) << firstDifference(onFile.second, onServer.second);
        }
    }
    // A server that keeps the location's sequence as text: the list still shows and sorts it as a number.
    ASSERT_TRUE(SqlConnection::open(uriOf(m_database))
                    .exec(QStringLiteral("alter table \"tbl location\" alter column locseq type text")));
    for (int build = 0; build < SearchOption::Count; ++build) {
        SCOPED_TRACE(QStringLiteral("sequence as text, built in order %1").arg(build).toStdString());
        const auto onFile = listed(m_fileModule, build, -1);
        const auto onServer = listed(m_serverModule, build, -1);
        EXPECT_EQ(onFile.first, onServer.first);
        EXPECT_TRUE(onFile.second == onServer.second) << firstDifference(onFile.second, onServer.second);
    }
}

// Column types other tools may make on the server still reach the scratch as the suite stores them.
TEST_F(PostgresAgreementTest, ServerColumnsOfOtherTypesReachTheScratchAsTheSuiteStoresThem)
{
    // type, value as the server reads it, typeof() and quote() of the scratch's value
    // clang-format off
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"integer", "-7", "integer -7"},
        {"smallint", "12", "integer 12"},
        {"bigint", "9223372036854775807", "integer 9223372036854775807"},
        {"real", "0.1", "real 0.1"},
        {"double precision", "'-Infinity'", "real -Inf"},
        {"double precision", "'NaN'", "null NULL"},
        {"boolean", "true", "integer -1"},
        {"boolean", "false", "integer 0"},
        {"numeric(12,4)", "12.5", "real 12.5"},
        {"char(4)", "'ab'", "text 'ab  '"},
        {"varchar(40)", "E'a\\tb\\nc\\rd\\\\e \\b\\f\\013 中'", "text 'a\tb\nc\rd\\e \b\f\v 中'"},
        {"text", "E'\\\\N'", "text '\\N'"},
        {"text", "''", "text ''"},
        {"bytea", "'\\x00ff5c'::bytea", "blob X'00FF5C'"},
        {"date", "'2024-02-29'", "text '2024-02-29'"},
        {"timestamp", "'2024-02-29 13:14:15'", "text '2024-02-29 13:14:15'"},
    };
    // clang-format on
    SqlConnection admin = SqlConnection::open(uriOf(m_database));
    open(m_serverModule, 1, 1);
    for (const auto& [type, value, expected] : cases) {
        SCOPED_TRACE(std::string(type) + " " + value);
        ASSERT_TRUE(admin.exec(QStringLiteral("alter table \"tbl deposit\" add column probe %1 default %2")
                                   .arg(QLatin1String(type), QString::fromUtf8(value))))
            << admin.outcome().message().toStdString();
        ASSERT_NO_FATAL_FAILURE(loadJournal(m_serverModule));
        const Table stored =
            dumpWork(m_serverModule, QStringLiteral("select typeof(probe) || ' ' || quote(probe) from dep"));
        ASSERT_FALSE(stored.isEmpty());
        EXPECT_EQ(stored.value(0), QStringLiteral("QString:") + QString::fromUtf8(expected));
        ASSERT_TRUE(admin.exec(QStringLiteral("alter table \"tbl deposit\" drop column probe")));
    }
}

// Comments and readings saved on both sides; of two clerks saving one reading the second is
// refused, shown the stored value, and may type it again.
TEST_F(PostgresAgreementTest, CommentsAndReadingsAreSavedAlike)
{
    const QDate date(2024, 3, 5);
    const QString padded = QStringLiteral("  it's 100% _padded_ [x] 中  ");
    // clang-format off
    const std::pair<int, const char*> edits[] = {{ReadingColumns::Previous, "1000"}, {ReadingColumns::Present, "1234.5"},
        {ReadingColumns::ReadDate, "2024-02-29"}, {ReadingColumns::MSN, "M'1 [x]%"}, {ReadingColumns::Multiplier, ""}};
    // clang-format on
    QStringList texts[2];
    for (int side = 0; side < 2; ++side) {
        HistoryModule* module = sides[side];
        SCOPED_TRACE(module->billingName().toStdString());
        open(*module, HostileData::CustKey, HostileData::LocKey);
        JournalFlags flags;
        JournalLoader::load(*module, flags, QString());
        for (const QString& text : {padded, QStringLiteral("kept"), padded})
            ASSERT_TRUE(HistoryComments::add(*module, date, text).outcome);
        // The journal shows comments trimmed: that text deletes both padded copies.
        ASSERT_TRUE(HistoryComments::remove(*module, date, padded.trimmed()).outcome);
        // A stored comment of the hostile account, matched through its odd date text.
        ASSERT_TRUE(HistoryComments::remove(*module, QDate(2017, 5, 2), QStringLiteral("100% _under_")).outcome);

        ReadingsModel model;
        ASSERT_TRUE(model.load(module->openBilling(), 1, 1));
        ASSERT_GT(model.rowCount(), 3);
        for (const auto& [column, typed] : edits) {
            const auto written = model.write(1, column, QString::fromUtf8(typed));
            ASSERT_TRUE(written.ok) << written.error.toStdString();
        }
        // The edited account as saved, and the hostile one as it is shown.
        for (const int key : {1, HostileData::CustKey}) {
            ReadingsModel reloaded;
            ASSERT_TRUE(reloaded.load(module->openBilling(), key, key == 1 ? 1 : HostileData::LocKey));
            for (int row = 0; row < reloaded.rowCount(); ++row)
                for (int column = 0; column < ReadingColumns::ColumnCount; ++column)
                    texts[side] << reloaded.text(row, column);
        }

        ReadingsModel first;
        ReadingsModel second;
        ASSERT_TRUE(first.load(module->openBilling(), HostileData::CustKey, HostileData::LocKey));
        ASSERT_TRUE(second.load(module->openBilling(), HostileData::CustKey, HostileData::LocKey));
        ASSERT_TRUE(first.write(2, ReadingColumns::Present, QStringLiteral("777")).ok);
        const auto refused = second.write(2, ReadingColumns::Present, QStringLiteral("888"));
        EXPECT_FALSE(refused.ok);
        EXPECT_TRUE(refused.reloaded);
        EXPECT_NE(refused.error.indexOf(QStringLiteral("777")), -1) << refused.error.toStdString();
        EXPECT_EQ(second.text(2, ReadingColumns::Present), QStringLiteral("777"));
        // Another column of the same reading is the clerk's own to change.
        EXPECT_TRUE(second.write(2, ReadingColumns::MSN, QStringLiteral("NEW")).ok);
        EXPECT_TRUE(second.write(2, ReadingColumns::Present, QStringLiteral("888")).ok);
        ReadingsModel stored;
        ASSERT_TRUE(stored.load(module->openBilling(), HostileData::CustKey, HostileData::LocKey));
        EXPECT_EQ(stored.text(2, ReadingColumns::Present), QStringLiteral("888"));
        EXPECT_EQ(stored.text(2, ReadingColumns::MSN), QStringLiteral("NEW"));
    }
    EXPECT_EQ(texts[0], texts[1]);
    // Sorted here: the engines order nulls and non-ASCII text differently.
    const QString sql =
        QStringLiteral("select edate, comment, userid from histcomments where custkey = ? and lockey = ?");
    SqlConnection file = m_fileModule.openBilling();
    SqlConnection server = m_serverModule.openBilling();
    Table onFile = dump(file, sql, {HostileData::CustKey, HostileData::LocKey});
    Table onServer = dump(server, sql, {HostileData::CustKey, HostileData::LocKey});
    onFile.sort();
    onServer.sort();
    EXPECT_TRUE(onFile == onServer) << firstDifference(onFile, onServer);
    EXPECT_EQ(dump(file, "select count(*) from histcomments where comment = ?", {"kept"}), Table{"qlonglong:1"});
}

TEST_F(PostgresAgreementTest, SeveralClerksAtOnceLoseNothing)
{
    constexpr int clerks = 4;
    ReadingsModel before;
    ASSERT_TRUE(before.load(m_serverModule.openBilling(), 1, 1));
    const int present = before.text(0, ReadingColumns::Present).toInt();
    before.release();
    std::vector<std::unique_ptr<QProcess>> processes;
    std::vector<std::unique_ptr<QTemporaryDir>> scratch;
    for (int clerk = 1; clerk <= clerks; ++clerk) {
        scratch.push_back(std::make_unique<QTemporaryDir>());
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LEDVIEW_CLERK_JOB"),
                           QStringList{m_onServer.path(), scratch.back()->path(), QString::number(clerk)}.join('|'));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--gtest_filter=PostgresClerkProcess.WorksOnTheSharedAccount")});
        processes.push_back(std::move(process));
    }
    for (auto& process : processes) {
        ASSERT_TRUE(process->waitForFinished(120000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAll().toStdString();
    }

    SqlConnection server = m_serverModule.openBilling();
    // Every other note kept, and no raise of the reading lost.
    EXPECT_EQ(
        server.scalar(QStringLiteral("select count(*) from histcomments where comment like 'clerk % note %'")).toInt(),
        clerks * ClerkSteps / 2);
    ReadingsModel after;
    ASSERT_TRUE(after.load(m_serverModule.openBilling(), 1, 1));
    EXPECT_EQ(after.text(0, ReadingColumns::Present).toInt(), present + clerks * ClerkSteps);
}

// A kept connection the server ended or left in a transaction is replaced at the next open;
// one dropped under the readings fails only the action in hand.
TEST_F(PostgresAgreementTest, ALostOrUnfitConnectionFailsOneActionAtMost)
{
    SqlConnection admin = SqlConnection::open(uriOf(m_database));
    struct Case {
        const char* between;
        std::function<void(qint64 backend)> happen;
        bool sameBackend;
    };
    // clang-format off
    const Case cases[] = {
        {"nothing", [](qint64) {}, true},
        {"the server ended it", [&](qint64 backend) { ASSERT_TRUE(admin.exec("select pg_terminate_backend(?, 10000)", {backend})); }, false},
        {"left in a transaction", [&](qint64) { ASSERT_TRUE(m_serverModule.BillingDb.exec("begin")); }, false},
    };
    // clang-format on
    open(m_serverModule, 1, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.between);
        JournalFlags flags;
        const qsizetype rows = JournalLoader::load(m_serverModule, flags, QString()).rows.size();
        ASSERT_TRUE(m_serverModule.BillingDb.isOpen());
        const qint64 backend = m_serverModule.BillingDb.scalar(QStringLiteral("select pg_backend_pid()")).toLongLong();
        c.happen(backend);
        const JournalLoader::Result again = JournalLoader::load(m_serverModule, flags, QString());
        ASSERT_TRUE(again.extraction.outcome) << again.extraction.outcome.message().toStdString();
        EXPECT_TRUE(again.extraction.missing.isEmpty()) << again.extraction.missing.join(',').toStdString();
        EXPECT_EQ(again.rows.size(), rows);
        EXPECT_EQ(m_serverModule.BillingDb.scalar(QStringLiteral("select pg_backend_pid()")).toLongLong() == backend,
                  c.sameBackend);
    }

    ReadingsModel model;
    ASSERT_TRUE(model.load(m_serverModule.openBilling(), HostileData::CustKey, HostileData::LocKey));
    ASSERT_TRUE(admin.exec(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity "
                                          "where datname = current_database() and pid <> pg_backend_pid()")));
    const auto failed = model.write(1, ReadingColumns::MSN, QStringLiteral("AFTER"));
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.isEmpty());
    const auto retried = model.write(1, ReadingColumns::MSN, QStringLiteral("AFTER"));
    EXPECT_TRUE(retried.ok) << retried.error.toStdString();
}

// One clerk of the concurrency test, in its own process: adds notes deleting every other one, and
// raises the shared reading one at a time, typing it again when another clerk got there first.
TEST(PostgresClerkProcess, WorksOnTheSharedAccount)
{
    const QString job = qEnvironmentVariable("LEDVIEW_CLERK_JOB");
    if (job.isEmpty())
        GTEST_SKIP() << "run by PostgresAgreementTest.SeveralClerksAtOnceLoseNothing";
    const QStringList parts = job.split(QLatin1Char('|'));
    ASSERT_EQ(parts.size(), 3);
    HistoryModule module;
    module.ProgramFolder = parts[0];
    ASSERT_EQ(Main::configurationProblem(module), QString());
    module.WorkDbPath = QDir(parts[1]).filePath(QStringLiteral("ledview.mdb"));
    module.UserId = QStringLiteral("CLERK") + parts[2];
    module.CustKey = 1;
    module.LocKey = 1;
    JournalFlags flags;
    ASSERT_TRUE(JournalLoader::load(module, flags, QString()).extraction.outcome);
    const QDate date(2025, 1, 1);
    for (int i = 0; i < ClerkSteps; ++i) {
        const QString text = QStringLiteral("clerk %1 note %2").arg(parts[2]).arg(i);
        ASSERT_TRUE(HistoryComments::add(module, date, text).outcome);
        ASSERT_TRUE(i % 2 == 0 || HistoryComments::remove(module, date, text).outcome);
    }
    ReadingsModel readings;
    ASSERT_TRUE(readings.load(module.openBilling(), 1, 1));
    for (int i = 0; i < ClerkSteps; ++i) {
        for (int attempt = 0;; ++attempt) {
            ASSERT_LT(attempt, 200);
            const int shown = readings.text(0, ReadingColumns::Present).toInt();
            const auto written = readings.write(0, ReadingColumns::Present, QString::number(shown + 1));
            if (written.ok)
                break;
            ASSERT_TRUE(written.reloaded) << written.error.toStdString();
        }
    }
}

} // namespace
