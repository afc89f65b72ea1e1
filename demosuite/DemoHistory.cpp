#include "demosuite/DemoHistory.h"

#include "demosuite/DemoRandom.h"
#include "demosuite/DemoTariff.h"

#include <algorithm>
#include <cstdio>

namespace DemoCodes {

const Info& info(int code)
{
    static const Info kCodes[Count] = {
        {"WATER", "WATER SERVICE", 1},    {"SEWER", "SEWER SERVICE", 2},       {"ELEC", "ELECTRIC SERVICE", 3},
        {"TRASH", "TRASH COLLECTION", 4}, {"TAX", "STATE UTILITY TAX", 5},     {"PENALTY", "LATE PAYMENT PENALTY", 6},
        {"RECON", "RECONNECT FEE", 7},    {"DEPOSIT", "CUSTOMER DEPOSIT", 10},
    };
    return kCodes[code];
}

} // namespace DemoCodes

using namespace DemoCodes;

namespace {

constexpr const char* kUsers[] = {"CLERK1", "CLERK2", "MGR"};

// Apostrophes stored as backquotes, as the comment dialog writes them.
constexpr const char* kComments[] = {
    "CUSTOMER CALLED ABOUT HIGH BILL",       "DOG IN YARD - DON`T ENTER",     "METER BEHIND GATE *CODE 4411*",
    "LANDLORD`S NUMBER ON FILE [SEE NOTES]", "PROMISED TO PAY 50% BY FRIDAY", "PAYMENT PLAN SET UP - 3 MONTHS",
    "CUSTOMER REQUESTS PAPERLESS BILLING",   "LEAK REPORTED BY CUSTOMER",     "* DO NOT DISCONNECT - MEDICAL *",
};

constexpr const char* kCredits[] = {
    "LEAK ADJUSTMENT", "50% LEAK CREDIT", "BILLING ERROR CORRECTION", "SENIOR DISCOUNT"};
constexpr const char* kDebits[] = {"METER MISREAD CORRECTION", "PRIOR PERIOD USAGE"};
constexpr const char* kReadingNotes[] = {"RE-READ", "NEW SEAL", "DIAL DAMAGED"};

template <size_t N>
const char* pickText(DemoRandom& random, const char* const (&items)[N])
{
    return items[random.below(static_cast<int64_t>(N))];
}

} // namespace

std::string demoIso(const QDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year() % 10000, date.month(), date.day());
    return text;
}

int64_t DemoHistory::Ledger::owedTotal() const
{
    int64_t total = 0;
    for (int64_t cents : owed)
        total += cents;
    return total;
}

DemoHistory::DemoHistory(DemoRows& rows, QDate firstBill, int months)
    : m_rows(rows)
    , m_firstBill(firstBill)
    , m_months(months)
{}

void DemoHistory::write(const DemoLocationPlan& plan, DemoRandom& random)
{
    m_plan = &plan;
    m_random = &random;
    m_ledger = {};
    m_unpaidStreak = 0;
    m_nextCheck = random.between(1001, 8999);
    m_depositHeld = false;
    m_meters.clear();
    if (plan.water)
        m_meters.push_back(
            {Water, plan.waterMultiplier, random.between(0, 90000) / plan.waterMultiplier, newMsn(Water)});
    if (plan.elec)
        m_meters.push_back({Elec, plan.elecMultiplier, random.between(0, 60000) / plan.elecMultiplier, newMsn(Elec)});

    if (plan.depositCents > 0)
        writeDeposit();
    for (int month = plan.startMonth; month <= plan.endMonth; ++month)
        writeMonth(month);
    writeComments();
    writeBalances();
}

std::string DemoHistory::newMsn(int code)
{
    char text[16];
    std::snprintf(text, sizeof text, "%c%07lld", code == Water ? 'W' : 'E',
                  static_cast<long long>(m_random->between(100000, 9999999)));
    return text;
}

void DemoHistory::writeMonth(int month)
{
    const QDate bill = billDate(month);
    std::array<int64_t, Count> consumption{};
    writeReadings(month, bill, consumption);
    writeCharges(month, bill, consumption);

    const bool final = m_plan->vacant && month == m_plan->endMonth;
    if (!(final && m_plan->leaveFinalBillUnpaid))
        payMonth(month, bill);
    if (final && m_depositHeld)
        writeRefund(bill.addDays(m_random->between(3, 15)));
    // Good customers get their deposit back after two years; those moving out keep
    // it until the final bill settles.
    if (!m_plan->vacant && m_depositHeld && month - m_plan->startMonth >= 24 && m_random->chance(30))
        writeRefund(bill.addDays(m_random->between(20, 27)));
    if (final && m_ledger.owedTotal() > 0 && m_random->chance(400))
        pay(demoIso(bill.addDays(m_random->between(25, 27))), "CHECK", std::to_string(m_nextCheck++), -1);
}

