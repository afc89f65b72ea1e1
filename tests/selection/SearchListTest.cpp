#include "selection/AccountBalance.h"
#include "selection/SearchLineFunction.h"
#include "selection/SearchOption.h"
#include "support/CliRun.h"
#include "tests/selection/SelectionFixture.h"

#include <QFileInfo>
#include <QSqlQuery>

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

// Four accounts whose order differs under every option; one more without a location.
TEST_F(SelectionFixture, EachOptionOrdersTheBuildAndTheReSort)
{
    addCustomer(1, "300", "carter ann", "ACTIVE", "2 B ST");
    addLocation(10, 1, "ID-D", "9", 5, "Z LOC");
    addCustomer(2, "100", "BAKER BOB", "ACTIVE", "1 A ST");
    addLocation(20, 2, "ID-A", "10", 7, "Y LOC");
    addLocation(21, 2, "ID-C", "10", 2, "X LOC");
    addCustomer(3, "200", "ADAMS AL", "ACTIVE", "3 C ST");
    addLocation(30, 3, "id-b", "8", 1, "W LOC");
    addCustomer(4, "400", "NO LOCATIONS");
    const auto shownKeys = [this](bool customer) {
        QList<int> keys;
        for (qsizetype row = 0; row < lines.size(); ++row)
            keys << (customer ? lines.custKey(row) : lines.locKey(row));
        return keys;
    };
    // accno; name and ID without regard to case; customer addr2; route as text ("10" before "8"), then sequence
    const QList<QList<int>> customers = {{2, 2, 3, 1}, {3, 2, 2, 1}, {2, 2, 1, 3}, {2, 3, 2, 1}, {2, 2, 3, 1}};
    for (int option = 0; option < SearchOption::Count; ++option) {
        build(option);
        EXPECT_EQ(shownKeys(true), customers[option]) << "build, option " << option;
        for (int resort = 0; resort < SearchOption::Count; ++resort) {
            ASSERT_TRUE(SearchList::sort(resort, lines));
            EXPECT_EQ(shownKeys(true), customers[resort]) << "re-sort " << resort << " after build " << option;
        }
    }
    EXPECT_EQ(shownKeys(false).mid(0, 2), QList<int>({21, 20})); // the sequence orders customer 2's locations
    // The address build orders by the customer's line only; the re-sort by both lines.
    build(2);
    SearchList::sort(2, lines);
    EXPECT_EQ(shownKeys(false).mid(0, 2), QList<int>({21, 20})); // X LOC before Y LOC
    // An index outside the options keeps the stored order; a build without a fresh prepare replaces the rows.
    ASSERT_TRUE(SearchList::build(module, 7, lines));
    const QList<int> stored = shownKeys(false);
    SearchList::sort(1, lines);
    SearchList::sort(-1, lines);
    EXPECT_EQ(shownKeys(false), stored);
    EXPECT_EQ(SqlConnection::open(module.WorkDbPath).scalar("select count(*) from histsrch").toInt(), 4);
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
        // Locations keyed out of customer order, two to a customer now and then, the
        // keys spread to both ends so that the read's pieces are uneven.
        const int key = i == 0 ? -2147483647 : i == 1 ? 2147483647 : 200 - i;
        addLocation(
            key, i % 13 == 5 ? i : i + 1, ids[(i * 3) % 10], routes[k], seqs[(i * 9) % 10], names[(i * 5) % 10]);
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

// ledview-cli search prints the matching lines in build order, or rejects its arguments.
TEST_F(SelectionFixture, SearchCommandPrintsMatchingLinesInBuildOrder)
{
    addCustomer(1, "300", "O'BRIEN PAT");
    addLocation(10, 1, "L-3");
    addCustomer(2, "100", "SMITH ANN");
    addLocation(20, 2, "L-1" + QString(70000, 'x')); // the output goes out in more than one piece
    addCustomer(3, "200", "SMITHERS [BOB]");
    addLocation(30, 3, "L-2");
    // clang-format off
    const struct { QStringList args; QStringList accounts; int exitCode = 0; } cases[] = {
        {{}, {"100", "200", "300"}}, {{"--by", "1"}, {"300", "100", "200"}}, {{"--by", "1", "smith"}, {"100", "200"}},
        {{"--by=1", "o'b"}, {"300"}}, {{"--by", "1", "[bob]"}, {"300", "200"}}, // the operator's pattern: a set, any name with a b or an o
        {{"0"}, {"100", "200", "300"}}, // contains, as Find First
        {{"--by", "4", "zzz"}, {}},
        {{"--by", "5"}, {}, 2}, {{"--by"}, {}, 2}, {{"a", "b"}, {}, 2}, // only the five options, one text
    };
    // clang-format on
    for (const auto& c : cases) {
        const CliRun r = CliRun::cli(suite.folder(), QStringList{"search"} + c.args);
        QStringList accounts;
        for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts))
            accounts << line.left(12).trimmed();
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(accounts, c.accounts) << c.args.join(' ').toStdString();
    }
}

