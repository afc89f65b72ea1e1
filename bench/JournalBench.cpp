#include "BenchSuites.h"

#include "app/HistoryModule.h"
#include "app/Main.h"
#include "journal/JournalLoader.h"
#include "journal/frmHistory.h"
#include "platform/Messenger.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

class SilentMessenger : public Messenger {
public:
    Answer ask(const QString&, const QString&, Icon, Buttons) override { return Answer::Ok; }
};

void prepare(HistoryModule& module, int rows)
{
    module.ProgramFolder = BenchSuites::journalSuite(rows);
    SilentMessenger messenger;
    Main::prepare(module, QStringLiteral("%1-%2").arg(BenchSuites::BigCustomer).arg(BenchSuites::BigLocation),
                  messenger, QTime(1, 2, 3));
}

// Keys to rows in memory: extraction, assembly and reading jurn.
void JournalLoad(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, static_cast<int>(state.range(0)));
    size_t rows = 0;
    for (auto _ : state) {
        JournalFlags flags;
        const auto loaded = JournalLoader::load(module, flags, QString());
        rows = loaded.rows.size();
    }
    QFile::remove(module.WorkDbPath);
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(JournalLoad)->Arg(100)->Arg(2000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Keys to a grid ready on screen: the journal window's whole load.
void JournalWindowOpen(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, static_cast<int>(state.range(0)));
    SilentMessenger messenger;
    for (auto _ : state) {
        frmHistory window(module, messenger);
        window.Form_Load();
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.journal().rowCount());
        window.hide();
    }
    QFile::remove(module.WorkDbPath);
}
BENCHMARK(JournalWindowOpen)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One row change with the balance grid shown: the balances as of the row's date,
// written to baltemp through a fresh connection as the window does.
void CodeBalancesRowChange(benchmark::State& state)
{
    HistoryModule module;
    prepare(module, static_cast<int>(state.range(0)));
    JournalFlags flags;
    JournalLoader::Result loaded = JournalLoader::load(module, flags, QString());
    const CodeBalances balances = JournalLoader::loadBalances(module);
    const auto& rows = loaded.rows;
    size_t at = 0;
    for (auto _ : state) {
        at = (at + 7919) % rows.size();
        const QDate day = QDate::fromString(rows[at].bdate, Qt::ISODate);
        const CodeBalances::Table table = balances.compute(day.isValid() ? day : QDate(2000, 1, 1));
        module.OpenWorkDb();
        CodeBalances::store(module.WorkDb, table, module.CustKey, module.LocKey);
        module.CloseWorkDb();
    }
    QFile::remove(module.WorkDbPath);
}
BENCHMARK(CodeBalancesRowChange)->Arg(10000)->Unit(benchmark::kMillisecond);

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
