#pragma once

#include <cstdint>

// The journal window's view switches (16-bit booleans, True = -1, as the settings
// file stores them).
struct JournalFlags {
    int16_t HideComments = 0;
    int16_t ConsolidatePayments = 0;
    int16_t ShowPrevReadings = 0;
    int16_t MultApplied = 0;

    static constexpr int16_t True = -1;
    static constexpr int16_t False = 0;
};