TEST_F(SelectionFixture, AccountBalanceComposesTheCaption)
{
    suite.addCodes();
    for (const char* code : {"B1", "B2"})
        suite.insert("[lkup transaction code]", {{"code", code}, {"description", code}, {"tgkey", 1}});
    using Pairs = std::vector<std::pair<QVariant, QVariant>>;
    const QVariant null;
    const struct {
        // Deposit payments are balance rows too: they count in the balance as well.
        Pairs balances; // totalcharges, totalpaid under WA, SW, B1, B2
        std::vector<QVariant> depositsPaid; // code DP totalpaid, at most one
        Pairs refunds; // appliedtobill, returnedtocustomer
        const char* status;
        const char* caption;
        bool inactive;
    } cases[] = {
        {{{"90.50", "28.00"}}, {50.0}, {}, "ACTIVE", "BAL: $12.50  DEP: $50.00", false},
        {{{"90.50", "28.00"}}, {50.0}, {{20.0, 30.0}}, "ACTIVE", "BAL: $12.50  DEP: REDEEMED", false},
        {{}, {}, {}, "INACTIVE", "INACTIVE  BAL: $0.00  DEP: NONE", true},
        {{{0.1, 0.2}}, {25.0}, {{10.0, 20.0}}, "ACTIVE", "BAL: -$25.10  DEP: -$5.00", false},
        {{{0.1, 0}, {0.1, 0}, {0.1, 0}, {0.075, 0}}, {}, {}, "ACTIVE", "BAL: $0.38  DEP: NONE", false}, // exact cents
        {{{7.0, 2.0}}, {10.0}, {{null, 1.0}, {4.0, 6.0}}, "ACTIVE", "BAL: -$5.00  DEP: REDEEMED", false},
        {{}, {-5.0}, {}, "ACTIVE", "BAL: $5.00  DEP: NONE", false}, // a negative deposit paid is none
        {{}, {}, {}, "Inactive", "BAL: $0.00  DEP: NONE", false}, // the status's case matters
    };
    const QString balance = "insert into [tbl balance] (custkey, lockey, code, totalcharges, totalpaid) "
                            "values (?, ?, ?, ?, ?)";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        for (const char* table : {"[tbl customer]", "[tbl location]", "[tbl balance]", "[tbl deposit refund]"})
            suite.exec(QString("delete from ") + table);
        addCustomer(1, "1001", "SMITH", c.status);
        addLocation(10, 1, "L10");
        // Another account's rows never count.
        suite.exec(balance, {1, 11, "WA", 99, 0});
        suite.exec(balance, {2, 10, "DP", 0, 99});
        const char* codes[] = {"WA", "SW", "B1", "B2"};
        for (size_t i = 0; i < c.balances.size(); ++i)
            suite.exec(balance, {1, 10, codes[i], c.balances[i].first, c.balances[i].second});
        for (const QVariant& paid : c.depositsPaid)
            suite.exec(balance, {1, 10, "DP", 0, paid});
        for (const auto& [applied, returned] : c.refunds)
            suite.exec("insert into [tbl deposit refund] (custkey, lockey, code, appliedtobill, returnedtocustomer) "
                       "values (1, 10, 'DP', ?, ?)",
                       {applied, returned});
        const QString line = build().value(0);
        module.CustKey = 1;
        module.LocKey = 10;

        AccountBalance shown;
        ASSERT_TRUE(AccountBalance::show(module, line, shown));
        EXPECT_EQ(shown.caption(), QString::fromUtf8(c.caption));
        EXPECT_EQ(shown.inactive, c.inactive);
        EXPECT_FALSE(module.BillingDb.isOpen());
    }
}

} // namespace
