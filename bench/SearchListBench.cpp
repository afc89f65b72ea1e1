#include "app/HistoryModule.h"
#include "BareEngine.h"
#include "BenchClock.h"
#include "BenchSuites.h"
#include "demosuite/DemoSuite.h"
#include "selection/ListSearch.h"
#include "selection/SearchList.h"
#include "selection/SearchOrder.h"
#include "selection/SearchSourceRows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <map>
#include <memory>

// The account list over generated suites of 2,000, 200,000 and 1,000,000 locations:
// the build as the window runs it (lines on screen and searchable; histsrch and the
// re-sort orders written behind), a keystroke's search, a re-sort; and the bare
// engine doing the same join, order, insert and read.
namespace {

constexpr int64_t tiny = 2000;
constexpr int64_t small = 200000;
constexpr int64_t large = 1000000;

struct Suite {
    HistoryModule module;
};

Suite& suiteOf(int64_t locations)
{
    static std::map<int64_t, std::unique_ptr<Suite>> suites;
    auto& suite = suites[locations];
    if (!suite) {
        suite = std::make_unique<Suite>();
        const QString folder = BenchSuites::listSuite(static_cast<int>(locations));
        suite->module.ProgramFolder = folder;
        suite->module.BillingDbPath = QDir(folder).filePath(QString::fromLatin1(DemoSuite::kBillingFileName));
        suite->module.WorkDbPath = QDir(folder).filePath(QStringLiteral("ledview120000.mdb"));
    }
    return *suite;
}

SearchLines& builtLines(int64_t locations, int option = 0)
{
    static std::map<std::pair<int64_t, int>, std::unique_ptr<SearchLines>> built;
    auto& lines = built[{locations, option}];
    if (!lines) {
        lines = std::make_unique<SearchLines>();
        Suite& suite = suiteOf(locations);
        SearchList::prepare(suite.module);
        SearchList::build(suite.module, option, *lines);
    }
    return *lines;
}

double processSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The window's build: timed until the lines are on screen and searchable. The write
// of histsrch and the re-sort orders that follow on the writer's thread are waited
// for outside the timing and reported as "behind_ms" (the writer's CPU) and
// "total_ms" (the whole process's CPU from start to all done), against the bare
// engine's insert-select with printf() layout and read back.
void BM_Build(benchmark::State& state)
{
    Suite& suite = suiteOf(state.range(0));
    SearchLines lines;
    double total = 0;
    double behind = 0;
    BenchClock::Loop loop;
    for (auto _ : state) {
        // Each build as the window's first: a new scratch file and no list in memory.
        state.PauseTiming();
        QFile::remove(suite.module.WorkDbPath);
        lines.clear();
        state.ResumeTiming();
        const double start = processSeconds();
        SearchList::prepare(suite.module);
        SearchListWriter writer;
        SearchList::build(suite.module, static_cast<int>(state.range(1)), lines, {}, &writer);
        state.PauseTiming();
        const double usable = processSeconds();
        writer.finish(lines);
        const double done = processSeconds();
        total += done - start;
        behind += done - usable;
        state.ResumeTiming();
    }
    state.counters["total_ms"] = total * 1e3 / static_cast<double>(state.iterations());
    state.counters["behind_ms"] = behind * 1e3 / static_cast<double>(state.iterations());
    state.counters["lines"] = static_cast<double>(lines.size());
    state.counters["MB"] = static_cast<double>(lines.memoryBytes()) / (1 << 20);
    qsizetype characters = 0;
    for (qsizetype row = 0; row < lines.size(); ++row)
        characters += lines.text(row).size();
    // Memory against the text it holds, one byte a character as the lines are stored.
    state.counters["x_text"] = static_cast<double>(lines.memoryBytes()) / static_cast<double>(characters);
    state.SetComplexityN(state.range(0));
    const std::string billing = suite.module.BillingDbPath.toStdString();
    const std::string work = (suite.module.WorkDbPath + QStringLiteral(".bare")).toStdString();
    loop.reportAgainst(state, 3, [&] { BareEngine::buildList(billing, work); });
    QFile::remove(QString::fromStdString(work));
}

// The engine's floor: the same join, order and insert with no layout and no read.
void BM_BareEngine(benchmark::State& state)
{
    Suite& suite = suiteOf(state.range(0));
    const std::string billing = suite.module.BillingDbPath.toStdString();
    const std::string work = (suite.module.WorkDbPath + QStringLiteral(".floor")).toStdString();
    for (auto _ : state)
        BareEngine::insertListRows(billing, work);
    QFile::remove(QString::fromStdString(work));
}

void BM_ReadBack(benchmark::State& state)
{
    Suite& suite = suiteOf(state.range(0));
    builtLines(state.range(0));
    SearchLines lines;
    for (auto _ : state) {
        suite.module.OpenWorkDb();
        SearchList::load(suite.module.WorkDb, lines);
        suite.module.CloseWorkDb();
    }
}

// A keystroke's answer when nothing matches: every line's slice is examined.
void BM_KeystrokeNoMatch(benchmark::State& state)
{
    const SearchLines& lines = builtLines(state.range(0));
    const SearchOption& option = *SearchOption::at(static_cast<int>(state.range(1)));
    for (auto _ : state) {
        const ListSearch search(option, QStringLiteral("ZQXJ"), true);
        benchmark::DoNotOptimize(search.find(lines, ListSearch::Direction::First, 0));
    }
}

// What an option's first keystroke adds once: its slices folded for the quick test.
void BM_SliceFold(benchmark::State& state)
{
    const SearchLines& lines = builtLines(state.range(0));
    for (auto _ : state) {
        SearchSliceFold fold;
        fold.build(lines, *SearchOption::at(static_cast<int>(state.range(1))));
        benchmark::DoNotOptimize(fold.memoryBytes());
    }
}

// A keystroke whose match lies near the end of the list.
void BM_KeystrokeLateMatch(benchmark::State& state)
{
    const SearchLines& lines = builtLines(state.range(0));
    const QString last = lines.text(lines.size() - 1).sliced(33, 20).trimmed().toString();
    for (auto _ : state) {
        const ListSearch search(*SearchOption::at(1), last, true);
        benchmark::DoNotOptimize(search.find(lines, ListSearch::Direction::First, 0));
    }
}

// The option click once the orders are prepared (they are, a second or two after the
// list shows; a click before that waits for them).
void BM_Resort(benchmark::State& state)
{
    SearchLines& lines = builtLines(state.range(0));
    for (auto _ : state)
        SearchList::sort(static_cast<int>(state.range(1)), lines);
    SearchList::sort(-1, lines);
}

// Preparing one option's re-sort order on the writer's thread.
void BM_ResortPrepare(benchmark::State& state)
{
    Suite& suite = suiteOf(state.range(0));
    SearchLines& lines = builtLines(state.range(0));
    SearchSourceRows rows;
    suite.module.OpenBillingDb();
    SearchSource::read(suite.module.BillingDb, [&rows](const SearchSourceRow& row) { rows.append(row); });
    suite.module.CloseBillingDb();
    const SearchOption& option = *SearchOption::at(static_cast<int>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(SearchOrder::resort(rows, option, lines.storedOrder()));
}

void BM_BareEngineSort(benchmark::State& state)
{
    Suite& suite = suiteOf(state.range(0));
    builtLines(state.range(0));
    for (auto _ : state) {
        suite.module.OpenWorkDb();
        QSqlQuery q = suite.module.WorkDb.query(QStringLiteral("select rowid from histsrch order by address"));
        int64_t n = 0;
        while (q.next())
            ++n;
        benchmark::DoNotOptimize(n);
        suite.module.CloseWorkDb();
    }
}

BENCHMARK(BM_Build)
    ->Args({tiny, 0})
    ->Args({small, 0})
    ->Args({large, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_Build)->Args({large, 2})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BareEngine)->Arg(small)->Arg(large)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadBack)->Arg(small)->Arg(large)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_KeystrokeNoMatch)
    ->Args({tiny, 0})
    ->Args({small, 0})
    ->Args({small, 1})
    ->Args({small, 3})
    ->Args({large, 0})
    ->Args({large, 1})
    ->Args({large, 2})
    ->Args({large, 3})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SliceFold)->Args({large, 1})->Args({large, 3})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeLateMatch)->Arg(small)->Arg(large)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resort)
    ->Args({small, 2})
    ->Args({large, 1})
    ->Args({large, 2})
    ->Args({large, 4})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ResortPrepare)->Args({large, 1})->Args({large, 2})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BareEngineSort)->Arg(large)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    // A fixed threshold keeps every large buffer on fresh pages, as in the window's
    // first build; glibc's moving threshold would let later builds reuse the heap.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
