#include "demosuite/DemoTariff.h"

#include <cmath>

namespace DemoTariff {

int64_t chargeCents(std::string_view code, double consumption)
{
    const double units = consumption > 0 ? consumption : 0;
    if (code == "WATER")
        return 1250 + std::llround(units * 0.45); // 12.50 + 4.50 per 1,000 gallons
    if (code == "SEWER")
        return 1800 + std::llround(units * 0.30); // 18.00 + 3.00 per 1,000 gallons
    if (code == "ELEC")
        return 1500 + std::llround(units * 11.0); // 15.00 + 0.11 per kWh
    if (code == "TRASH")
        return 2200;
    return 0;
}

bool isMetered(std::string_view code)
{
    return code == "WATER" || code == "ELEC";
}

} // namespace DemoTariff