int64_t DemoHistory::meterUsage(const Meter& meter, int month)
{
    const int calendarMonth = billDate(month).month();
    int64_t amount = 0;
    if (meter.code == Water) {
        amount = m_plan->tenants * m_random->between(1800, 6500);
        if (calendarMonth >= 6 && calendarMonth <= 9)
            amount = amount * 14 / 10;
    } else {
        amount = m_random->between(250, 1300);
        if (calendarMonth <= 2 || calendarMonth == 7 || calendarMonth == 8)
            amount = amount * 13 / 10;
    }
    return std::max<int64_t>(1, (amount + meter.multiplier / 2) / meter.multiplier);
}

void DemoHistory::writeReadings(int month, const QDate& bill, std::array<int64_t, Count>& consumption)
{
    const QDate read = bill.addDays(-m_random->between(3, 8));
    const std::string billText = demoIso(bill), readText = demoIso(read);
    const std::string entryText = demoIso(read.addDays(m_random->between(0, 2)));
    for (Meter& meter : m_meters) {
        DemoReadingRow row;
        row.custkey = m_plan->custkey;
        row.lockey = m_plan->lockey;
        row.code = info(meter.code).code;
        row.billDate = billText;
        row.readDate = readText;
        row.entryDate = entryText;
        row.multiplier = meter.multiplier;
        row.tenants = meter.code == Water ? m_plan->tenants : 1;
        const int64_t usage = meterUsage(meter, month);
        row.estimated = month == m_plan->forcedEstimateMonth || m_random->chance(40);
        row.comment = row.estimated ? "EST" : (m_random->chance(15) ? pickText(*m_random, kReadingNotes) : "");

        const bool changeOut = (month == m_plan->forcedChangeOutMonth && meter.code == Water)
            || (month > m_plan->startMonth && m_random->chance(4));
        if (changeOut) {
            // The old meter's last reading and the new meter's first share the bill date.
            const int64_t oldPart = std::max<int64_t>(1, usage * m_random->between(20, 80) / 100);
            row.msn = meter.msn;
            row.previous = meter.reading;
            row.present = meter.reading + oldPart;
            row.usage = oldPart;
            row.chgout = -1;
            m_rows.reading(row);
            meter.msn = newMsn(meter.code);
            meter.reading = 0;
            row.chgout = 1;
            row.estimated = false;
            row.comment = "";
            row.usage = usage - oldPart;
        } else {
            row.usage = usage;
        }
        row.msn = meter.msn;
        row.previous = meter.reading;
        row.present = meter.reading + row.usage;
        meter.reading = row.present;
        m_rows.reading(row);
        consumption[meter.code] += usage * meter.multiplier;
    }
}

void DemoHistory::charge(const std::string& date, int code, std::string_view comment, int64_t cents, bool adjusted)
{
    m_rows.charge(m_plan->custkey, m_plan->lockey, date, info(code).code, comment, cents, adjusted);
    m_ledger.charged[code] += cents;
    m_ledger.owed[code] += cents;
}

void DemoHistory::writeCharges(int month, const QDate& bill, const std::array<int64_t, Count>& consumption)
{
    const std::string date = demoIso(bill);
    const bool final = m_plan->vacant && month == m_plan->endMonth;
    if (month > m_plan->startMonth && m_ledger.owedTotal() > 100 && m_random->chance(700))
        charge(date, Penalty, "10% LATE PENALTY", std::max<int64_t>(200, m_ledger.owedTotal() / 10), false);
    if (m_unpaidStreak >= 2) {
        charge(date, Reconnect, "RECONNECT AFTER SHUT-OFF", 3500, false);
        m_rows.comment(m_plan->custkey, m_plan->lockey, date, "SERVICE SHUT OFF FOR NON-PAYMENT", "CLERK1");
        m_unpaidStreak = 0;
    }
    std::string_view note = final ? "FINAL BILL" : "";
    if (m_plan->water) {
        charge(date, Water, note, DemoTariff::chargeCents("WATER", static_cast<double>(consumption[Water])), false);
        note = "";
    }
    if (m_plan->sewer)
        charge(date, Sewer, "", DemoTariff::chargeCents("SEWER", static_cast<double>(consumption[Water])), false);
    if (m_plan->elec) {
        const int64_t elec = DemoTariff::chargeCents("ELEC", static_cast<double>(consumption[Elec]));
        charge(date, Elec, note, elec, false);
        charge(date, Tax, "5% UTILITY TAX", (elec * 5 + 50) / 100, false);
    }
    if (m_plan->trash)
        charge(date, Trash, "", DemoTariff::chargeCents("TRASH", 0), false);

    if (m_random->chance(25)) {
        const int code = m_plan->elec && m_random->chance(300) ? Elec : Water;
        const bool credit = m_random->chance(800);
        const int64_t cents = m_random->between(200, 2500);
        charge(demoIso(bill.addDays(m_random->between(0, 12))), code,
               credit ? pickText(*m_random, kCredits) : pickText(*m_random, kDebits), credit ? -cents : cents, true);
    }
}

