#include "BillingQueries.h"
#include "demosuite/DemoTariff.h"
#include "demosuite/EntmeterStandIn.h"
#include "support/TestSuite.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using BillingQueries::number;
using BillingQueries::text;

struct RequestCase {
    const char* content;
    bool valid;
    int64_t custkey, lockey;
    QDate billDate;
    const char* accno;
};

const RequestCase kRequests[] = {
    {"1234\r\n56\r\n5/1/2017\r\n10442\r\n", true, 1234, 56, QDate(2017, 5, 1), "10442"},
    {" 1234 \n 56\n05/01/2017\nA-7\n", true, 1234, 56, QDate(2017, 5, 1), "A-7"},
    {"7\r\n8\r\n12/31/99\r\n\r\n", true, 7, 8, QDate(1999, 12, 31), ""},
    {"7\r\n8\r\n1/2/24\r\n1\r\n", true, 7, 8, QDate(2024, 1, 2), "1"},
    {"7\r\n8\r\n2024-03-01\r\n1\r\n", true, 7, 8, QDate(2024, 3, 1), "1"},
    {"7\r\n8\r\n2/30/2019\r\n1\r\n", false, 0, 0, {}, ""},
    {"0\r\n8\r\n5/1/2017\r\n1\r\n", false, 0, 0, {}, ""},
    {"7\r\nx\r\n5/1/2017\r\n1\r\n", false, 0, 0, {}, ""},
    {"7\r\n8\r\n", false, 0, 0, {}, ""},
};

TEST(EntmeterStandInRequestTest, ReadsTheFourLines)
{
    for (const auto& c : kRequests) {
        const auto request = EntmeterStandIn::parseRequest(QString::fromLatin1(c.content));
        ASSERT_EQ(request.has_value(), c.valid) << c.content;
        if (!request)
            continue;
        EXPECT_EQ(request->custkey, c.custkey) << c.content;
        EXPECT_EQ(request->lockey, c.lockey) << c.content;
        EXPECT_EQ(request->billDate, c.billDate) << c.content;
        EXPECT_EQ(request->accno, QString::fromLatin1(c.accno)) << c.content;
    }
}

// A suite folder with one location: readings of a changed-out water meter and an
// electric meter on 2017-05-01, old charges, an adjustment and a payment.
class EntmeterStandInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_db.execScript(R"SQL(
            insert into [tbl reading] (CustKey, LocKey, Code, BillDate, Usage, Multiplier, ChgOut) values
                (1234, 56, 'WATER', '2017-05-01', 300, 10, -1),
                (1234, 56, 'WATER', '2017-05-01', 200, 10, 1),
                (1234, 56, 'ELEC', '2017-05-01', 4, 100, null),
                (1234, 56, 'WATER', '2017-04-01', 999, 10, null),
                (1234, 57, 'WATER', '2017-05-01', 999, 1, null);
            insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount, adjusted) values
                (1234, 56, '2017-05-01', 'WATER', 'FINAL BILL', 1.00, 0),
                (1234, 56, '2017-05-01', 'SEWER', null, 2.00, 0),
                (1234, 56, '2017-05-01', 'WATER', 'LEAK ADJUSTMENT', -5.00, -1),
                (1234, 56, '2017-04-01', 'WATER', null, 30.00, 0);
            insert into [tbl payment detail] (custkey, lockey, date, code, pmttype, docno, amount) values
                (1234, 56, '2017-04-20', 'WATER', 'CHECK', '1001', 30.00);
            insert into [tbl balance] (custkey, lockey, code, totalcharges, totalpaid) values
                (1234, 56, 'WATER', 999, 999);
        )SQL"))
            << m_db.outcome().message().toStdString();
    }

    void writeRequest(const QByteArray& content) { m_suite.writeFile(QStringLiteral("CompOneRdg.ini"), content); }

    bool doneMarkerExists() const { return QFile::exists(m_suite.filePath(QStringLiteral("componerdgdone.ini"))); }

    TestSuite m_suite;
    SqlConnection& m_db = m_suite.billing();
};

TEST_F(EntmeterStandInTest, RecomputesTheBillDatesMeteredChargesAndBalances)
{
    writeRequest("1234\r\n56\r\n5/1/2017\r\n10442\r\n");
    const auto result = EntmeterStandIn::run(m_suite.folder());
    ASSERT_TRUE(result.outcome) << result.outcome.message().toStdString();
    EXPECT_TRUE(doneMarkerExists());

    // Both meters of the change-out count: (300 + 200) x 10 gallons.
    const double water = DemoTariff::chargeCents("WATER", 5000) / 100.0;
    const double sewer = DemoTariff::chargeCents("SEWER", 5000) / 100.0;
    const double elec = DemoTariff::chargeCents("ELEC", 400) / 100.0;
    EXPECT_EQ(result.chargesWritten, 3);
    SqlStatement charges(m_db,
                         "select code, amount, ifnull(comment, '') from [tbl bill detail]"
                         " where lockey = 56 and date = '2017-05-01' and adjusted = 0 order by code");
    ASSERT_TRUE(charges.next());
    EXPECT_EQ(charges.text(0), QStringLiteral("ELEC"));
    EXPECT_DOUBLE_EQ(charges.real(1), elec);
    ASSERT_TRUE(charges.next());
    EXPECT_EQ(charges.text(0), QStringLiteral("SEWER"));
    EXPECT_DOUBLE_EQ(charges.real(1), sewer);
    ASSERT_TRUE(charges.next());
    EXPECT_EQ(charges.text(0), QStringLiteral("WATER"));
    EXPECT_DOUBLE_EQ(charges.real(1), water);
    EXPECT_EQ(charges.text(2), QStringLiteral("FINAL BILL")) << "the row's comment is kept";
    EXPECT_FALSE(charges.next()) << "no tax row was there to update";

    EXPECT_EQ(text(m_db, "select amount from [tbl bill detail] where adjusted = -1"), QStringLiteral("-5.0"));
    EXPECT_EQ(text(m_db, "select amount from [tbl bill detail] where date = '2017-04-01'"), QStringLiteral("30.0"));
    EXPECT_EQ(number(m_db, "select count(*) from [tbl bill detail] where lockey = 57"), 0);

    SqlStatement balance(
        m_db, "select totalcharges, totalpaid from [tbl balance] where lockey = 56 and code = 'WATER'");
    ASSERT_TRUE(balance.next());
    EXPECT_DOUBLE_EQ(balance.real(0), water - 5.0 + 30.0);
    EXPECT_DOUBLE_EQ(balance.real(1), 30.0);
    EXPECT_EQ(number(m_db, "select count(*) from [tbl balance] where lockey = 56"), 3);
}

