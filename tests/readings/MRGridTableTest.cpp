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

// Filled into the report's table and read back, as the report prints them.
std::vector<MRGridTable::Row> filledAndRead(const QString& folder, const std::vector<MRGridTable::Reading>& readings)
{
    std::vector<MRGridTable::Row> rows;
    EXPECT_TRUE(MRGridTable::fill(folder, readings));
    EXPECT_TRUE(MRGridTable::read(folder, rows));
    return rows;
}

TEST(MRGridTable, ReadingsAndUsageAreScaledByTheMultiplierAndTextStoredAsTyped)
{
    // clang-format off
    const std::tuple<MRGridTable::Reading, const char*> cases[] = {
        {reading(1234, 1300, 66, 10), "12340|13000|660"},
        {reading(1234, 1300, 66, 1), "1234|1300|66"},
        {reading(1234.5, 1300, 65.5, 2), "2469|2600|131"},
        {reading(" 120", "135", "15", "10"), "1200|1350|150"}, // stored as text
        {reading(1234, 1300, QVariant(), 10), "12340|13000|null"}, // a missing usage or multiplier keeps the row
        {reading(1234, 1300, 66, QVariant()), "||null"},
    };
    // clang-format on
    QTemporaryDir dir;
    // The report folder is made, and only the last fill's rows are kept.
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("reports")));
    ASSERT_EQ(filledAndRead(dir.path(), {reading(1, 2, 1, 1), reading(2, 3, 1, 1)}).size(), 2u);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("reports/emptdata.mdb")));
    for (const auto& [given, expected] : cases) {
        const std::vector<MRGridTable::Row> rows = filledAndRead(dir.path(), {given});
        ASSERT_EQ(rows.size(), 1u);
        const MRGridTable::Row& r = rows[0];
        EXPECT_EQ(QStringList({r.Prev, r.Pres, r.Used.isNull() ? "null" : QString::number(r.Used.toDouble()),
                               r.MRDate.toString(), r.BDate.toString(), r.MSN})
                      .join('|'),
                  QString(expected) + "|2017-04-28|2017-05-01|M-100");
    }
    // Text is stored as typed.
    MRGridTable::Reading odd = reading(1, 2, 1, 1, QStringLiteral("O'NEIL"));
    odd.MSN = QStringLiteral("x'); drop table MRGrid; --");
    odd.ReadDate = QVariant();
    const std::vector<MRGridTable::Row> rows = filledAndRead(dir.path(), {odd});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Code, QStringLiteral("O'NEIL"));
    EXPECT_EQ(rows[0].MSN, odd.MSN.toString());
    EXPECT_TRUE(rows[0].MRDate.isNull());
    // An existing report folder is found without regard to case.
    QTemporaryDir other;
    ASSERT_TRUE(QDir(other.path()).mkdir("Reports"));
    EXPECT_EQ(MRGridTable::reportDbPath(other.path()), other.filePath("Reports/emptdata.mdb"));
}

TEST(MRGridTable, ReadsTheLocationsReadingsInBillDateOrder)
{
    TestSuite suite;
    suite.exec(
        "insert into [tbl reading] (CustKey, LocKey, BillDate, ChgOut, Present, Code) values "
        "(1, 10, '2017-06-01', 0, 3, 'WA'), (1, 10, '2017-05-01', 1, 2, 'WA'), (1, 10, '2017-05-01', -1, 1, 'WA'), "
        "(1, 11, '2017-05-01', 0, 99, 'WA'), (2, 10, '2017-05-01', 0, 98, 'WA')");
    const auto readings = MRGridTable::readBilling(suite.billing(), 1, 10);
    QList<int> presents;
    for (const auto& r : readings)
        presents << r.Present.toInt();
    EXPECT_EQ(presents, QList<int>({1, 2, 3}));
}

TEST(ReadingsReport, PrintsOneLinePerReadingUnderTheAccountTitle)
{
    QTemporaryDir dir;
    const auto prepared = ReadingsReport::prepare(dir.path(), QStringLiteral("TEST UTILITY"), QStringLiteral("10442"),
                                                  QStringLiteral("RIVERSIDE MILL"), {reading(1234, 1300, 66, 10)});
    ASSERT_EQ(prepared.outcome, ReadingsReport::Outcome::Ready) << prepared.fault.message().toStdString();
    EXPECT_EQ(prepared.report.pageHeader.find("Title")->text, QStringLiteral("TEST UTILITY  Meter Readings"));
    EXPECT_EQ(prepared.report.pageHeader.find("Account")->text, QStringLiteral("Account: 10442 RIVERSIDE MILL"));
    ASSERT_NE(prepared.report.pageFooter.find("Page"), nullptr); // every page numbered at its foot
    ASSERT_EQ(prepared.report.rows.size(), 1u);
    EXPECT_EQ(prepared.report.rows[0], (QStringList{"4/28/2017", "5/1/2017", "WA", "12340", "13000", "660", "M-100"}));
    const auto empty = ReadingsReport::prepare(dir.path(), QString(), QString(), QString(), {});
    EXPECT_EQ(empty.outcome, ReadingsReport::Outcome::NothingToPrint);
}

} // namespace
