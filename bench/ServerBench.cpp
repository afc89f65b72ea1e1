// The billing database on a local PostgreSQL server against the same suite on file:
// the journal's open (20,000 rows), the account's copy into the scratch alone, and
// the account list's build (200,000 locations), each also against psql's \copy of
// the same rows out of the server, the floor for moving them. On a shared machine
// the mean wanders with the load: best_ms, the fastest single open, compares better. The server is named by
// $LEDVIEW_BENCH_PG (a URI of a database this program may create others beside; scripts/bench.sh starts one).
#include "BenchSuites.h"

#include "app/BillingCopy.h"
#include "app/HistoryModule.h"
#include "app/Main.h"
#include "journal/AccountExtraction.h"
#include "journal/JournalLoader.h"
#include "platform/Messenger.h"
#include "platform/PostgresUri.h"
#include "selection/SearchList.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <limits>
#include <map>
#include <memory>

namespace {

class SilentMessenger : public Messenger {
public:
    Answer ask(const QString&, const QString&, Icon, Buttons) override { return Answer::Ok; }
};

QString serverUri(const QString& database)
{
    std::optional<PostgresUri> uri = PostgresUri::parse(qEnvironmentVariable("LEDVIEW_BENCH_PG"));
    if (!uri)
        return {};
    uri->database = database;
    QString text = QStringLiteral("postgresql://");
    if (!uri->user.isEmpty())
        text += uri->user + QLatin1Char('@');
    text += QString::fromUtf8(QUrl::toPercentEncoding(uri->host));
    if (uri->port > 0)
        text += QLatin1Char(':') + QString::number(uri->port);
    return text + QLatin1Char('/') + database;
}

// A copy of the suite folder whose billing database is a fresh server database.
struct ServerSuite {
    QTemporaryDir folder;
    QString uri;
    bool ok = false;
};

ServerSuite& onServer(const QString& fileSuite, const QString& database)
{
    static std::map<QString, std::unique_ptr<ServerSuite>> suites;
    auto& suite = suites[database];
    if (suite)
        return *suite;
    suite = std::make_unique<ServerSuite>();
    suite->uri = serverUri(database);
    SqlConnection admin = SqlConnection::open(qEnvironmentVariable("LEDVIEW_BENCH_PG"));
    admin.exec(QStringLiteral("drop database if exists ") + database);
    if (suite->uri.isEmpty() || !admin.exec(QStringLiteral("create database ") + database))
        return *suite;
    for (const QString& file : QDir(fileSuite).entryList(QDir::Files))
        QFile::copy(QDir(fileSuite).filePath(file), suite->folder.filePath(file));
    SqlConnection source = SqlConnection::open(QDir(fileSuite).filePath(QStringLiteral("billing.mdb")));
    SqlConnection destination = SqlConnection::open(suite->uri);
    BillingCopy copy(source, destination);
    suite->ok = copy.run() && BillingCopy::repoint(suite->folder.path(), suite->uri);
    return *suite;
}

bool prepare(HistoryModule& module, const QString& folder, const QString& keys)
{
    module.ProgramFolder = folder;
    SilentMessenger messenger;
    return Main::prepare(module, keys, messenger, QTime(1, 2, 3)) != Main::Route::Exit;
}

// psql's \copy of these selects to nowhere, less psql's own start, in seconds.
double copyFloor(const QString& uri, const QStringList& selects)
{
    const auto run = [&](const QStringList& commands) {
        QProcess psql;
        QStringList arguments{uri, QStringLiteral("-q"), QStringLiteral("-X")};
        for (const QString& command : commands)
            arguments << QStringLiteral("-c") << command;
        QElapsedTimer timer;
        timer.start();
        psql.start(QStringLiteral("psql"), arguments);
        psql.waitForFinished(600000);
        return timer.nsecsElapsed() * 1e-9;
    };
    QStringList copies;
    for (const QString& select : selects)
        copies << QStringLiteral("\\copy (%1) to '/dev/null'").arg(select);
    double best = 1e9;
    for (int i = 0; i < 3; ++i)
        best = std::min(best, run(copies) - run({QStringLiteral("select 1")}));
    return best;
}

const char* const accountTables[] = {"tbl customer",       "tbl location", "tbl bill detail",    "tbl reading",
                                     "tbl payment detail", "tbl deposit",  "tbl deposit refund", "tbl balance",
                                     "histcomments",       "acctedits"};

// The journal's suite on file (server 0) or on the server (server 1), with its
// account's keys in `module`; false when it cannot be had.
bool journalSuite(benchmark::State& state, HistoryModule& module, QString& uri)
{
    const BenchSuites::Account account = BenchSuites::journalSuite(static_cast<int>(state.range(1)));
    QString folder = account.folder;
    if (state.range(0) == 1) {
        ServerSuite& suite = onServer(account.folder, QStringLiteral("bench_journal_%1").arg(state.range(1)));
        if (!suite.ok) {
            state.SkipWithError("no server: set LEDVIEW_BENCH_PG (scripts/bench.sh does)");
            return false;
        }
        folder = suite.folder.path();
        uri = suite.uri;
    }
    if (!prepare(module, folder, account.key)) {
        state.SkipWithError("the suite cannot be opened");
        return false;
    }
    return true;
}

// Runs `work` as the benchmark's loop: wall_ms is the mean, best_ms the fastest one.
template <typename Work>
void timeLoop(benchmark::State& state, Work&& work)
{
    QElapsedTimer wall;
    wall.start();
    qint64 best = std::numeric_limits<qint64>::max();
    for (auto _ : state) {
        QElapsedTimer one;
        one.start();
        work();
        best = std::min(best, one.nsecsElapsed());
    }
    // Wall time: the server's own work happens in another process.
    state.counters["wall_ms"] =
        static_cast<double>(wall.nsecsElapsed()) * 1e-6 / static_cast<double>(state.iterations());
    state.counters["best_ms"] = static_cast<double>(best) * 1e-6;
}

// The selects of the account's copy, for psql's \copy.
QStringList accountSelects(const HistoryModule& module)
{
    QStringList selects;
    for (const char* table : accountTables)
        selects << QStringLiteral("select * from \"%1\" where custkey = %2 and lockey = %3")
                       .arg(QString::fromLatin1(table))
                       .arg(module.CustKey)
                       .arg(module.LocKey);
    return selects << QStringLiteral("select * from \"lkup transaction code\"");
}

void JournalOpenFromServer(benchmark::State& state)
{
    HistoryModule module;
    QString uri;
    if (!journalSuite(state, module, uri))
        return;
    size_t rows = 0;
    timeLoop(state, [&] {
        JournalFlags flags;
        rows = JournalLoader::load(module, flags, QString()).rows.size();
    });
    state.counters["rows"] = static_cast<double>(rows);
    if (!uri.isEmpty())
        state.counters["copy_floor_ms"] = copyFloor(uri, accountSelects(module)) * 1e3;
    QFile::remove(module.WorkDbPath);
}
BENCHMARK(JournalOpenFromServer)
    ->ArgNames({"server", "rows"})
    ->Args({0, 20000})
    ->Args({1, 20000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The part of the open that differs between the two: the account's rows copied into
// the scratch (connection, reads and writes), without the journal's assembly.
void AccountCopyFromServer(benchmark::State& state)
{
    HistoryModule module;
    QString uri;
    if (!journalSuite(state, module, uri))
        return;
    timeLoop(state, [&] {
        if (!AccountExtraction::run(module).outcome)
            state.SkipWithError("the account cannot be copied");
        module.CloseWorkDb();
    });
    QFile::remove(module.WorkDbPath);
}
BENCHMARK(AccountCopyFromServer)
    ->ArgNames({"server", "rows"})
    ->Args({0, 20000})
    ->Args({1, 20000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void ListBuildFromServer(benchmark::State& state)
{
    const QString file = BenchSuites::listSuite(static_cast<int>(state.range(1)));
    QString folder = file;
    QString uri;
    if (state.range(0) == 1) {
        ServerSuite& suite = onServer(file, QStringLiteral("bench_list_%1").arg(state.range(1)));
        if (!suite.ok) {
            state.SkipWithError("no server: set LEDVIEW_BENCH_PG (scripts/bench.sh does)");
            return;
        }
        folder = suite.folder.path();
        uri = suite.uri;
    }
    HistoryModule module;
    if (!prepare(module, folder, QString())) {
        state.SkipWithError("the suite cannot be opened");
        return;
    }
    SearchLines lines;
    for (auto _ : state) {
        SearchList::prepare(module);
        SearchList::build(module, 0, lines);
    }
    state.counters["lines"] = static_cast<double>(lines.size());
    if (!uri.isEmpty())
        state.counters["copy_floor_ms"] =
            copyFloor(uri,
                      {QStringLiteral("select c.accno, l.locroute, l.locseq, c.status, c.lookupname, c.addr2, "
                                      "l.addr2, l.ID, l.custkey, l.lockey from \"tbl customer\" c inner join "
                                      "\"tbl location\" l on c.custkey = l.custkey order by l.lockey")})
            * 1e3;
    QFile::remove(module.WorkDbPath);
}
BENCHMARK(ListBuildFromServer)
    ->ArgNames({"server", "locations"})
    ->Args({0, 200000})
    ->Args({1, 200000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
