// One suite on a file and copied to a server: every billing path must give the same values on both.

#include "app/BillingCopy.h"
#include "app/HistoryModule.h"
#include "app/Main.h"
#include "demosuite/DemoSuite.h"
#include "demosuite/HostileData.h"
#include "journal/HistoryComments.h"
#include "journal/JournalLoader.h"
#include "readings/ReadingsModel.h"
#include "selection/AccountBalance.h"
#include "selection/SearchList.h"
#include "selection/SearchOption.h"
#include "support/PostgresTestServer.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Table = QStringList;

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

// Row by row, so a failure shows the first difference rather than two whole tables.
void expectSame(const Table& file, const Table& server)
{
    for (qsizetype i = 0; i < std::max(file.size(), server.size()); ++i)
        ASSERT_EQ(file.value(i), server.value(i)) << "row " << i;
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
        std::tie(options.locations, options.years) = std::tuple(12, 2);
        const DemoSummary demo = DemoSuite::write(s_files->path(), options);
        ASSERT_TRUE(demo.outcome) << demo.outcome.message().toStdString();
        SqlConnection billing = SqlConnection::open(demo.billingPath);
        ASSERT_TRUE(HostileData::write(billing));
        SqlConnection server = SqlConnection::open(s_pristine->uri());
        const Outcome copied = BillingCopy(billing, server).run();
        ASSERT_TRUE(copied) << copied.message().toStdString();
    }
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

    // CREATE and DROP DATABASE cannot be prepared.
    static bool runPlain(const QString& sql)
    {
        SqlConnection admin = SqlConnection::open(uriOf("postgres"));
        return QSqlQuery(admin.database()).exec(sql);
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
        for (HistoryModule* module : sides) {
            module->ProgramFolder = (module == &m_fileModule ? m_file : m_onServer).path();
            ASSERT_EQ(Main::configurationProblem(*module), QString());
            module->WorkDbPath = QDir(module->ProgramFolder).filePath(QStringLiteral("ledview120000.mdb"));
            module->UserId = QStringLiteral("CLERK1");
            module->BusyTimeoutMs = 200;
        }
        ASSERT_TRUE(m_serverModule.BillingDbPath.startsWith(QLatin1String("postgresql://")));
    }
    void TearDown() override { runPlain("drop database if exists " + m_database + " with (force)"); }

    static void loadJournal(HistoryModule& module, int custKey, int locKey, JournalFlags flags = {})
    {
        std::tie(module.CustKey, module.LocKey) = std::tie(custKey, locKey);
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

    static inline std::unique_ptr<PostgresTestServer> s_pristine;
    static inline std::unique_ptr<QTemporaryDir> s_files;
    QString m_database;
    QTemporaryDir m_file;
    QTemporaryDir m_onServer;
    HistoryModule m_fileModule;
    HistoryModule m_serverModule;
    HistoryModule* sides[2] = {&m_fileModule, &m_serverModule};
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
    std::vector<std::pair<int, int>> accounts;
    SqlConnection billing = m_fileModule.openBilling();
    for (QSqlQuery q = billing.query("select custkey, lockey from \"tbl location\" order by lockey"); q.next();)
        accounts.emplace_back(q.value(0).toInt(), q.value(1).toInt());
    ASSERT_GT(accounts.size(), 12u);
    for (const auto& [custKey, locKey] : accounts) {
        for (const auto& [view, viewFlags] : views) {
            SCOPED_TRACE(QStringLiteral("account %1-%2, %3").arg(custKey).arg(locKey).arg(view).toStdString());
            Table seen[2];
            for (int side = 0; side < 2; ++side) {
                ASSERT_NO_FATAL_FAILURE(loadJournal(*sides[side], custKey, locKey, viewFlags));
                for (const QString& table : tables) {
                    for (const QString& row : dumpWork(*sides[side], "select * from " + table + " order by rowid"))
                        seen[side] << table + ": " + row;
                }
                QString caption;
                ASSERT_TRUE(AccountBalance::forAccount(*sides[side], custKey, locKey, caption));
                seen[side] << caption;
            }
            expectSame(seen[0], seen[1]);
        }
    }
}

