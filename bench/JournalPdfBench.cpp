// The printed journal of a long account written to PDF, against the same rows read
// from the scratch database and the same text painted without the report engine.
#include "app/HistoryModule.h"
#include "platform/SqlConnection.h"
#include "journal/rptHistoryJournal.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int JournalRows = 10000;

// A journal as the build leaves it: readings, charges and payments, month by month.
void makeJournal(const QString& path)
{
    SqlConnection work = SqlConnection::open(path, SqlConnection::Mode::CreateIfMissing);
    work.exec("create table jurn (bdate text, rdate text, tcode text, descr text, prev text, pres text, usage text, "
              "chg text, pmt text, rbal text, dorder single, mult text, trow integer)");
    work.exec("begin");
    for (int row = 0; row < JournalRows; ++row) {
        const QString date = QDate(2000, 1, 1).addDays(row / 3).toString(Qt::ISODate);
        const int kind = row % 3;
        work.exec("insert into jurn values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                  {date, kind == 0 ? QVariant(date) : QVariant(), kind == 2 ? "PMT" : "WA",
                   kind == 0       ? "WATER SERVICE EST MULT:10"
                       : kind == 1 ? "WATER SERVICE"
                                   : "CHECK 1234",
                   kind == 0 ? QVariant(1000 + row) : QVariant(), kind == 0 ? QVariant(1010 + row) : QVariant(),
                   kind == 0 ? QVariant(10) : QVariant(), kind == 1 ? QVariant("33.80") : QVariant(),
                   kind == 2 ? QVariant("33.80") : QVariant(), QString::number(row % 7 * 11.5, 'f', 2), kind,
                   kind == 0 ? QVariant(10) : QVariant(), row});
    }
    work.exec("commit");
}

struct Journal {
    QTemporaryDir dir;
    HistoryModule module;
    JournalPrintState state;

    Journal()
    {
        module.WorkDbPath = dir.filePath("ledview120000.mdb");
        module.CompanyTitle = "Riverside Water & Light";
        makeJournal(module.WorkDbPath);
        state.PrintHeaderText = "Account: 10031   JOHN F GARCIA\r\n4904 WALNUT ST\r\nLoc ID: SL000037\r\nRoute: 10";
        state.PrintColWidth = JournalPrintState::defaultColumnWidths(false);
        state.PrintFirstRow = 0;
        state.PrintLastRow = JournalRows - 1;
    }
};

Journal& journal()
{
    static Journal shared;
    return shared;
}

void BM_JournalPdf(benchmark::State& state)
{
    Journal& j = journal();
    const QString path = j.dir.filePath("journal.pdf");
    int pages = 0;
    for (auto _ : state)
        rptHistoryJournal::writePdf(j.module, j.state, path, &pages);
    state.counters["pages"] = pages;
    state.counters["rows/s"] = benchmark::Counter(JournalRows, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_JournalPdf)->Unit(benchmark::kMillisecond);

// Only the reading: what the database engine alone spends on the same rows.
void BM_JournalRowsRead(benchmark::State& state)
{
    Journal& j = journal();
    for (auto _ : state) {
        SqlConnection work = SqlConnection::open(j.module.WorkDbPath);
        benchmark::DoNotOptimize(rptHistoryJournal::readRows(work, 0, JournalRows - 1));
    }
}
BENCHMARK(BM_JournalRowsRead)->Unit(benchmark::kMillisecond);

// The same text painted straight with QPainter at fixed positions, no bands or layout.
void BM_BarePainterPdf(benchmark::State& state)
{
    Journal& j = journal();
    SqlConnection work = SqlConnection::open(j.module.WorkDbPath);
    const std::vector<QStringList> rows = rptHistoryJournal::readRows(work, 0, JournalRows - 1);
    const QString path = j.dir.filePath("bare.pdf");
    for (auto _ : state) {
        QPdfWriter writer(path);
        writer.setResolution(1440);
        QPainter painter(&writer);
        QFont font("DejaVu Sans");
        font.setPointSizeF(8.5);
        painter.setFont(font);
        int y = 2500;
        for (const QStringList& row : rows) {
            if (y > 15000) {
                writer.newPage();
                y = 2500;
            }
            for (int k = 0; k < row.size(); ++k)
                if (!row[k].isEmpty())
                    painter.drawText(QRectF(630 + k * 1000, y, 1000, 230), Qt::AlignLeft | Qt::AlignTop, row[k]);
            y += 255;
        }
    }
}
BENCHMARK(BM_BarePainterPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
