#include "BillingQueries.h"
#include "demosuite/EntmeterStandIn.h"
#include "support/TestSuite.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

using BillingQueries::text;

TEST(EntmeterStandInRequestTest, ReadsTheFourLines)
{
    const struct {
        const char* content;
        bool valid;
        int64_t custkey, lockey;
        QDate billDate;
        const char* accno;
    } cases[] = {
        // clang-format off
        {"1234\r\n56\r\n5/1/2017\r\n10442\r\n", true, 1234, 56, QDate(2017, 5, 1), "10442"},
        {" 1234 \n 56\n05/01/2017\nA-7\n", true, 1234, 56, QDate(2017, 5, 1), "A-7"},
        {"7\r\n8\r\n12/31/99\r\n\r\n", true, 7, 8, QDate(1999, 12, 31), ""},
        {"7\r\n8\r\n1/2/24\r\n1\r\n", true, 7, 8, QDate(2024, 1, 2), "1"},
        {"7\r\n8\r\n2024-03-01\r\n1\r\n", true, 7, 8, QDate(2024, 3, 1), "1"},
        {"7\r\n8\r\n2/30/2019\r\n1\r\n", false, 0, 0, {}, ""},
        {"0\r\n8\r\n5/1/2017\r\n1\r\n", false, 0, 0, {}, ""},
        {"7\r\nx\r\n5/1/2017\r\n1\r\n", false, 0, 0, {}, ""},
        {"7\r\n8\r\n", false, 0, 0, {}, ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const auto request = EntmeterStandIn::parseRequest(QString::fromLatin1(c.content));
        ASSERT_EQ(request.has_value(), c.valid);
        if (request) {
            EXPECT_EQ(std::tuple(request->custkey, request->lockey, request->billDate, request->accno),
                      std::tuple(c.custkey, c.lockey, c.billDate, QString::fromLatin1(c.accno)));
        }
    }
}

// One location: readings of a changed-out water meter and an electric meter on
// 2017-05-01, old charges, an adjustment and a payment.
constexpr const char* kAccount = R"SQL(begin;
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
    commit;)SQL";

// Both meters of the change-out count: (300 + 200) x 10 gallons of water and sewer,
// 4 x 100 kWh; the adjustment, the earlier bill and the other location stay. What the
// engines spell differently is done in C++: the day of a stored date with a time, a
// null adjusted flag, the first of two ordinary charges, rounding half a cent away from zero.
// A failing request changes nothing, and the marker still releases the waiting viewer.
TEST(EntmeterStandInTest, RecomputesTheBillDatesChargesOrChangesNothing)
{
    const QByteArray request = "1234\r\n56\r\n5/1/2017\r\n10442\r\n";
    const QString untouched = "WATER 30.0 |WATER -5.0 LEAK ADJUSTMENT|SEWER 2.0 |WATER 1.0 FINAL BILL";
    const struct {
        const char* extraSql;
        QByteArray request; // empty: no request file
        const char* failure; // a part of the message; nullptr: the bill is computed
        QString detail, balances;
    } cases[] = {
        // clang-format off
        {"select 1", request, nullptr, "WATER 30.0 |WATER -5.0 LEAK ADJUSTMENT|ELEC 59.0 |SEWER 33.0 |WATER 35.0 FINAL BILL", "ELEC 59.0 0.0|SEWER 33.0 0.0|WATER 60.0 30.0"},
        {"insert into [tbl bill detail] (custkey, lockey, date, code, comment, amount, adjusted) values (1234, 56, '2017-05-01 00:00:00', 'ELEC', 'STAMPED', 3.00, null), (1234, 56, '2017-05-01', 'WATER', 'SECOND', 7.00, 0);"
         "insert into [tbl payment detail] (custkey, lockey, date, code, pmttype, docno, amount) values (1234, 56, '2017-05-02', 'ELEC', 'CASH', '1002', 0.125);",
         request, nullptr, "WATER 30.0 |WATER -5.0 LEAK ADJUSTMENT|SEWER 33.0 |WATER 35.0 FINAL BILL|WATER 7.0 SECOND|ELEC 59.0 STAMPED", "ELEC 59.0 0.13|SEWER 33.0 0.0|WATER 67.0 30.0"},
        {"insert into [tbl payment detail] (custkey, lockey, date, code, amount) values (1234, 56, '2017-05-02', 'SEWER', 1e15)", request, "too large", untouched, "WATER 999.0 999.0"},
        {"select 1", "1234\r\n56\r\nnot a date\r\n10442\r\n", "", untouched, "WATER 999.0 999.0"},
        {"select 1", "", "CompOneRdg.ini", untouched, "WATER 999.0 999.0"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.extraSql) + " / " + c.request.toStdString());
        TestSuite suite;
        SqlConnection& db = suite.billing();
        ASSERT_TRUE(db.execScript(kAccount) && db.execScript(c.extraSql)) << db.outcome().message().toStdString();
        if (!c.request.isEmpty())
            suite.writeFile(QStringLiteral("CompOneRdg.ini"), c.request);
        const auto result = EntmeterStandIn::run(suite.folder());
        EXPECT_EQ(result.outcome.ok(), !c.failure) << result.outcome.message().toStdString();
        EXPECT_TRUE(c.failure ? result.outcome.message().contains(QLatin1String(c.failure))
                              : result.chargesWritten == 3)
            << result.outcome.message().toStdString();
        EXPECT_TRUE(QFile::exists(suite.filePath(QStringLiteral("componerdgdone.ini"))));
        EXPECT_EQ(text(db,
                       "select group_concat(code || ' ' || amount || ' ' || ifnull(comment, ''), '|') from"
                       " (select * from [tbl bill detail] order by lockey, date, adjusted, code)"),
                  c.detail);
        EXPECT_EQ(text(db,
                       "select group_concat(code || ' ' || totalcharges || ' ' || totalpaid, '|') from"
                       " (select * from [tbl balance] where lockey = 56 order by code)"),
                  c.balances);
    }
}

} // namespace
