#pragma once

#include <cstdint>
#include <string_view>

// The demo utility's rates, shared by the generator and the meter-entry stand-in so
// that a recomputed bill matches a generated one for the same consumption.
namespace DemoTariff {

// The monthly charge in cents for a code: consumption is gallons for WATER and SEWER
// (sewer is billed on water), kWh for ELEC; other codes are flat or not metered.
int64_t chargeCents(std::string_view code, double consumption);

// True for the codes whose charge follows a meter reading.
bool isMetered(std::string_view code);

} // namespace DemoTariff
