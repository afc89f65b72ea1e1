#include "readings/MRGridTable.h"

#include "platform/SqlConnection.h"
#include "readings/ReadingsReport.h"
#include "support/TestSuite.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

MRGridTable::Reading reading(QVariant previous, QVariant present, QVariant usage, QVariant multiplier,
                             QVariant code = QStringLiteral("WA"))
{
    return {QStringLiteral("2017-04-28"), QStringLiteral("2017-05-01"), code, previous, present, usage, multiplier,
            QStringLiteral("M-100")};
}

struct ScaleCase {
    const char* name;
    MRGridTable::Reading reading;
    const char* prev;
    const char* pres;
    QVariant used;
};

class MRGridScaleTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(MRGridScaleTest, ReadingsAndUsageAreScaledByTheMultiplier)
{
    const ScaleCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(MRGridTable::fill(dir.path(), {c.reading}));
    std::vector<MRGridTable::Row> rows;
    ASSERT_TRUE(MRGridTable::read(dir.path(), rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Prev, QString::fromLatin1(c.prev));
    EXPECT_EQ(rows[0].Pres, QString::fromLatin1(c.pres));
    EXPECT_EQ(rows[0].Used.isNull(), c.used.isNull());
    if (!c.used.isNull()) {
        EXPECT_DOUBLE_EQ(rows[0].Used.toDouble(), c.used.toDouble());
    }
    EXPECT_EQ(rows[0].MRDate.toString(), QStringLiteral("2017-04-28"));
    EXPECT_EQ(rows[0].BDate.toString(), QStringLiteral("2017-05-01"));
    EXPECT_EQ(rows[0].MSN, QStringLiteral("M-100"));
}

INSTANTIATE_TEST_SUITE_P(
    MRGridTable, MRGridScaleTest,
    ::testing::Values(ScaleCase{"TimesTen", reading(1234, 1300, 66, 10), "12340", "13000", 660.0},
                      ScaleCase{"TimesOne", reading(1234, 1300, 66, 1), "1234", "1300", 66.0},
                      ScaleCase{"Fraction", reading(1234.5, 1300, 65.5, 2), "2469", "2600", 131.0},
                      ScaleCase{"StoredAsText", reading(" 120", "135", "15", "10"), "1200", "1350", 150.0},
                      // A missing usage or multiplier no longer loses the row.
                      ScaleCase{"NoUsage", reading(1234, 1300, QVariant(), 10), "12340", "13000", QVariant()},
                      ScaleCase{"NoMultiplier", reading(1234, 1300, 66, QVariant()), "", "", QVariant()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MRGridTable, CreatesTheReportFolderAndKeepsOnlyTheLastCopy)
{
    QTemporaryDir dir;
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("reports")));
    ASSERT_TRUE(MRGridTable::fill(dir.path(), {reading(1, 2, 1, 1), reading(2, 3, 1, 1)}));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("reports/emptdata.mdb")));
    ASSERT_TRUE(MRGridTable::fill(dir.path(), {reading(7, 9, 2, 1)}));
    std::vector<MRGridTable::Row> rows;
    ASSERT_TRUE(MRGridTable::read(dir.path(), rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Prev, QStringLiteral("7"));
}

TEST(MRGridTable, AnExistingReportFolderIsFoundWithoutRegardToCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("Reports"));
    EXPECT_EQ(MRGridTable::reportDbPath(dir.path()), dir.filePath("Reports/emptdata.mdb"));
}

TEST(MRGridTable, TextIsStoredAsTyped)
{
    QTemporaryDir dir;
    MRGridTable::Reading odd = reading(1, 2, 1, 1, QStringLiteral("O'NEIL"));
    odd.MSN = QStringLiteral("x'); drop table MRGrid; --");
    odd.ReadDate = QVariant();
    ASSERT_TRUE(MRGridTable::fill(dir.path(), {odd}));
    std::vector<MRGridTable::Row> rows;
    ASSERT_TRUE(MRGridTable::read(dir.path(), rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Code, QStringLiteral("O'NEIL"));
    EXPECT_EQ(rows[0].MSN, odd.MSN.toString());
    EXPECT_TRUE(rows[0].MRDate.isNull());
}

TEST(MRGridTable, ReadsTheLocationsReadingsInBillDateOrder)
{
    TestSuite suite;
    auto add = [&suite](int cust, int loc, const char* billdate, int chgout, int present) {
        suite.insert("[tbl reading]",
                     {{"CustKey", cust},
                      {"LocKey", loc},
                      {"BillDate", billdate},
                      {"ChgOut", chgout},
                      {"Present", present},
                      {"Code", "WA"}});
    };
    add(1, 10, "2017-06-01", 0, 3);
    add(1, 10, "2017-05-01", 1, 2);
    add(1, 10, "2017-05-01", -1, 1);
    add(1, 11, "2017-05-01", 0, 99);
    add(2, 10, "2017-05-01", 0, 98);
    const auto readings = MRGridTable::readBilling(suite.billing(), 1, 10);
    ASSERT_EQ(readings.size(), 3u);
    EXPECT_EQ(readings[0].Present.toInt(), 1);
    EXPECT_EQ(readings[1].Present.toInt(), 2);
    EXPECT_EQ(readings[2].Present.toInt(), 3);
}

TEST(ReadingsReport, PrintsOneLinePerReadingUnderTheAccountTitle)
{
    QTemporaryDir dir;
    const auto prepared = ReadingsReport::prepare(dir.path(), QStringLiteral("TEST UTILITY"), QStringLiteral("10442"),
                                                  QStringLiteral("RIVERSIDE MILL"), {reading(1234, 1300, 66, 10)});
    ASSERT_EQ(prepared.outcome, ReadingsReport::Outcome::Ready) << prepared.fault.message().toStdString();
    EXPECT_EQ(prepared.report.pageHeader.find("Title")->text, QStringLiteral("TEST UTILITY  Meter Readings"));
    EXPECT_EQ(prepared.report.pageHeader.find("Account")->text, QStringLiteral("Account: 10442 RIVERSIDE MILL"));
    ASSERT_EQ(prepared.report.rows.size(), 1u);
    EXPECT_EQ(prepared.report.rows[0], (QStringList{"4/28/2017", "5/1/2017", "WA", "12340", "13000", "660", "M-100"}));

    const auto empty = ReadingsReport::prepare(dir.path(), QString(), QString(), QString(), {});
    EXPECT_EQ(empty.outcome, ReadingsReport::Outcome::NothingToPrint);
}

} // namespace
