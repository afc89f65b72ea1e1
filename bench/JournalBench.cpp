// The journal window's data paths over one long account (demo --big-journals): open
// from the keys (extraction, assembly, reading the rows), the window's whole load,
// the code balances of a row change, the switches that rebuild, a comment saved, and
// the readings window's load. Data-heavy figures carry the bare engine's time for
// the same work ("bare_ms") and the ratio ("x_bare").
#include "BareEngine.h"
#include "BenchClock.h"
#include "BenchSuites.h"

#include "app/HistoryModule.h"
#include "app/Main.h"
#include "program/ProgramNavigator.h"
#include "journal/HistoryComments.h"
#include "journal/JournalLoader.h"
#include "journal/widgets/frmHistory.h"
#include "platform/Messenger.h"
#include "readings/ReadingsModel.h"
#include "readings/widgets/frmUncomputedReadings.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace {

class SilentMessenger : public Messenger {
public:
    Answer ask(const QString&, const QString&, Icon, Buttons) override { return Answer::Ok; }
};

std::string utf8(const QString& text)
{
    return text.toStdString();
}

// The module opened on the big account of a journal of about `rows` rows.
void prepare(HistoryModule& module, int64_t rows)
{
    const BenchSuites::Account account = BenchSuites::journalSuite(static_cast<int>(rows));
    module.ProgramFolder = account.folder;
    SilentMessenger messenger;
    Main::prepare(module, account.key, messenger, QTime(1, 2, 3));
}

void removeScratch(const HistoryModule& module)
{
    QFile::remove(module.WorkDbPath);
    QFile::remove(module.WorkDbPath + QStringLiteral(".bare"));
}

// The benchmark's account opened once, as the window's first load leaves it.
JournalLoader::Result openAccount(HistoryModule& module, int64_t rows)
{
    prepare(module, rows);
    JournalFlags flags;
    return JournalLoader::load(module, flags, QString());
}

// Keys to rows in memory: extraction, assembly and reading jurn.
void JournalOpen(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, state.range(0));
    size_t rows = 0;
    BenchClock::Loop loop;
    for (auto _ : state) {
        JournalFlags flags;
        rows = JournalLoader::load(module, flags, QString()).rows.size();
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.SetComplexityN(static_cast<int64_t>(rows));
    const std::string billing = utf8(module.BillingDbPath);
    const std::string bare = utf8(module.WorkDbPath + QStringLiteral(".bare"));
    loop.reportAgainst(state, 5, [&] { BareEngine::openJournal(billing, bare, module.CustKey, module.LocKey); });
    removeScratch(module);
}
BENCHMARK(JournalOpen)
    ->Arg(100)
    ->Arg(2000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Keys to a grid ready on screen: the journal window's whole load.
void JournalWindowOpen(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, state.range(0));
    SilentMessenger messenger;
    ProgramNavigator navigator(messenger);
    for (auto _ : state) {
        frmHistory window(module, messenger, navigator);
        window.Form_Load();
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.journal().rowCount());
        window.hide();
    }
    removeScratch(module);
}
BENCHMARK(JournalWindowOpen)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The three parts of an open, each alone.
void JournalExtraction(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(AccountExtraction::run(module).outcome.ok());
        module.CloseWorkDb();
    }
    removeScratch(module);
}
BENCHMARK(JournalExtraction)->Arg(20000)->Unit(benchmark::kMillisecond);

void JournalAssembly(benchmark::State& state)
{
    HistoryModule module;
    openAccount(module, state.range(0));
    JournalFlags flags;
    for (auto _ : state) {
        module.OpenWorkDb();
        JournalBuilder::clearStaging(module);
        benchmark::DoNotOptimize(JournalBuilder::BuildJournal(module, flags).LongestDescr);
        module.CloseWorkDb();
    }
    removeScratch(module);
}
BENCHMARK(JournalAssembly)->Arg(20000)->Unit(benchmark::kMillisecond);

void JournalRead(benchmark::State& state)
{
    HistoryModule module;
    openAccount(module, state.range(0));
    JournalFlags flags;
    for (auto _ : state) {
        module.OpenWorkDb();
        benchmark::DoNotOptimize(JournalModel::read(module.WorkDb).size());
        module.CloseWorkDb();
    }
    removeScratch(module);
}
BENCHMARK(JournalRead)->Arg(20000)->Unit(benchmark::kMillisecond);

