#pragma once

#include <vector>

// A test's table of cases, written as a call so that short rows share a line.
template <typename Row, typename... More>
std::vector<Row> rows(const Row& first, const More&... more)
{
    return {first, Row(more)...};
}
