#pragma once

#include <cstdint>

class SqlConnection;

// Steps through the selection window's search list in its stored (build) order.
class AccountPaging {
public:
    enum class Direction { Previous, Next };
    struct Step {
        int32_t CustKey = 0;
        int32_t LocKey = 0;
        bool reachedFirst = false; // Previous on the first entry: the operator is told
    };

    // The neighbouring entry of the account on show; the same keys when the account
    // is not in the list, the list is empty, or Next stands on the last entry.
    static Step step(SqlConnection& work, int32_t custKey, int32_t locKey, Direction direction);
};
