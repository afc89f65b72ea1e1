#pragma once

#include "platform/Currency.h"

#include <QDate>
#include <QStringList>
#include <QVariantList>
#include <map>
#include <vector>

class SqlConnection;

// Balances by transaction code as of a posting date: per code, charges and deposits
// less refunds returned (totalcharges), payments less refunds returned (totalpaid),
// and their difference. The account's activity is read once per journal load, so a
// row change costs a binary search per code, not a pass over the journal.
class CodeBalances {
public:
    struct Row {
        QVariantList values; // the balance row's own columns, as the billing database has them
        QString code;
        Currency totalcharges;
        Currency totalpaid;
        Currency bal;
    };
    struct Table {
        QStringList columns; // bal's columns, then "bal"
        std::vector<Row> rows; // code order, TOTAL last
        Currency total;
        bool hasTotal = false; // false when no code has a balance row
    };

    // Reads bal, bd, pd, dep and depref of the scratch database for that account,
    // whose keys the TOTAL row carries.
    void load(SqlConnection& work, int custKey, int locKey);
    bool isLoaded() const { return m_loaded; }
    Table compute(const QDate& asOf) const;
    // Replaces baltemp with the table, in the order shown.
    static void store(SqlConnection& work, const Table& table, int custKey, int locKey);

private:
    struct Step {
        QString date; // ISO: compares as text
        int64_t charges = 0; // ten-thousandths, running totals up to this date
        int64_t paid = 0;
    };
    void addActivity(SqlConnection& work, const char* sql, int chargeSign, int paidSign);

    bool m_loaded = false;
    int m_custKey = 0;
    int m_locKey = 0;
    QStringList m_columns;
    int m_codeColumn = -1;
    int m_chargesColumn = -1;
    int m_paidColumn = -1;
    std::vector<QVariantList> m_balanceRows;
    std::map<QString, std::vector<Step>> m_steps; // per code, by date, running totals
};
