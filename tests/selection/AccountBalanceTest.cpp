#include "selection/AccountBalance.h"
#include "tests/selection/SelectionFixture.h"

namespace {

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
        QString caption;
        ASSERT_TRUE(AccountBalance::forAccount(module, 1, 10, caption));
        EXPECT_EQ(caption, QString::fromUtf8(c.caption));
    }
    // The status field of the line decides, at its place and to the letter.
    const QString prefix = QString(24, QLatin1Char(' '));
    EXPECT_TRUE(AccountBalance::lineIsInactive(prefix + "INACTIVE SMITH"));
    EXPECT_TRUE(AccountBalance::lineIsInactive(prefix + "INACTIVE"));
    EXPECT_FALSE(AccountBalance::lineIsInactive(prefix + "INACTIV"));
    EXPECT_FALSE(AccountBalance::lineIsInactive(prefix + " INACTIVE"));
    EXPECT_FALSE(AccountBalance::lineIsInactive(QString()));
}

} // namespace
