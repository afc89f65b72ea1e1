#pragma once

#include "demosuite/DemoHistory.h"
#include "demosuite/DemoRandom.h"
#include "demosuite/DemoRows.h"

#include <QDate>
#include <cstdint>
#include <map>
#include <string>

// Makes the customers and their one to three locations, and hands each location's
// plan to the history writer. Customer 1 (locations 1 and 2) and customer 2 carry
// fixed features so that every suite shows them, however small.
class DemoAccounts {
public:
    DemoAccounts(DemoRows& rows, uint64_t seed, int64_t locations, int years);

    void writeAll();
    int64_t customers() const { return m_customers; }

    // The last bill of every generated history: a fixed date, so a seed always gives
    // the same suite whatever day it is generated on.
    static QDate lastBill() { return QDate(2024, 12, 1); }

private:
    struct Address {
        std::string street;
        int route = 0;
    };

    void writeCustomer(int64_t custkey, int locationCount);
    DemoCustomerRow makeCustomer(int64_t custkey, bool active, DemoRandom& random);
    Address makeAddress(DemoRandom& random);
    DemoLocationPlan makePlan(int64_t custkey, int64_t lockey, bool active, DemoRandom& random);
    void applyFixedFeatures(DemoLocationPlan& plan);
    void addEdits(DemoLocationPlan& plan, const DemoCustomerRow& customer, DemoRandom& random);
    void writeLocation(const DemoLocationPlan& plan, const Address& address, DemoRandom& random);
    QDate dateBefore(const QDate& date, DemoRandom& random, int minDays, int maxDays) const;

    DemoRows& m_rows;
    DemoRandom m_random;
    int64_t m_locationTarget;
    int m_months;
    QDate m_firstBill;
    DemoHistory m_history;
    int64_t m_nextLocation = 1;
    int64_t m_customers = 0;
    std::map<std::string, int64_t> m_routeSequence;
};
