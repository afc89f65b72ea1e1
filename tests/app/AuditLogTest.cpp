#include "app/AuditLog.h"

#include "app/HistoryModule.h"
#include "support/TestSuite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QDateTime march7At1449(QDate(2019, 3, 7), QTime(14, 49, 30));

class AuditLogTest : public ::testing::Test {
protected:
    AuditSettings settings(const QString& name = QStringLiteral("billing.mdb")) const
    {
        AuditSettings s;
        s.ProgramFolder = suite.folder();
        s.AuditName = name;
        s.AuditUser = QStringLiteral("CLERK1");
        return s;
    }

    TestSuite suite;
};

TEST(AuditTimeStamp, TwelveHourClockWithEnglishDesignator)
{
    // clang-format off
    const std::pair<QTime, const char*> cases[] = {
        {QTime(14, 49), "20190307 02:49 PM "}, {QTime(9, 15), "20190307 09:15 AM "},
        {QTime(0, 5), "20190307 12:05 AM "}, {QTime(12, 0), "20190307 12:00 PM "},
    };
    // clang-format on
    for (const auto& [time, stamp] : cases)
        EXPECT_EQ(AuditLog::timeStamp(QDateTime(QDate(2019, 3, 7), time)), stamp) << stamp;
}

TEST_F(AuditLogTest, WritesTheLineIntoTheMonthlyFileCreatingTheFolder)
{
    // Without a text or a name nothing is written, and that is no failure.
    for (const auto& [name, text] : {std::pair{"billing.mdb", ""}, {"", "some text"}, {"", ""}})
        EXPECT_TRUE(AuditLog(settings(name), [] { return march7At1449; }).WriteAudit(text));
    EXPECT_FALSE(QFileInfo::exists(suite.filePath("AUDIT")));
    AuditLog log(settings(), [] { return march7At1449; });
    ASSERT_TRUE(log.WriteAudit("Edit existing readings form loaded for account "));
    ASSERT_TRUE(log.WriteAudit("it's \"quoted\""));
    EXPECT_EQ(suite.readFile("AUDIT/billing201903.LOG"),
              QByteArray("20190307 02:49 PM CLERK1 Edit existing readings form loaded for account \r\n"
                         "20190307 02:49 PM CLERK1 it's \"quoted\"\r\n"));
}

TEST_F(AuditLogTest, FileNameFollowsStemAndMonthAndExistingCase)
{
    QDir(suite.folder()).mkdir("audit");
    suite.writeFile("audit/Billing201912.log", "old line\r\n");
    AuditLog log(settings("Billing.mdb"), [] { return QDateTime(QDate(2019, 12, 31), QTime(23, 0)); });
    ASSERT_TRUE(log.WriteAudit("closing the year"));
    EXPECT_EQ(suite.readFile("audit/Billing201912.log"),
              QByteArray("old line\r\n20191231 11:00 PM CLERK1 closing the year\r\n"));
    EXPECT_FALSE(QFileInfo::exists(suite.filePath("AUDIT")));
    AuditLog january(settings("util.dat"), [] { return QDateTime(QDate(2020, 1, 1), QTime(0, 0)); });
    EXPECT_TRUE(january.WriteAudit("new year"));
    EXPECT_TRUE(QFileInfo::exists(suite.filePath("audit/util202001.LOG")));
}

TEST_F(AuditLogTest, TheTableRowIsBoundAndAMissingTableStillLeavesTheFileLine)
{
    AuditSettings s = settings();
    s.AuditToTable = true;
    s.AuditDbPath = suite.billingPath();
    AuditLog log(s, [] { return march7At1449; });
    const Outcome missing = log.WriteAudit("text");
    EXPECT_FALSE(missing);
    EXPECT_TRUE(missing.message().contains("LIDB"));
    EXPECT_EQ(suite.readFile("AUDIT/billing201903.LOG"), QByteArray("20190307 02:49 PM CLERK1 text\r\n"));
    suite.exec("create table LIDB ([When] text, ByWhom text, What text)");
    const Outcome written = log.WriteAudit("changed meter reading code from O'BRIEN to A");
    ASSERT_TRUE(written) << written.message().toStdString();
    QSqlQuery row = suite.billing().query("select [When] || '|' || ByWhom || '|' || What from LIDB");
    ASSERT_TRUE(row.next());
    EXPECT_EQ(row.value(0).toString(), "20190307 02:49 PM |CLERK1|changed meter reading code from O'BRIEN to A");
}

TEST_F(AuditLogTest, SettingsComeFromTheModuleAndTheSuiteFile)
{
    HistoryModule module;
    suite.prepare(module, 1, 10);
    EXPECT_EQ(AuditSettings::forModule(module).AuditName, "billing.mdb");
    EXPECT_EQ(AuditSettings::forModule(module).AuditUser, "CLERK1");
    // clang-format off
    const std::tuple<const char*, bool, QString> cases[] = {{nullptr, false, ""}, {"-1\r\n", true, module.BillingDbPath},
        {"1\n/elsewhere/audit.mdb\n", true, "/elsewhere/audit.mdb"}, {"0\r\n", false, ""}};
    // clang-format on
    for (const auto& [ini, toTable, path] : cases) {
        if (ini)
            suite.writeFile("LedViewAudit.ini", ini);
        const AuditSettings s = AuditSettings::forModule(module);
        EXPECT_EQ(s.AuditToTable, toTable) << ini;
        if (toTable) {
            EXPECT_EQ(s.AuditDbPath, path);
        }
    }
}

} // namespace
