#pragma once

#include "platform/SqlStatement.h"

#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class SqlConnection;

// Text arguments: an empty view is stored as NULL, as the suite leaves unused
// fields empty. Amounts are whole cents, written as REAL dollars.
struct DemoCustomerRow {
    int64_t custkey = 0;
    std::string accno, lookupname, fname, mname, lname, companyName, phone;
    std::string addr1, addr2, city, state, zip, openDate;
    bool active = true;
};

struct DemoLocationRow {
    int64_t lockey = 0;
    int64_t custkey = 0;
    std::string id, addr1, addr2, route, inDate, outDate;
    int64_t sequence = 0;
};

struct DemoReadingRow {
    int64_t custkey = 0, lockey = 0;
    std::string_view code;
    std::string readDate, billDate, entryDate, msn;
    int64_t previous = 0, present = 0, usage = 0, multiplier = 1, tenants = 1;
    int chgout = 0; // 0, -1 (old meter's last reading) or 1 (new meter's first)
    bool estimated = false;
    std::string_view comment;
};

// One prepared insert per billing table, reused for every row of a bulk write.
class DemoRows {
public:
    enum Table {
        Customer,
        Location,
        Reading,
        BillDetail,
        Payment,
        Deposit,
        Refund,
        Balance,
        Comment,
        AccountEdit,
        TransactionCode,
        TableCount
    };

    explicit DemoRows(const SqlConnection& db);

    void customer(const DemoCustomerRow& row);
    void location(const DemoLocationRow& row);
    void reading(const DemoReadingRow& row);
    void charge(int64_t custkey, int64_t lockey, std::string_view date, std::string_view code, std::string_view comment,
                int64_t cents, bool adjusted);
    void payment(int64_t custkey, int64_t lockey, std::string_view date, std::string_view code, std::string_view type,
                 std::string_view docno, int64_t cents);
    void deposit(int64_t custkey, int64_t lockey, std::string_view date, std::string_view code, int64_t cents);
    void refund(int64_t custkey, int64_t lockey, std::string_view date, std::string_view code, int64_t appliedCents,
                int64_t returnedCents);
    void balance(int64_t custkey, int64_t lockey, std::string_view code, int64_t chargedCents, int64_t paidCents);
    void comment(int64_t custkey, int64_t lockey, std::string_view date, std::string_view text, std::string_view user);
    void accountEdit(int64_t custkey, int64_t lockey, std::string_view date, std::string_view field,
                     std::string_view from, std::string_view to, std::string_view user);
    void transactionCode(std::string_view code, std::string_view description, int tgkey);

    int64_t count(Table table) const { return m_counts[table]; }
    int64_t totalRows() const;
    // The first failure's message, empty while every insert succeeded.
    const QString& error() const { return m_error; }

private:
    void run(Table table);
    SqlStatement& at(Table table) { return m_statements[table]; }

    std::array<SqlStatement, TableCount> m_statements;
    std::array<int64_t, TableCount> m_counts{};
    QString m_error;
};
