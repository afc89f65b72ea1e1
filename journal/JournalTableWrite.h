#pragma once

#include "platform/Outcome.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SqlConnection;

// The rows of jurn as a build worked them out (texts, rank, running balance, in
// journal order), written to the table by one prepared insert. The journal window
// writes them only when something reads jurn (the printed journal): the grid has
// its rows already, and the insert is a fifth of the window's open.
class JournalTableWrite {
public:
    // Text columns of a row, in the order the build reads them.
    enum Column { BDate, RDate, TCode, Descr, Prev, Pres, Usage, Chg, Pmt, Mult, TextCount };

    // One completed row: texts in the shared arena (the bytes the engine gave,
    // NULL kept apart from empty).
    struct Row {
        struct Text {
            size_t offset = 0;
            int length = -1; // -1: NULL
        };
        int64_t seq = 0;
        Text texts[TextCount];
        bool dorderIsInteger = true;
        double dorder = 0;
        // Charge less payment in ten-thousandths; nothing when an amount is no money.
        std::optional<int64_t> units;
    };

    std::string arena;
    std::vector<Row> rows; // in staging order
    // Journal order: which row comes next and the balance after it (none after an
    // amount that is no money).
    struct Entry {
        uint32_t row = 0;
        std::optional<int64_t> balance;
    };
    std::vector<Entry> order;

    std::string_view text(const Row& row, Column column) const
    {
        const Row::Text& at = row.texts[column];
        return {arena.data() + at.offset, static_cast<size_t>(at.length)};
    }

    bool empty() const { return order.empty(); }
    // Inserts every row in journal order, numbered from 0, into an empty jurn, inside
    // a savepoint: a failure leaves jurn empty and says why.
    Outcome write(SqlConnection& work) const;
};
