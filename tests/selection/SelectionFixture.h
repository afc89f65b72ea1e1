#pragma once

#include "app/HistoryModule.h"
#include "selection/SearchList.h"
#include "support/TestSuite.h"

#include <gtest/gtest.h>

// A suite whose customers and locations are added by the test, and the search list
// built from them.
class SelectionFixture : public ::testing::Test {
protected:
    void SetUp() override { suite.prepare(module); }
    void addCustomer(int custKey, const QVariant& accno, const QVariant& name, const QVariant& status = "ACTIVE",
                     const QVariant& addr2 = "12 OAK ST")
    {
        suite.exec("insert into [tbl customer] (custkey, accno, lookupname, status, addr2) values (?, ?, ?, ?, ?)",
                   {custKey, accno, name, status, addr2});
    }

    void addLocation(int locKey, int custKey, const QVariant& id, const QVariant& route = "R1",
                     const QVariant& seq = 10, const QVariant& addr2 = "12 OAK ST")
    {
        suite.exec(
            "insert into [tbl location] (lockey, custkey, ID, locroute, locseq, addr2) values (?, ?, ?, ?, ?, ?)",
            {locKey, custKey, id, route, seq, addr2});
    }

    // Builds histsrch for the option and returns the lines in the list's order.
    QStringList build(int option = 0)
    {
        const Outcome prepared = SearchList::prepare(module);
        EXPECT_TRUE(prepared) << prepared.message().toStdString();
        const Outcome built = SearchList::build(module, option, lines);
        EXPECT_TRUE(built) << built.message().toStdString();
        QStringList texts;
        for (qsizetype row = 0; row < lines.size(); ++row)
            texts << lines.text(row).toString();
        return texts;
    }

    TestSuite suite;
    HistoryModule module;
    SearchLines lines;
};