std::string DemoHistory::newDocument(std::string_view& type)
{
    char text[16];
    switch (m_random->weighted({25, 50, 25})) {
    case 0:
        type = "CASH";
        std::snprintf(text, sizeof text, "R%06lld", static_cast<long long>(m_random->between(1, 999999)));
        return text;
    case 1: type = "CHECK"; return std::to_string(m_nextCheck++);
    default:
        type = "CARD";
        std::snprintf(text, sizeof text, "AUTH%06lld", static_cast<long long>(m_random->between(1, 999999)));
        return text;
    }
}

void DemoHistory::payMonth(int month, const QDate& bill)
{
    static const int kOnTime[] = {970, 750, 550};
    if (m_ledger.owedTotal() <= 0) {
        m_unpaidStreak = 0;
        return;
    }
    if (!m_random->chance(kOnTime[m_plan->payer])) {
        ++m_unpaidStreak;
        return;
    }
    m_unpaidStreak = 0;
    const std::string date = demoIso(bill.addDays(m_random->between(8, 26)));
    std::string_view type;
    std::string docno = newDocument(type);
    const bool partial = m_plan->payer == 2 && m_random->chance(300);
    if (partial) {
        pay(date, type, docno, m_ledger.owedTotal() / 2);
    } else if (m_random->chance(40) && month > m_plan->startMonth) {
        // Two documents on one day: the first covers about half the bill.
        pay(date, type, docno, m_ledger.owedTotal() / 2);
        docno = newDocument(type);
        pay(date, type, docno, -1);
    } else {
        pay(date, type, docno, -1);
    }
}

int64_t DemoHistory::pay(const std::string& date, std::string_view type, std::string_view docno, int64_t limitCents)
{
    // One document pays every code it can, one detail row per code.
    int64_t left = limitCents < 0 ? m_ledger.owedTotal() : limitCents;
    int64_t paidTotal = 0;
    for (int code = 0; code < Count && left > 0; ++code) {
        const int64_t part = std::min(left, m_ledger.owed[code]);
        if (part <= 0)
            continue;
        m_rows.payment(m_plan->custkey, m_plan->lockey, date, info(code).code, type, docno, part);
        m_ledger.paid[code] += part;
        m_ledger.owed[code] -= part;
        left -= part;
        paidTotal += part;
    }
    return paidTotal;
}

void DemoHistory::writeDeposit()
{
    const std::string date = demoIso(m_plan->inDate);
    m_rows.deposit(m_plan->custkey, m_plan->lockey, date, info(Deposit).code, m_plan->depositCents);
    m_ledger.charged[Deposit] += m_plan->depositCents;
    std::string_view type;
    const std::string docno = newDocument(type);
    m_rows.payment(m_plan->custkey, m_plan->lockey, date, info(Deposit).code, type, docno, m_plan->depositCents);
    m_ledger.paid[Deposit] += m_plan->depositCents;
    m_depositHeld = true;
}

void DemoHistory::writeRefund(const QDate& date)
{
    // The deposit first settles what is owed; the rest goes back to the customer.
    const std::string text = demoIso(date);
    const int64_t applied = std::clamp<int64_t>(m_ledger.owedTotal(), 0, m_plan->depositCents);
    if (applied > 0)
        pay(text, "DEP", "REFUND", applied);
    m_rows.refund(m_plan->custkey, m_plan->lockey, text, info(Deposit).code, applied, m_plan->depositCents - applied);
    m_depositHeld = false;
}

void DemoHistory::writeComments()
{
    const int64_t first = m_firstBill.addMonths(m_plan->startMonth).toJulianDay();
    const int64_t last = m_firstBill.addMonths(m_plan->endMonth).toJulianDay() + 20;
    auto dateBetween = [&] { return demoIso(QDate::fromJulianDay(m_random->between(first, last))); };
    if (m_plan->forcedComments) {
        m_rows.comment(m_plan->custkey, m_plan->lockey, dateBetween(), "DOG IN YARD - DON`T ENTER", "CLERK1");
        m_rows.comment(m_plan->custkey, m_plan->lockey, dateBetween(), "METER BEHIND GATE *CODE 4411*", "CLERK2");
    }
    const int64_t count = m_random->weighted({55, 30, 15});
    for (int64_t i = 0; i < count; ++i)
        m_rows.comment(
            m_plan->custkey, m_plan->lockey, dateBetween(), pickText(*m_random, kComments), kUsers[m_random->below(3)]);
    for (const auto& edit : m_plan->edits) {
        const QDate date = billDate(edit.month).addDays(m_random->between(0, 27));
        m_rows.accountEdit(
            m_plan->custkey, m_plan->lockey, demoIso(date), edit.field, edit.from, edit.to, kUsers[m_random->below(3)]);
    }
}

void DemoHistory::writeBalances()
{
    for (int code = 0; code < Count; ++code) {
        if (m_ledger.charged[code] != 0 || m_ledger.paid[code] != 0)
            m_rows.balance(
                m_plan->custkey, m_plan->lockey, info(code).code, m_ledger.charged[code], m_ledger.paid[code]);
    }
}
