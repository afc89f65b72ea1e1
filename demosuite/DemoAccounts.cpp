#include "demosuite/DemoAccounts.h"

#include "demosuite/DemoRandom.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kFirstNames[] = {
    "JAMES",   "MARY",    "ROBERT",  "PATRICIA", "JOHN",    "JENNIFER", "MICHAEL", "LINDA",  "DAVID",   "ELIZABETH",
    "WILLIAM", "BARBARA", "RICHARD", "SUSAN",    "JOSEPH",  "JESSICA",  "THOMAS",  "SARAH",  "CHARLES", "KAREN",
    "DANIEL",  "NANCY",   "MATTHEW", "LISA",     "ANTHONY", "BETTY",    "MARK",    "SANDRA", "DONALD",  "ASHLEY"};
constexpr const char* kLastNames[] = {
    "SMITH",    "JOHNSON",   "WILLIAMS", "BROWN",    "JONES",    "GARCIA",       "MILLER",   "DAVIS",    "RODRIGUEZ",
    "MARTINEZ", "HERNANDEZ", "LOPEZ",    "GONZALEZ", "WILSON",   "ANDERSON",     "THOMAS",   "TAYLOR",   "MOORE",
    "JACKSON",  "MARTIN",    "LEE",      "PEREZ",    "THOMPSON", "WHITE",        "HARRIS",   "SANCHEZ",  "CLARK",
    "RAMIREZ",  "LEWIS",     "ROBINSON", "O'BRIEN",  "O'NEIL",   "VAN DER BERG", "MCDONALD", "ST. JAMES"};
constexpr const char* kBusinesses[] = {
    "RIVERSIDE DINER", "MAIN STREET HARDWARE", "FIRST BAPTIST CHURCH", "A*STAR CLEANERS [DOWNTOWN]",
    "JOE'S GARAGE",    "HILLTOP APARTMENTS",   "COUNTY LIBRARY",       "SUNRISE BAKERY",
    "100% AUTO PARTS", "LAKEVIEW MOTEL"};
constexpr const char* kStreets[] = {"MAIN ST",     "OAK AVE",   "MAPLE DR",      "ELM ST",        "RIVER RD",
                                    "CHURCH ST",   "MILL RD",   "PARK AVE",      "HIGH ST",       "WALNUT ST",
                                    "CEDAR LN",    "HILL RD",   "LAKE SHORE DR", "WASHINGTON ST", "LINCOLN AVE",
                                    "CHESTNUT ST", "SPRING ST", "FRONT ST",      "SCHOOL ST",     "CENTER ST"};
constexpr const char* kCities[] = {"RIVERSIDE", "RIVERSIDE", "RIVERSIDE", "MILLTOWN", "EAST RIVERSIDE"};
constexpr const char* kZips[] = {"45601", "45601", "45602", "45610", "45603"};

template <size_t N>
const char* pickText(DemoRandom& random, const char* const (&items)[N])
{
    return items[random.below(static_cast<int64_t>(N))];
}

std::string phoneNumber(DemoRandom& random)
{
    char text[16];
    std::snprintf(text, sizeof text, "555-%04lld", static_cast<long long>(random.between(0, 9999)));
    return text;
}

} // namespace

DemoAccounts::DemoAccounts(DemoRows& rows, uint64_t seed, int64_t locations, int years)
    : m_rows(rows)
    , m_random(seed)
    , m_locationTarget(locations)
    , m_months(std::max(0, years) * 12)
    , m_firstBill(lastBill().addMonths(-std::max(0, m_months - 1)))
    , m_history(rows, m_firstBill, m_months)
{}

void DemoAccounts::writeAll()
{
    int64_t custkey = 1;
    while (m_nextLocation <= m_locationTarget) {
        int count = custkey == 1 ? 2 : 1 + m_random.weighted({75, 18, 7});
        count = static_cast<int>(std::min<int64_t>(count, m_locationTarget - m_nextLocation + 1));
        writeCustomer(custkey, count);
        ++custkey;
    }
}

void DemoAccounts::writeCustomer(int64_t custkey, int locationCount)
{
    const bool active = custkey == 1 || (custkey != 2 && !m_random.chance(80));
    DemoCustomerRow customer = makeCustomer(custkey, active, m_random);
    QDate opened;

    for (int i = 0; i < locationCount; ++i) {
        const int64_t lockey = m_nextLocation++;
        DemoLocationPlan plan = makePlan(custkey, lockey, active, m_random);
        // Most customers live at their first service location.
        Address address = makeAddress(m_random);
        if (lockey == 1)
            address.street = "100% Main [Rear]";
        if (i == 0 && customer.addr2.empty())
            customer.addr2 = address.street;
        if (i == 0)
            addEdits(plan, customer, m_random);
        writeLocation(plan, address, m_random);
        if (!opened.isValid() || plan.inDate < opened)
            opened = plan.inDate;
    }
    customer.openDate = demoIso(opened);
    m_rows.customer(customer);
    ++m_customers;
}

DemoCustomerRow DemoAccounts::makeCustomer(int64_t custkey, bool active, DemoRandom& random)
{
    DemoCustomerRow c;
    c.custkey = custkey;
    c.accno = std::to_string(10000 + custkey);
    c.active = active;
    if (custkey == 3 || (custkey != 1 && random.chance(120))) {
        c.companyName = custkey == 3 ? "A*STAR CLEANERS [DOWNTOWN]" : pickText(random, kBusinesses);
        c.lookupname = c.companyName;
    } else {
        c.fname = pickText(random, kFirstNames);
        c.lname = custkey == 1 ? "O'BRIEN" : pickText(random, kLastNames);
        if (random.chance(600))
            c.mname = std::string(1, static_cast<char>('A' + random.below(26)));
        c.lookupname = c.lname + ", " + c.fname;
    }
    if (random.chance(850))
        c.phone = phoneNumber(random);
    if (random.chance(40))
        c.addr1 = "C/O " + std::string(pickText(random, kLastNames)) + " PROPERTY MGMT";
    // A few customers get their mail elsewhere; the rest take their first location's street.
    if (random.chance(150))
        c.addr2 = "PO BOX " + std::to_string(random.between(1, 2999));
    const int64_t town = random.below(5);
    c.city = kCities[town];
    c.state = "OH";
    c.zip = kZips[town];
    return c;
}

