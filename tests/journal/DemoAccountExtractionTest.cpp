#include "app/HistoryModule.h"
#include "app/Main.h"
#include "demosuite/DemoSuite.h"
#include "journal/AccountExtraction.h"
#include "support/FakeMessenger.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Start-up as the program does it on a generated suite, then the extraction: the
// scratch file gets the name of the start time and exactly the account's rows.
TEST(DemoAccountExtraction, WorkTablesHoldExactlyTheAccountsRows)
{
    QTemporaryDir dir;
    DemoOptions options;
    options.locations = 40;
    options.years = 2;
    const DemoSummary summary = DemoSuite::write(dir.path(), options);
    ASSERT_TRUE(summary.outcome.ok()) << summary.outcome.message().toStdString();

    for (const QString& account : summary.sampleAccounts) {
        HistoryModule module;
        module.ProgramFolder = dir.path();
        FakeMessenger messenger;
        ASSERT_EQ(Main::prepare(module, account, messenger, QTime(14, 5, 9)), Main::Route::Journal);
        EXPECT_TRUE(module.WorkDbPath.endsWith("/ledview140509.mdb"));
        ASSERT_TRUE(AccountExtraction::run(module).outcome);
        ASSERT_TRUE(module.WorkDb.attach(module.BillingDbPath, "billing"));

        const struct {
            const char* work;
            const char* source;
            const char* filter;
        } tables[] = {
            {"cust", "[tbl customer]", "custkey = {C}"},
            {"loc", "[tbl location]", "lockey = {L} and custkey = {C}"},
            {"bd", "[tbl bill detail]", "lockey = {L} and custkey = {C}"},
            {"mr", "[tbl reading]", "lockey = {L} and custkey = {C}"},
            {"pd", "[tbl payment detail]", "lockey = {L} and custkey = {C}"},
            {"dep", "[tbl deposit]", "lockey = {L} and custkey = {C}"},
            {"depref", "[tbl deposit refund]", "lockey = {L} and custkey = {C}"},
            {"bal", "[tbl balance]", "lockey = {L} and custkey = {C}"},
            {"hcom", "histcomments", "lockey = {L} and custkey = {C}"},
            {"ae", "acctedits", "custkey = {C}"},
            {"lutc", "[lkup transaction code]", "1 = 1"},
        };
        int rows = 0;
        for (const auto& t : tables) {
            // Same rows both ways: nothing missing, nothing extra.
            const QString sql =
                QStringLiteral(
                    "select (select count(*) from (select * from billing.%1 where %2 except select * from %3)) "
                    "+ (select count(*) from (select * from %3 except select * from billing.%1 where %2))")
                    .arg(QString::fromLatin1(t.source), QString::fromLatin1(t.filter), QString::fromLatin1(t.work))
                    .replace("{C}", QString::number(module.CustKey))
                    .replace("{L}", QString::number(module.LocKey));
            // Keys are integers: written into the statement as numbers.
            const QVariant differing = module.WorkDb.scalar(sql);
            ASSERT_FALSE(differing.isNull()) << module.WorkDb.outcome().message().toStdString();
            EXPECT_EQ(differing.toInt(), 0) << account.toStdString() << " " << t.work;
            rows += module.WorkDb.scalar(QStringLiteral("select count(*) from %1").arg(QString::fromLatin1(t.work)))
                        .toInt();
        }
        EXPECT_GT(rows, 20) << account.toStdString();
        module.WorkDb.detach("billing");
        module.CloseWorkDb();
        QFile::remove(module.WorkDbPath);
    }
}

} // namespace
