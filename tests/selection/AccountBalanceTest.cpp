#include "selection/AccountBalance.h"
#include "tests/selection/SelectionFixture.h"

namespace {

struct BalanceCase {
    const char* name;
    // Deposit payments are balance rows too: they count in the balance as well.
    std::vector<std::pair<QVariant, QVariant>> balances; // totalcharges, totalpaid
    std::vector<QVariant> depositsPaid; // code DP totalpaid, at most one
    std::vector<std::pair<QVariant, QVariant>> refunds; // appliedtobill, returnedtocustomer
    const char* status;
    const char* caption;
    bool inactive;
};

class AccountBalanceTest : public SelectionFixture, public ::testing::WithParamInterface<BalanceCase> {
protected:
    void SetUp() override
    {
        SelectionFixture::SetUp();
        suite.addCodes();
        for (const char* code : {"B1", "B2"})
            suite.insert("[lkup transaction code]", {{"code", code}, {"description", code}, {"tgkey", 1}});
    }
};

TEST_P(AccountBalanceTest, ComposesTheCaption)
{
    const BalanceCase& c = GetParam();
    addCustomer(1, "1001", "SMITH", c.status);
    addLocation(10, 1, "L10");
    // Another account's rows never count.
    suite.insert(
        "[tbl balance]", {{"custkey", 1}, {"lockey", 11}, {"code", "WA"}, {"totalcharges", 99}, {"totalpaid", 0}});
    suite.insert(
        "[tbl balance]", {{"custkey", 2}, {"lockey", 10}, {"code", "DP"}, {"totalcharges", 0}, {"totalpaid", 99}});
    // One balance row per code and account.
    const char* codes[] = {"WA", "SW", "B1", "B2"};
    for (size_t i = 0; i < c.balances.size(); ++i)
        suite.insert("[tbl balance]",
                     {{"custkey", 1},
                      {"lockey", 10},
                      {"code", codes[i]},
                      {"totalcharges", c.balances[i].first},
                      {"totalpaid", c.balances[i].second}});
    for (const QVariant& paid : c.depositsPaid)
        suite.insert("[tbl balance]",
                     {{"custkey", 1}, {"lockey", 10}, {"code", "DP"}, {"totalcharges", 0}, {"totalpaid", paid}});
    for (const auto& [applied, returned] : c.refunds)
        suite.insert("[tbl deposit refund]",
                     {{"custkey", 1},
                      {"lockey", 10},
                      {"code", "DP"},
                      {"appliedtobill", applied},
                      {"returnedtocustomer", returned}});
    const QString line = build().value(0);
    module.CustKey = 1;
    module.LocKey = 10;

    AccountBalance balance;
    ASSERT_TRUE(AccountBalance::show(module, line, balance));
    EXPECT_EQ(balance.caption(), QString::fromUtf8(c.caption));
    EXPECT_EQ(balance.inactive, c.inactive);
    EXPECT_FALSE(module.BillingDb.isOpen());

    QString caption;
    ASSERT_TRUE(AccountBalance::forAccount(module, 1, 10, caption));
    EXPECT_EQ(caption, QString::fromUtf8(c.caption));
}

INSTANTIATE_TEST_SUITE_P(
    Captions, AccountBalanceTest,
    ::testing::Values(
        BalanceCase{"owingWithDeposit", {{"90.50", "28.00"}}, {50.0}, {}, "ACTIVE", "BAL: $12.50  DEP: $50.00", false},
        BalanceCase{"depositRedeemed",
                    {{"90.50", "28.00"}},
                    {50.0},
                    {{20.0, 30.0}},
                    "ACTIVE",
                    "BAL: $12.50  DEP: REDEEMED",
                    false},
        BalanceCase{"inactiveWithoutAnything", {}, {}, {}, "INACTIVE", "INACTIVE  BAL: $0.00  DEP: NONE", true},
        BalanceCase{
            "refundsExceedDeposit", {{0.1, 0.2}}, {25.0}, {{10.0, 20.0}}, "ACTIVE", "BAL: -$25.10  DEP: -$5.00", false},
        BalanceCase{"exactCentsOverManyRows",
                    {{0.1, 0}, {0.1, 0}, {0.1, 0}, {0.075, 0}},
                    {},
                    {},
                    "ACTIVE",
                    "BAL: $0.38  DEP: NONE",
                    false},
        BalanceCase{"nullRefundTermsAddNothing",
                    {{7.0, 2.0}},
                    {10.0},
                    {{QVariant(), 1.0}, {4.0, 6.0}},
                    "ACTIVE",
                    "BAL: -$5.00  DEP: REDEEMED",
                    false},
        BalanceCase{"negativeDepositPaidIsNone", {}, {-5.0}, {}, "ACTIVE", "BAL: $5.00  DEP: NONE", false},
        BalanceCase{"statusCaseMatters", {}, {}, {}, "Inactive", "BAL: $0.00  DEP: NONE", false}),
    [](const ::testing::TestParamInfo<BalanceCase>& info) { return std::string(info.param.name); });

TEST(AccountBalanceLineTest, ReadsTheStatusFieldOfTheLine)
{
    const QString prefix = QString(24, QLatin1Char(' '));
    EXPECT_TRUE(AccountBalance::lineIsInactive(prefix + "INACTIVE SMITH"));
    EXPECT_TRUE(AccountBalance::lineIsInactive(prefix + "INACTIVE"));
    EXPECT_FALSE(AccountBalance::lineIsInactive(prefix + "INACTIV"));
    EXPECT_FALSE(AccountBalance::lineIsInactive(prefix + " INACTIVE"));
    EXPECT_FALSE(AccountBalance::lineIsInactive(QString()));
}

} // namespace
