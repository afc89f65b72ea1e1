#pragma once

#include "app/HistoryModule.h"
#include "journal/JournalLoader.h"
#include "support/TestSuite.h"

#include <gtest/gtest.h>

// One account (customer 1, location 10) in a fresh suite, and the journal built from it.
class JournalFixture : public ::testing::Test {
protected:
    using P = Row::value_type; // one column of a row: P{"name", value} keeps long rows to a line or two

    void SetUp() override
    {
        // The billing file is thrown away after the test: its rows need not wait for the disk.
        suite.exec("pragma synchronous = off");
        suite.addCodes();
        suite.addAccount(1, 10);
        suite.prepare(module, 1, 10);
    }
    // A row of customer `account` at location 10 times `account`.
    void add(const char* table, const Row& row, int account = 1)
    {
        Row full{{"custkey", account}, {"lockey", account * 10}};
        full.insert(full.end(), row.begin(), row.end());
        suite.insert(QString::fromLatin1(table), full);
    }
    // A charge, or a payment, of `account` posted on `day`.
    void bill(const QVariant& day, const char* code, const QVariant& amount, const Row& more = {}, int account = 1)
    {
        add("[tbl bill detail]", with({{"date", day}, {"code", code}, {"amount", amount}}, more), account);
    }
    void pay(const QVariant& day, const char* code, const QVariant& amount, const Row& more = {}, int account = 1)
    {
        add("[tbl payment detail]", with({{"date", day}, {"code", code}, {"amount", amount}}, more), account);
    }
    static Row with(Row row, const Row& more)
    {
        row.insert(row.end(), more.begin(), more.end());
        return row;
    }

    // A WA reading of account 1 billed on `day`.
    void reading(const QVariant& day, QVariant previous, QVariant present, QVariant usage, QVariant multiplier,
                 const Row& more = {})
    {
        Row row{{"billdate", day},    {"code", "WA"},   {"previous", previous},
                {"present", present}, {"usage", usage}, {"multiplier", multiplier}};
        row.insert(row.end(), more.begin(), more.end());
        add("[tbl reading]", row);
    }

    std::vector<JournalRow> build(const JournalFlags& flags = {})
    {
        JournalFlags used = flags;
        result = JournalLoader::load(module, used, QString());
        EXPECT_TRUE(result.extraction.outcome) << result.extraction.outcome.message().toStdString();
        return result.rows;
    }

    static QStringList column(const std::vector<JournalRow>& rows, QString JournalRow::*field)
    {
        QStringList values;
        for (const JournalRow& row : rows)
            values << row.*field;
        return values;
    }

    TestSuite suite;
    HistoryModule module;
    JournalLoader::Result result;
};