// What the engines spell differently is done in C++: the day of a stored date with
// a time, a null adjusted flag, the first of two ordinary charges, rounding of sums.
TEST_F(EntmeterStandInTest, FirstOrdinaryChargeOfTheDayAndRoundedBalances)
{
    ASSERT_TRUE(m_db.execScript(R"SQL(
        insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount, adjusted) values
            (1234, 56, '2017-05-01 00:00:00', 'ELEC', 'STAMPED', 3.00, null),
            (1234, 56, '2017-05-01', 'WATER', 'SECOND', 7.00, 0);
        insert into [tbl payment detail] (custkey, lockey, date, code, pmttype, docno, amount) values
            (1234, 56, '2017-05-02', 'ELEC', 'CASH', '1002', 0.125);
    )SQL"))
        << m_db.outcome().message().toStdString();
    writeRequest("1234\r\n56\r\n5/1/2017\r\n10442\r\n");
    const auto result = EntmeterStandIn::run(m_suite.folder());
    ASSERT_TRUE(result.outcome) << result.outcome.message().toStdString();

    const double water = DemoTariff::chargeCents("WATER", 5000) / 100.0;
    const double elec = DemoTariff::chargeCents("ELEC", 400) / 100.0;
    EXPECT_EQ(result.chargesWritten, 3);
    EXPECT_EQ(number(m_db, "select count(*) from [tbl bill detail] where code = 'ELEC'"), 1);
    EXPECT_EQ(text(m_db, "select comment from [tbl bill detail] where code = 'ELEC'"), QStringLiteral("STAMPED"));
    EXPECT_EQ(text(m_db, "select amount from [tbl bill detail] where comment = 'SECOND'"), QStringLiteral("7.0"));

    SqlStatement balance(m_db,
                         "select code, totalcharges, totalpaid from [tbl balance] where lockey = 56"
                         " and code in ('ELEC', 'WATER') order by code");
    ASSERT_TRUE(balance.next());
    EXPECT_DOUBLE_EQ(balance.real(1), elec);
    EXPECT_DOUBLE_EQ(balance.real(2), 0.13) << "half a cent rounds away from zero";
    ASSERT_TRUE(balance.next());
    EXPECT_DOUBLE_EQ(balance.real(1), water + 7.0 - 5.0 + 30.0);
}

TEST_F(EntmeterStandInTest, AnAmountBeyondMoneyStopsTheBillUnwritten)
{
    ASSERT_TRUE(m_db.exec(QStringLiteral("insert into [tbl payment detail] (custkey, lockey, date, code, amount) "
                                         "values (1234, 56, '2017-05-02', 'SEWER', 1e15)")));
    writeRequest("1234\r\n56\r\n5/1/2017\r\n10442\r\n");
    const auto result = EntmeterStandIn::run(m_suite.folder());
    EXPECT_TRUE(result.outcome.message().contains(QStringLiteral("too large")))
        << result.outcome.message().toStdString();
    EXPECT_TRUE(doneMarkerExists());
    EXPECT_EQ(text(m_db, "select amount from [tbl bill detail] where comment = 'FINAL BILL'"), QStringLiteral("1.0"));
    EXPECT_EQ(text(m_db, "select totalcharges from [tbl balance] where lockey = 56"), QStringLiteral("999.0"));
}

TEST_F(EntmeterStandInTest, ABadRequestStillReleasesTheWaitingViewer)
{
    writeRequest("1234\r\n56\r\nnot a date\r\n10442\r\n");
    const auto result = EntmeterStandIn::run(m_suite.folder());
    EXPECT_FALSE(result.outcome);
    EXPECT_TRUE(doneMarkerExists());
    EXPECT_EQ(
        text(
            m_db, "select amount from [tbl bill detail] where code = 'WATER' and adjusted = 0 and date = '2017-05-01'"),
        QStringLiteral("1.0"));
}

TEST_F(EntmeterStandInTest, MissingRequestIsReported)
{
    const auto result = EntmeterStandIn::run(m_suite.folder());
    EXPECT_TRUE(result.outcome.message().contains(QStringLiteral("CompOneRdg.ini")));
    EXPECT_TRUE(doneMarkerExists());
}

} // namespace