// The account list in every build order, and each re-sort of the first build, with the
// scratch table the journal's paging reads; then with a location sequence the server keeps
// as text, which the list still shows and sorts as a number.
TEST_F(PostgresAgreementTest, TheAccountListIsTheSameInEveryOrder)
{
    const auto listed = [](HistoryModule& module, int build, int resort) {
        SearchLines lines;
        EXPECT_TRUE(SearchList::prepare(module));
        const Outcome built = SearchList::build(module, build, lines);
        EXPECT_TRUE(built) << built.message().toStdString();
        EXPECT_TRUE(resort < 0 || SearchList::sort(resort, lines));
        Table shown = dumpWork(module, QStringLiteral("select * from histsrch order by rowid"));
        for (qsizetype row = 0; row < lines.size(); ++row)
            shown << lines.text(row).toString()
                    + QStringLiteral(" %1-%2").arg(lines.custKey(row)).arg(lines.locKey(row));
        return shown;
    };
    for (const bool sequenceAsText : {false, true}) {
        if (sequenceAsText) {
            SqlConnection server = SqlConnection::open(uriOf(m_database));
            ASSERT_TRUE(server.exec(QStringLiteral("alter table \"tbl location\" alter column locseq type text")));
            // One route whose sequences sort apart as text and as numbers (9 before 10), one not whole.
            SqlConnection file = m_fileModule.openBilling();
            for (SqlConnection* side : {&server, &file}) {
                for (const auto& [key, sequence] : {std::pair{1, "10"}, std::pair{2, "9"}, std::pair{3, "2.5"}})
                    ASSERT_TRUE(side->exec(
                        "update \"tbl location\" set locroute = 'SEQ', locseq = ? where lockey = ?", {sequence, key}));
            }
        }
        for (int build = 0; build < SearchOption::Count; ++build) {
            for (int resort : {-1, (build + 1) % SearchOption::Count}) {
                SCOPED_TRACE(testing::Message()
                             << "built " << build << ", re-sorted " << resort << ", " << sequenceAsText);
                const Table onFile = listed(m_fileModule, build, resort);
                EXPECT_GT(onFile.size(), 24);
                expectSame(onFile, listed(m_serverModule, build, resort));
            }
        }
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
    for (const auto& [type, value, expected] : cases) {
        SCOPED_TRACE(std::string(type) + " " + value);
        ASSERT_TRUE(admin.exec(QStringLiteral("alter table \"tbl deposit\" add column probe %1 default %2")
                                   .arg(QLatin1String(type), QString::fromUtf8(value))))
            << admin.outcome().message().toStdString();
        ASSERT_NO_FATAL_FAILURE(loadJournal(m_serverModule, 1, 1));
        EXPECT_EQ(dumpWork(m_serverModule, "select typeof(probe) || ' ' || quote(probe) from dep limit 1"),
                  Table{QStringLiteral("QString:") + QString::fromUtf8(expected)});
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
    const QString comments =
        QStringLiteral("select edate, comment, userid from histcomments where custkey = ? and lockey = ?");
    Table seen[2];
    for (int side = 0; side < 2; ++side) {
        HistoryModule& module = *sides[side];
        SCOPED_TRACE(module.billingName().toStdString());
        ASSERT_NO_FATAL_FAILURE(loadJournal(module, HostileData::CustKey, HostileData::LocKey));
        for (const QString& text : {padded, QStringLiteral("kept"), padded})
            ASSERT_TRUE(HistoryComments::add(module, date, text).outcome);
        // The journal shows comments trimmed: that text deletes both padded copies.
        ASSERT_TRUE(HistoryComments::remove(module, date, padded.trimmed()).outcome);
        // A stored comment of the hostile account, matched through its odd date text.
        ASSERT_TRUE(HistoryComments::remove(module, QDate(2017, 5, 2), QStringLiteral("100% _under_")).outcome);
        SqlConnection billing = module.openBilling();
        Table stored = dump(billing, comments, {HostileData::CustKey, HostileData::LocKey});
        // Sorted here: the engines order nulls and non-ASCII text differently.
        stored.sort();
        seen[side] << stored;
        EXPECT_EQ(
            billing.scalar(QStringLiteral("select count(*) from histcomments where comment = 'kept'")).toInt(), 1);

        ReadingsModel model;
        ASSERT_TRUE(model.load(module.openBilling(), 1, 1));
        for (const auto& [column, typed] : edits) {
            const auto written = model.write(1, column, QString::fromUtf8(typed));
            ASSERT_TRUE(written.ok) << written.error.toStdString();
        }
        // The edited account as saved, and the hostile one as it is shown.
        for (const auto& [custKey, locKey] : {std::pair{1, 1}, {HostileData::CustKey, HostileData::LocKey}}) {
            ReadingsModel reloaded;
            ASSERT_TRUE(reloaded.load(module.openBilling(), custKey, locKey));
            for (int row = 0; row < reloaded.rowCount(); ++row)
                for (int column = 0; column < ReadingColumns::ColumnCount; ++column)
                    seen[side] << reloaded.text(row, column);
        }

        ReadingsModel first, second;
        ASSERT_TRUE(first.load(module.openBilling(), HostileData::CustKey, HostileData::LocKey));
        ASSERT_TRUE(second.load(module.openBilling(), HostileData::CustKey, HostileData::LocKey));
        ASSERT_TRUE(first.write(2, ReadingColumns::Present, QStringLiteral("777")).ok);
        const auto refused = second.write(2, ReadingColumns::Present, QStringLiteral("888"));
        EXPECT_FALSE(refused.ok || refused.changed);
        EXPECT_TRUE(refused.reloaded);
        EXPECT_NE(refused.error.indexOf(QStringLiteral("777")), -1) << refused.error.toStdString();
        EXPECT_EQ(second.text(2, ReadingColumns::Present), QStringLiteral("777"));
        // Another column of the same reading is the clerk's own to change.
        EXPECT_TRUE(second.write(2, ReadingColumns::MSN, QStringLiteral("NEW")).ok);
        EXPECT_TRUE(second.write(2, ReadingColumns::Present, QStringLiteral("888")).ok);
        ReadingsModel stored2;
        ASSERT_TRUE(stored2.load(module.openBilling(), HostileData::CustKey, HostileData::LocKey));
        EXPECT_EQ(stored2.text(2, ReadingColumns::Present) + stored2.text(2, ReadingColumns::MSN), "888NEW");
    }
    expectSame(seen[0], seen[1]);
}

// A kept connection the server ended or left in a transaction is replaced at the next open;
// one dropped under the readings fails only the action in hand.
TEST_F(PostgresAgreementTest, ALostOrUnfitConnectionFailsOneActionAtMost)
{
    SqlConnection admin = SqlConnection::open(uriOf(m_database));
    SqlConnection& kept = m_serverModule.BillingDb;
    const auto backend = [&] { return kept.scalar(QStringLiteral("select pg_backend_pid()")).toLongLong(); };
    // clang-format off
    const std::pair<const char*, std::function<void(qint64)>> cases[] = {
        {"nothing", [](qint64) {}},
        {"the server ended it", [&](qint64 pid) { ASSERT_TRUE(admin.exec("select pg_terminate_backend(?, 10000)", {pid})); }},
        {"left in a transaction", [&](qint64) { ASSERT_TRUE(kept.exec("begin")); }},
    };
    // clang-format on
    for (const auto& [between, happen] : cases) {
        SCOPED_TRACE(between);
        JournalFlags flags;
        m_serverModule.CustKey = m_serverModule.LocKey = 1;
        const qsizetype rows = JournalLoader::load(m_serverModule, flags, QString()).rows.size();
        ASSERT_TRUE(kept.isOpen());
        const qint64 before = backend();
        happen(before);
        const JournalLoader::Result again = JournalLoader::load(m_serverModule, flags, QString());
        ASSERT_TRUE(again.extraction.outcome) << again.extraction.outcome.message().toStdString();
        EXPECT_EQ(again.extraction.missing, QStringList());
        EXPECT_EQ(again.rows.size(), rows);
        EXPECT_EQ(backend() == before, between == cases[0].first);
    }

    ReadingsModel model;
    ASSERT_TRUE(model.load(m_serverModule.openBilling(), HostileData::CustKey, HostileData::LocKey));
    ASSERT_TRUE(admin.exec(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity "
                                          "where datname = current_database() and pid <> pg_backend_pid()")));
    const auto failed = model.write(1, ReadingColumns::MSN, QStringLiteral("AFTER"));
    EXPECT_FALSE(failed.ok || failed.error.isEmpty());
    const auto retried = model.write(1, ReadingColumns::MSN, QStringLiteral("AFTER"));
    EXPECT_TRUE(retried.ok) << retried.error.toStdString();
}

} // namespace
