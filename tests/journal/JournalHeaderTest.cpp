#include "journal/JournalFixture.h"

namespace {

class JournalHeaderTest : public ::testing::Test {
protected:
    void SetUp() override { suite.exec("pragma synchronous = off"); } // a throw-away file

    JournalHeader compose()
    {
        HistoryModule module;
        suite.prepare(module, 7, 70);
        JournalFlags flags;
        const auto loaded = JournalLoader::load(module, flags, QStringLiteral("design"));
        EXPECT_TRUE(loaded.extraction.outcome);
        return loaded.header;
    }

    void customer(const Row& extra)
    {
        Row row{{"custkey", 7}, {"accno", "10442"}, {"lookupname", "RIVERSIDE MILL"}};
        row.insert(row.end(), extra.begin(), extra.end());
        suite.insert("[tbl customer]", row);
    }

    void location(const Row& extra)
    {
        Row row{{"custkey", 7}, {"lockey", 70}, {"ID", " 0042 "}, {"locroute", " 12 "}};
        row.insert(row.end(), extra.begin(), extra.end());
        suite.insert("[tbl location]", row);
    }
    // A deposit charged (table "[tbl deposit]") or paid ("[tbl payment detail]") under `code`.
    void money(const char* table, const char* code, double amount)
    {
        suite.insert(table, {{"custkey", 7}, {"lockey", 70}, {"code", code}, {"amount", amount}});
    }

    TestSuite suite;
};

TEST_F(JournalHeaderTest, FourLinesForAnActiveOccupiedAccountWithDeposit)
{
    suite.addCodes();
    using P = Row::value_type;
    customer({P{"fname", "Mary"}, P{"mname", "  "}, P{"lname", "Jones"}, P{"phone", " 555-1212 "},
              P{"addr1", "1 Mill Rd"}, P{"addr2", ""}, P{"city", "Riverside"}, P{"state", "IA"}, P{"zip", "52327"},
              P{"active", -1}});
    location({{"addr1", "1 Mill Rd"}, {"addr2", "Rear"}, {"locseq", 340}});
    money("[tbl deposit]", "DP", 50);
    for (const auto& [code, amount] : {std::pair{"DP", 30}, {"DP", 20}, {"WA", 99}})
        money("[tbl payment detail]", code, amount);

    const JournalHeader header = compose();
    EXPECT_EQ(header.label,
              "Account: 10442   Mary Jones   PH: 555-1212\r\n"
              "1 Mill Rd , Riverside IA 52327  -  ACTIVE\r\n"
              "Loc ID: 0042   1 Mill Rd Rear  -  OCCUPIED\r\n"
              "Route: 12 SEQ#: 340   DEPOSIT: $50.00");
    EXPECT_TRUE(header.active);
    EXPECT_EQ(JournalHeader::trimBlanks("  a\tb  "), "a\tb"); // blanks only
}

TEST_F(JournalHeaderTest, InactiveVacantThenDepositPaidThenWithoutCustomer)
{
    customer({{"fname", "Al"}, {"lname", "Bo"}, {"CompanyName", "Bo's Bar"}, {"active", 0}});
    location({{"outdate", "2019-01-01"}});
    money("[tbl deposit]", "DP", 50);
    JournalHeader header = compose();
    EXPECT_EQ(header.label,
              "Account: 10442   Al Bo Bo's Bar\r\n"
              " ,    -  INACTIVE\r\n"
              "Loc ID: 0042      -  VACANT\r\n"
              "Route: 12 SEQ#: ");
    EXPECT_FALSE(header.active);
    // The deposit paid is summed exactly and shown only above zero.
    suite.exec("update [tbl deposit] set amount = 75");
    money("[tbl payment detail]", "DP", 9999999999999.99);
    money("[tbl payment detail]", "DP", 0.02);
    EXPECT_TRUE(compose().label.endsWith("SEQ#:    DEPOSIT: $10000000000000.01"));
    suite.exec("update [tbl deposit] set amount = 0");
    EXPECT_FALSE(compose().label.contains("DEPOSIT"));
    // Without a customer the label keeps its design text.
    suite.exec("delete from [tbl customer]");
    header = compose();
    EXPECT_FALSE(header.hasCustomer);
    EXPECT_TRUE(header.label.startsWith("designLoc ID: 0042"));
}

} // namespace