// One row change with the balance grid shown: the balances as of the row's date,
// written to baltemp through a fresh connection as the window does.
void CodeBalancesRowChange(benchmark::State& state)
{
    HistoryModule module;
    const JournalLoader::Result loaded = openAccount(module, state.range(0));
    const CodeBalances balances = JournalLoader::loadBalances(module);
    const auto& rows = loaded.rows;
    size_t at = 0;
    auto nextDay = [&] {
        at = (at + 7919) % rows.size();
        const QDate day = QDate::fromString(rows[at].bdate, Qt::ISODate);
        return day.isValid() ? day : QDate(2000, 1, 1);
    };
    BenchClock::Loop loop;
    for (auto _ : state) {
        const CodeBalances::Table table = balances.compute(nextDay());
        module.OpenWorkDb();
        CodeBalances::store(module.WorkDb, table, module.CustKey, module.LocKey);
        module.CloseWorkDb();
    }
    const std::string work = utf8(module.WorkDbPath);
    loop.reportAgainst(state, 21, [&] {
        BareEngine::codeBalances(work, utf8(nextDay().toString(Qt::ISODate)), module.CustKey, module.LocKey);
    });
    removeScratch(module);
}
BENCHMARK(CodeBalancesRowChange)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The first time the balance grid is wanted: the account's activity read once.
void CodeBalancesLoad(benchmark::State& state)
{
    HistoryModule module;
    openAccount(module, state.range(0));
    JournalFlags flags;
    for (auto _ : state)
        benchmark::DoNotOptimize(JournalLoader::loadBalances(module).isLoaded());
    removeScratch(module);
}
BENCHMARK(CodeBalancesLoad)->Arg(20000)->Unit(benchmark::kMillisecond);

// The journal window's button: the reading rows rescaled in the grid (jurn follows when printed).
void MultiplierSwitch(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, state.range(0));
    SilentMessenger messenger;
    ProgramNavigator navigator(messenger);
    frmHistory window(module, messenger, navigator);
    window.Form_Load();
    window.show();
    QApplication::processEvents();
    auto* button = window.findChild<QPushButton*>(QStringLiteral("cmdApplyMult"));
    for (auto _ : state) {
        button->click();
        QApplication::processEvents();
    }
    window.hide();
    removeScratch(module);
}
BENCHMARK(MultiplierSwitch)->Arg(20000)->Unit(benchmark::kMillisecond);

// A view switch: the journal assembled again from the extracted tables and re-read.
void JournalRebuild(benchmark::State& state)
{
    HistoryModule module;
    openAccount(module, state.range(0));
    JournalFlags flags;
    std::vector<JournalRow> rows;
    for (auto _ : state) {
        flags.ConsolidatePayments = flags.ConsolidatePayments ? JournalFlags::False : JournalFlags::True;
        JournalLoader::rebuild(module, flags, rows);
    }
    removeScratch(module);
}
BENCHMARK(JournalRebuild)->Arg(20000)->Unit(benchmark::kMillisecond);

// A comment saved in both databases, then the journal rebuilt to show it; every
// other iteration deletes it again, as the same button does.
void CommentSaveRebuild(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, state.range(0));
    module.UserId = QStringLiteral("BENCH");
    JournalFlags flags;
    JournalLoader::load(module, flags, QString());
    std::vector<JournalRow> rows;
    const QDate day(2001, 2, 3);
    const QString text = QStringLiteral("benchmark comment");
    bool add = true;
    for (auto _ : state) {
        const HistoryComments::Result saved =
            add ? HistoryComments::add(module, day, text) : HistoryComments::remove(module, day, text);
        if (!saved.outcome)
            state.SkipWithError(saved.outcome.message().toStdString().c_str());
        JournalLoader::rebuild(module, flags, rows);
        add = !add;
    }
    if (!add)
        HistoryComments::remove(module, day, text);
    removeScratch(module);
}
BENCHMARK(CommentSaveRebuild)->Arg(20000)->Unit(benchmark::kMillisecond);

// The readings window's rows: every reading of the location, read from the billing
// database into the model (a journal of 20,000 rows holds 2,500 readings).
void ReadingsLoad(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, state.range(0));
    ReadingsModel model;
    BenchClock::Loop loop;
    for (auto _ : state) {
        model.load(module.openBilling(), module.CustKey, module.LocKey);
        model.release();
    }
    model.load(module.openBilling(), module.CustKey, module.LocKey);
    state.counters["rows"] = model.rowCount();
    model.release();
    const std::string billing = utf8(module.BillingDbPath);
    loop.reportAgainst(state, 21, [&] { BareEngine::readings(billing, module.CustKey, module.LocKey); });
}
BENCHMARK(ReadingsLoad)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The readings window opened and shown with its grid filled.
void ReadingsWindowOpen(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, state.range(0));
    SilentMessenger messenger;
    for (auto _ : state) {
        frmUncomputedReadings window(module, messenger);
        window.show();
        QApplication::processEvents();
        auto* grid = window.findChild<QAbstractItemView*>(QStringLiteral("SSDBGrid1"));
        benchmark::DoNotOptimize(grid->model()->rowCount());
        window.hide();
    }
}
BENCHMARK(ReadingsWindowOpen)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