DemoAccounts::Address DemoAccounts::makeAddress(DemoRandom& random)
{
    Address a;
    a.route = static_cast<int>(random.below(static_cast<int64_t>(std::size(kStreets))));
    a.street = std::to_string(random.between(1, 4999)) + " " + kStreets[a.route];
    return a;
}

QDate DemoAccounts::dateBefore(const QDate& date, DemoRandom& random, int minDays, int maxDays) const
{
    return date.addDays(-random.between(minDays, maxDays));
}

DemoLocationPlan DemoAccounts::makePlan(int64_t custkey, int64_t lockey, bool active, DemoRandom& random)
{
    DemoLocationPlan p;
    p.custkey = custkey;
    p.lockey = lockey;
    p.elec = random.chance(550);
    p.sewer = random.chance(750);
    p.trash = random.chance(650);
    static const int kMultipliers[] = {1, 10, 100};
    p.waterMultiplier = kMultipliers[random.weighted({80, 15, 5})];
    p.elecMultiplier = kMultipliers[random.weighted({85, 10, 5})];
    p.tenants = 1 + random.weighted({85, 8, 5, 2});
    p.payer = random.weighted({70, 20, 10});
    p.vacant = !active || random.chance(70);

    const int last = std::max(0, m_months - 1);
    const bool movedInDuringHistory = m_months > 0 && random.chance(350);
    p.startMonth = movedInDuringHistory ? static_cast<int>(random.between(0, last)) : 0;
    p.endMonth = p.vacant && m_months > 0 ? static_cast<int>(random.between(p.startMonth, last)) : last;
    const QDate firstBill = m_firstBill.addMonths(p.startMonth);
    p.inDate = movedInDuringHistory ? dateBefore(firstBill, random, 5, 25) : dateBefore(m_firstBill, random, 30, 7000);
    if (movedInDuringHistory && random.chance(750))
        p.depositCents = 2500 * random.between(2, 4);
    if (p.vacant) {
        const QDate end = m_months > 0 ? m_firstBill.addMonths(p.endMonth) : lastBill();
        p.outDate = std::max(p.inDate.addDays(1), dateBefore(end, random, 2, 12));
    }
    applyFixedFeatures(p);
    return p;
}

void DemoAccounts::applyFixedFeatures(DemoLocationPlan& p)
{
    if (p.lockey > 2 || m_months < 6)
        return;
    // Location 1: multipliers 10 and 100, a meter change-out, an estimate, comments.
    // Location 2: vacated with a final bill settled partly from the deposit.
    p.startMonth = 0;
    p.inDate = m_firstBill.addDays(-20);
    p.depositCents = p.lockey == 1 ? 7500 : 20000;
    p.payer = 0;
    p.water = p.sewer = p.trash = true;
    p.tenants = 1;
    p.vacant = p.lockey == 2;
    if (p.lockey == 1) {
        p.elec = true;
        p.waterMultiplier = 10;
        p.elecMultiplier = 100;
        p.endMonth = m_months - 1;
        p.outDate = QDate();
        p.forcedChangeOutMonth = m_months / 2;
        p.forcedEstimateMonth = 2;
        p.forcedComments = true;
    } else {
        p.elec = false;
        p.waterMultiplier = 1;
        p.endMonth = m_months - 4;
        p.outDate = m_firstBill.addMonths(p.endMonth).addDays(-5);
        p.leaveFinalBillUnpaid = true;
    }
}

void DemoAccounts::addEdits(DemoLocationPlan& plan, const DemoCustomerRow& customer, DemoRandom& random)
{
    if (m_months == 0 || !(plan.lockey == 1 || random.chance(250)))
        return;
    const int month = static_cast<int>(random.between(plan.startMonth, plan.endMonth));
    if (random.chance(500) || plan.lockey == 1)
        plan.edits.push_back({month, "PHONE", phoneNumber(random), customer.phone});
    else
        plan.edits.push_back({month, "LOOKUPNAME", customer.lookupname + " & SPOUSE", customer.lookupname});
    if (random.chance(300))
        plan.edits.push_back({month, "ZIP", "45600", customer.zip});
}

void DemoAccounts::writeLocation(const DemoLocationPlan& plan, const Address& address, DemoRandom& random)
{
    DemoLocationRow row;
    row.lockey = plan.lockey;
    row.custkey = plan.custkey;
    char id[16];
    std::snprintf(id, sizeof id, "SL%06lld", static_cast<long long>(plan.lockey));
    row.id = id;
    row.addr2 = address.street;
    if (random.chance(100))
        row.addr1 = "APT " + std::to_string(random.between(1, 40));
    // Routes follow the streets; a few rural routes have long names.
    char route[16];
    if (address.route == 19 && random.chance(500))
        std::snprintf(route, sizeof route, "RURAL%02d", address.route);
    else
        std::snprintf(route, sizeof route, "%02d", address.route + 1);
    row.route = route;
    row.sequence = (m_routeSequence[row.route] += 10);
    row.inDate = demoIso(plan.inDate);
    if (plan.vacant)
        row.outDate = demoIso(plan.outDate);
    m_rows.location(row);
    if (m_months > 0)
        m_history.write(plan, random);
}
