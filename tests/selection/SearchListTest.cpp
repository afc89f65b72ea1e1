#include "selection/SearchLineFunction.h"
#include "selection/SearchOption.h"
#include "tests/selection/SelectionFixture.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Columns: accno 12 | route-seq 11 | ' ' | status 9 | name 20 | '  ' | addr 15 | '  ' | addr 15 | '  Loc ID: ' ID
TEST_F(SelectionFixture, LaysOutTheLine)
{
    const QVariant null;
    // clang-format off
    const struct { QVariant accno, lookupname, status, custAddr2, id, route, seq, locAddr2; const char* line; } cases[] = {
        {"1001", "SMITH JOHN", "ACTIVE", "12 OAK ST", "L10", "12", 340, "9 ELM ST", "1001        12-340      ACTIVE   SMITH JOHN            12 OAK ST        9 ELM ST         Loc ID: L10"},
        {"ABCDEFGHIJKLMN", "X", "ACTIVE", "A", "L", "1", 1, "B", "ABCDEFGHIJKL1-1         ACTIVE   X                     A                B                Loc ID: L"}, // a long account number is cut
        {"1", "X", "ACTIVE", "A", "L", "ROUTE77", 7, "B", "1           ROUTE-7     ACTIVE   X                     A                B                Loc ID: L"}, // a seven-character route-sequence
        {"1", "X", "ACTIVE", "A", "L", "9", 1234567, "B", "1           9-12345     ACTIVE   X                     A                B                Loc ID: L"}, // a long sequence keeps five digits
        {"1", "X", "ACTIVE", "A", "L", "  AB  CD", 5, "B", "1           AB  C-5     ACTIVE   X                     A                B                Loc ID: L"}, // the route cut, then trimmed
        {" 77", "  GONZALEZ-RODRIGUEZ MARIA ", "INACTIVE", "  1234 LONG AVENUE NORTH", "L", "2", 3, "   SHORT ", " 77         2-3         INACTIVE GONZALEZ-RODRIGUEZ M  1234 LONG AVENU  SHORT            Loc ID: L"},
        {"1", "X", " SUSPENDED", "A", "L", "1", 1, "B", "1           1-1          SUSPENDEX                     A                B                Loc ID: L"}, // the status is cut, not trimmed
        {"1", "X", "ACTIVE", "A", " SERVICE-LOCATION-000123456789 ", "1", 1, "B", "1           1-1         ACTIVE   X                     A                B                Loc ID:  SERVICE-LOCATION-000123456789 "}, // a long ID stays whole
        {"", null, null, null, null, null, null, null, "            -                                                                            Loc ID: "},
        {"Ñ1", "MÜLLER ÉMILE", "ACTIVE", "CAÑON ROAD", "É1", "Ü", 1, "B", "Ñ1          Ü-1         ACTIVE   MÜLLER ÉMILE          CAÑON ROAD       B                Loc ID: É1"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        suite.exec("delete from [tbl customer]");
        suite.exec("delete from [tbl location]");
        addCustomer(1, c.accno, c.lookupname, c.status, c.custAddr2);
        addLocation(10, 1, c.id, c.route, c.seq, c.locAddr2);
        EXPECT_EQ(build(), QStringList{QString::fromUtf8(c.line)});
    }
}

TEST_F(SelectionFixture, CustomerWithTwoLocationsHasTwoLinesAndOneWithoutNone)
{
    addCustomer(1, "1001", "SMITH JOHN", "ACTIVE", "12 OAK ST");
    addLocation(10, 1, "L10", "01", 10, "12 OAK ST");
    addLocation(11, 1, "L11", "02", 20, "400 MILL RD");
    addCustomer(2, "1002", "NO LOCATIONS");
    const QStringList built = build();
    ASSERT_EQ(built.size(), 2);
    EXPECT_TRUE(built[0].startsWith("1001        01-10       ACTIVE   SMITH JOHN"));
    EXPECT_TRUE(built[1].startsWith("1001        02-20       ACTIVE   SMITH JOHN"));
    EXPECT_TRUE(built[1].endsWith("400 MILL RD      Loc ID: L11"));
    EXPECT_EQ(lines.custKey(1), 1);
    EXPECT_EQ(lines.locKey(1), 11);
    SqlConnection work = SqlConnection::open(module.WorkDbPath);
    EXPECT_EQ(work.scalar("select address from histsrch where lockey = 11").toString(),
              QString("12 OAK ST").leftJustified(25) + QString("400 MILL RD").leftJustified(25));
    EXPECT_EQ(work.scalar("select LocRoute || '/' || LocSeq from histsrch where lockey = 11").toString(), "02/20");
    // A second build in the same run, without a fresh prepare, replaces the rows.
    ASSERT_TRUE(SearchList::build(module, 0, lines));
    EXPECT_EQ(work.scalar("select count(*) from histsrch").toInt(), 2);
}

// Four accounts whose order differs under every option.
class SearchOrderTest : public SelectionFixture {
protected:
    void SetUp() override
    {
        SelectionFixture::SetUp();
        addCustomer(1, "300", "carter ann", "ACTIVE", "2 B ST");
        addLocation(10, 1, "ID-D", "9", 5, "Z LOC");
        addCustomer(2, "100", "BAKER BOB", "ACTIVE", "1 A ST");
        addLocation(20, 2, "ID-A", "10", 7, "Y LOC");
        addLocation(21, 2, "ID-C", "10", 2, "X LOC");
        addCustomer(3, "200", "ADAMS AL", "ACTIVE", "3 C ST");
        addLocation(30, 3, "id-b", "8", 1, "W LOC");
    }

    QList<std::pair<int, int>> shownKeys() const
    {
        QList<std::pair<int, int>> keys;
        for (qsizetype row = 0; row < lines.size(); ++row)
            keys.append({lines.custKey(row), lines.locKey(row)});
        return keys;
    }
    static QList<int> keysOf(const QList<std::pair<int, int>>& pairs, bool customer)
    {
        QList<int> keys;
        for (const auto& pair : pairs)
            keys << (customer ? pair.first : pair.second);
        return keys;
    }
    static int firstOfCustomer2(const QList<std::pair<int, int>>& keys)
    {
        return std::find_if(keys.begin(), keys.end(), [](auto k) { return k.first == 2; })->second;
    }
};

TEST_F(SearchOrderTest, BuildOrderIsStoredAndReSortOnlyReorders)
{
    // Customer 2 has two locations: options 0 and 1 tie on them, the others do not.
    // accno; name and ID without regard to case; customer addr2; route as text ("10" before "8"), then sequence
    const QList<QList<int>> customers = {{2, 2, 3, 1}, {3, 2, 2, 1}, {2, 2, 1, 3}, {2, 3, 2, 1}, {2, 2, 3, 1}};
    for (int option = 0; option < SearchOption::Count; ++option) {
        build(option);
        EXPECT_EQ(keysOf(shownKeys(), true), customers[option]) << "build, option " << option;
        const QList<std::pair<int, int>> stored = storedKeys();
        EXPECT_EQ(stored, shownKeys()) << "stored order, option " << option;
        if (option == 4) {
            EXPECT_EQ(shownKeys().mid(0, 2), (QList<std::pair<int, int>>{{2, 21}, {2, 20}}));
        }

        // Re-sorting reorders the list but never the table; ties keep the stored order.
        for (int resort = 0; resort < SearchOption::Count; ++resort) {
            ASSERT_TRUE(SearchList::sort(resort, lines));
            EXPECT_EQ(keysOf(shownKeys(), true), customers[resort])
                << "re-sort " << resort << " after build " << option;
            if (resort < 2) {
                EXPECT_EQ(firstOfCustomer2(shownKeys()), firstOfCustomer2(stored)) << resort << " after " << option;
            }
        }
        EXPECT_EQ(storedKeys(), stored);
    }
    // The address build orders by the customer's line only; the re-sort by both lines.
    build(2);
    SearchList::sort(2, lines);
    EXPECT_EQ(keysOf(shownKeys(), false).mid(0, 2), QList<int>({21, 20})); // X LOC before Y LOC
    // An index outside the options keeps the stored order; each build empties the table first.
    build(7);
    ASSERT_EQ(storedKeys().size(), 4);
    SearchList::sort(1, lines);
    SearchList::sort(-1, lines);
    EXPECT_EQ(keysOf(shownKeys(), false), keysOf(storedKeys(), false));
}

// Every value of histsrch, storage class included, in stored order.
QStringList tableRows(SqlConnection& db, const QString& table)
{
    QStringList rows;
    QSqlQuery q = db.query("select quote(srchtext), quote(custkey), quote(lockey), quote(accno), quote(address), "
                           "quote(lookupname), quote(ID), quote(LocRoute), quote(LocSeq) from "
                           + table + " order by rowid");
    while (q.next()) {
        QStringList values;
        for (int column = 0; column < 9; ++column)
            values << q.value(column).toString();
        rows << values.join('|');
    }
    return rows;
}

// The list is built and ordered in memory; histsrch, the lines and every re-sort
// must come out as the engine's own statements make them.
TEST_F(SelectionFixture, BuildAndReSortInMemoryMatchTheEngine)
{
    const QVariant names[] = {
        "smith", "SMITH", "Smith ", QVariant(), "  adams", "Ölund", "zeta", "_under", "ada", "10"};
    const QVariant ids[] = {"b1", "B1", QVariant(), "a", "É", "10", "9", "b1", "", "a"};
    const QVariant routes[] = {"10", "9", "r", "R", QVariant(), "", "10", "9", "r2", " 1"};
    const QVariant seqs[] = {5, 5, 1, QVariant(), 2.5, -3, 5, 0, 7, 1};
    for (int i = 0; i < 40; ++i) {
        const int k = (i * 7) % 10;
        addCustomer(i + 1, QStringLiteral("A%1").arg((i * 3) % 7), names[k], "ACTIVE", names[(k + 3) % 10]);
        // Locations keyed out of customer order, two to a customer now and then.
        addLocation(
            200 - i, i % 13 == 5 ? i : i + 1, ids[(i * 3) % 10], routes[k], seqs[(i * 9) % 10], names[(i * 5) % 10]);
    }
    for (const int option : {0, 1, 2, 3, 4, 7}) {
        const QStringList shownAtBuild = build(option);
        SqlConnection billing = SqlConnection::open(module.BillingDbPath);
        SearchLineFunction::registerOn(billing.handle());
        ASSERT_TRUE(billing.attach(module.WorkDbPath, "work"));
        billing.exec("drop table if exists work.engine");
        billing.exec("alter table work.histsrch rename to engine");
        billing.exec(QString(SearchList::CreateStatement).replace("histsrch", "work.histsrch"));
        ASSERT_TRUE(billing.exec(SearchList::buildStatement(option))) << billing.outcome().message().toStdString();
        const QStringList engine = tableRows(billing, "work.histsrch");
        EXPECT_EQ(tableRows(billing, "work.engine"), engine) << "build, option " << option;
        QStringList engineLines;
        for (const QString& row : engine)
            engineLines << row.section('|', 0, 0).chopped(1).mid(1).replace("''", "'");
        EXPECT_EQ(shownAtBuild, engineLines) << "lines, option " << option;
        for (int resort = 0; resort < SearchOption::Count; ++resort) {
            ASSERT_TRUE(SearchList::sort(resort, lines));
            QList<int> expected;
            QSqlQuery q = billing.query(QStringLiteral("select lockey from work.histsrch")
                                        + QString::fromLatin1(SearchOption::at(resort)->resortOrder));
            while (q.next())
                expected << q.value(0).toInt();
            QList<int> memory;
            for (qsizetype row = 0; row < lines.size(); ++row)
                memory << lines.locKey(row);
            EXPECT_EQ(memory, expected) << "re-sort " << resort << " after build " << option;
        }
        billing.exec("drop table work.engine");
    }
}

TEST_F(SelectionFixture, PrepareCreatesTheScratchFileOrReusesOneLeftBehind)
{
    module.WorkDbPath.clear();
    ASSERT_TRUE(SearchList::prepare(module));
    EXPECT_TRUE(module.WorkDbPath.startsWith(module.ProgramFolder + "/ledview"));
    EXPECT_TRUE(module.WorkDbPath.endsWith(".mdb"));
    EXPECT_TRUE(QFileInfo::exists(module.WorkDbPath));
    EXPECT_FALSE(module.WorkDb.isOpen());

    // A file of this run's name left by an earlier run without the table.
    suite.prepare(module);
    {
        SqlConnection old = SqlConnection::open(module.WorkDbPath, SqlConnection::Mode::CreateIfMissing);
        old.exec("create table jurn (x)");
    }
    addCustomer(1, "1", "X");
    addLocation(10, 1, "L");
    EXPECT_EQ(build().size(), 1);
}

TEST_F(SelectionFixture, MissingBillingTableSaysSoAndLeavesTheListEmpty)
{
    suite.exec("drop table [tbl location]");
    ASSERT_TRUE(SearchList::prepare(module));
    const Outcome built = SearchList::build(module, 0, lines);
    EXPECT_FALSE(built);
    EXPECT_TRUE(built.message().contains("tbl location")) << built.message().toStdString();
    EXPECT_TRUE(lines.isEmpty());
}

// A row that fails to read ends the load with the engine's reason, never a short list.
TEST_F(SelectionFixture, ReadFailingMidwayIsAnErrorNotTheEndOfTheList)
{
    ASSERT_TRUE(SearchList::prepare(module));
    ASSERT_TRUE(module.OpenWorkDb());
    module.ExecWork("drop table histsrch");
    module.ExecWork("create view histsrch as select 1 as rowid, 'A' as srchtext, 1 as custkey, 10 as lockey "
                    "union all select 2, 'B', abs(-9223372036854775807 - 1), 10");
    const Outcome loaded = SearchList::load(module.WorkDb, lines);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(loaded.message().contains("overflow")) << loaded.message().toStdString();
    module.CloseWorkDb();
    EXPECT_TRUE(lines.isEmpty());
}

} // namespace
