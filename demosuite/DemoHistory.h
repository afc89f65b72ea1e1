#pragma once

#include "demosuite/DemoRows.h"

#include <QDate>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class DemoRandom;

// The demo utility's transaction codes; DEPOSIT is the deposit group (tgkey 10).
namespace DemoCodes {
enum Code { Water, Sewer, Elec, Trash, Tax, Penalty, Reconnect, Deposit, Count };
struct Info {
    const char* code;
    const char* description;
    int tgkey;
};
const Info& info(int code);
} // namespace DemoCodes

// What one location's history should contain; months count from the first bill.
struct DemoLocationPlan {
    struct Edit {
        int month = 0;
        std::string field, from, to;
    };

    int64_t custkey = 0;
    int64_t lockey = 0;
    int startMonth = 0; // first bill
    int endMonth = 0; // last bill; the final bill when vacant
    bool vacant = false;
    QDate inDate;
    QDate outDate; // set when vacant
    bool water = true, sewer = false, elec = false, trash = false;
    int waterMultiplier = 1, elecMultiplier = 1;
    int tenants = 1;
    int64_t depositCents = 0; // paid at move-in when the move-in is inside the history
    int payer = 0; // 0 pays on time, 1 sometimes late, 2 poor
    std::vector<Edit> edits;
    // Features placed on purpose so that every suite, however small, shows them.
    int forcedChangeOutMonth = -1;
    int forcedEstimateMonth = -1;
    bool forcedComments = false;
    bool leaveFinalBillUnpaid = false;
};

// Writes one location's readings, charges, payments, deposits, refunds, comments,
// account edits and balance rows, keeping per-code ledgers in whole cents so the
// balance rows agree with the detail rows exactly.
class DemoHistory {
public:
    DemoHistory(DemoRows& rows, QDate firstBill, int months);

    QDate billDate(int month) const { return m_firstBill.addMonths(month); }
    void write(const DemoLocationPlan& plan, DemoRandom& random);

private:
    struct Meter {
        int code = 0;
        int multiplier = 1;
        int64_t reading = 0;
        std::string msn;
    };
    struct Ledger {
        std::array<int64_t, DemoCodes::Count> charged{}, paid{}, owed{};
        int64_t owedTotal() const;
    };

    void writeMonth(int month);
    void writeReadings(int month, const QDate& bill, std::array<int64_t, DemoCodes::Count>& consumption);
    int64_t meterUsage(const Meter& meter, int month);
    void writeCharges(int month, const QDate& bill, const std::array<int64_t, DemoCodes::Count>& consumption);
    void charge(const std::string& date, int code, std::string_view comment, int64_t cents, bool adjusted);
    void payMonth(int month, const QDate& bill);
    int64_t pay(const std::string& date, std::string_view type, std::string_view docno, int64_t limitCents);
    std::string newDocument(std::string_view& type);
    void writeDeposit();
    void writeRefund(const QDate& date);
    void writeComments();
    void writeBalances();
    std::string newMsn(int code);

    DemoRows& m_rows;
    QDate m_firstBill;
    int m_months;
    const DemoLocationPlan* m_plan = nullptr;
    DemoRandom* m_random = nullptr;
    std::vector<Meter> m_meters;
    Ledger m_ledger;
    int m_unpaidStreak = 0;
    int64_t m_nextCheck = 0;
    bool m_depositHeld = false;
};

// ISO date text as stored.
std::string demoIso(const QDate& date);
