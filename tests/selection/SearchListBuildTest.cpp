#include "selection/SearchLineFunction.h"
#include "selection/SearchOption.h"
#include "tests/selection/SelectionFixture.h"

#include <QSqlDriver>
#include <sqlite3.h>

namespace {

// The build lays the lines out itself and writes them with a prepared insert; the
// single statement of buildStatement() run by the engine is the reference it must
// match, value for value and type for type, in every order.
class SearchListBuildTest : public SelectionFixture {
protected:
    // Accounts drawn from small pools so every order has ties, blanks, nulls, numbers
    // stored as text, real and integer, and characters beyond ASCII; location keys run
    // against the customer keys so the join's order is not the key order.
    void SetUp() override
    {
        SelectionFixture::SetUp();
        const QVariant accnos[] = {"1001", " 77", "abc", "ABC", "", 42, "Ñ1", "1001", 7.5, "z"};
        const QVariant names[] = {"SMITH JOHN", "smith john", "  O'BRIEN ", QVariant(), "MÜLLER ÉMILE", 12,
                                  "A*STAR [X]", "", "zz", "SMITH JOHN"};
        const QVariant addresses[] = {"12 OAK ST", "12 oak st", QVariant(), "  1234 LONG AVENUE NORTH", "CAÑON RD",
                                      "", 99, "12 OAK ST"};
        const QVariant routes[] = {"10", "9", " 1", QVariant(), "ROUTE77", "r", 3, 2.5};
        const QVariant seqs[] = {5, 5, 1, QVariant(), 2.5, -3, "7", 1234567};
        const QVariant ids[] = {"L1", "l1", QVariant(), " SERVICE-LOCATION-000123456789 ", "É", 10, "", "L1"};
        suite.exec("begin");
        uint32_t random = 12345;
        auto next = [&random](uint32_t n) {
            random = random * 1103515245u + 12345u;
            return (random >> 16) % n;
        };
        for (int cust = 1; cust <= 300; ++cust)
            addCustomer(cust, accnos[next(10)], names[next(10)], cust % 5 ? "ACTIVE" : "INACTIVE", addresses[next(8)]);
        for (int loc = 900; loc > 0; --loc)
            addLocation(loc, 1 + static_cast<int>(next(320)), ids[next(8)], routes[next(8)], seqs[next(8)],
                        addresses[next(8)]);
        suite.exec("commit");
    }

    // Every row of histsrch with each value's storage class, in stored order.
    QStringList table()
    {
        QStringList rows;
        SqlConnection work = SqlConnection::open(module.WorkDbPath);
        QSqlQuery q = work.query(
            "select rowid, srchtext, typeof(srchtext), custkey, typeof(custkey), lockey, typeof(lockey), accno, "
            "typeof(accno), address, typeof(address), lookupname, typeof(lookupname), ID, typeof(ID), LocRoute, "
            "typeof(LocRoute), LocSeq, typeof(LocSeq) from histsrch order by rowid");
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < 19; ++i)
                values << q.value(i).toString();
            rows << values.join(QLatin1Char('|'));
        }
        return rows;
    }

    // The reference: buildStatement() run by the engine, then histsrch read back.
    void buildInTheEngine(int option, SearchLines& reference)
    {
        ASSERT_TRUE(SearchList::prepare(module));
        SqlConnection billing = SqlConnection::open(module.BillingDbPath);
        ASSERT_TRUE(billing.attach(module.WorkDbPath, "work"));
        const QVariant handle = billing.database().driver()->handle();
        ASSERT_TRUE(SearchLineFunction::registerOn(*static_cast<sqlite3* const*>(handle.constData())));
        ASSERT_TRUE(billing.exec(SearchList::buildStatement(option))) << billing.lastError().toStdString();
        billing.detach("work");
        SqlConnection work = SqlConnection::open(module.WorkDbPath);
        ASSERT_TRUE(SearchList::load(work, reference));
    }
};

TEST_F(SearchListBuildTest, WritesWhatTheOneStatementWritesInEveryOrder)
{
    for (const int option : {0, 1, 2, 3, 4, 7}) {
        build(option);
        const QStringList written = table();
        SearchLines reference;
        buildInTheEngine(option, reference);
        ASSERT_GT(written.size(), 800) << option;  // some locations have no customer
        EXPECT_EQ(written, table()) << "option " << option;
        ASSERT_EQ(lines.size(), reference.size());
        for (qsizetype row = 0; row < lines.size(); ++row) {
            ASSERT_EQ(lines.text(row), reference.text(row)) << "option " << option << " row " << row;
            ASSERT_EQ(lines.custKey(row), reference.custKey(row)) << "option " << option << " row " << row;
            ASSERT_EQ(lines.locKey(row), reference.locKey(row)) << "option " << option << " row " << row;
        }
    }
}

TEST_F(SearchListBuildTest, ReSortAfterTheBuildFindsEveryStoredRow)
{
    build(2);
    const QList<std::pair<int, int>> stored = storedKeys();
    ASSERT_TRUE(SearchList::sort(module, 1, lines));
    ASSERT_TRUE(SearchList::sort(module, -1, lines));
    for (qsizetype row = 0; row < lines.size(); ++row)
        ASSERT_EQ(std::make_pair(int(lines.custKey(row)), int(lines.locKey(row))), stored[row]) << row;
}

} // namespace
