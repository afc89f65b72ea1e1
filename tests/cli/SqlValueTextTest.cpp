#include "platform/SqlValueText.h"

#include <gtest/gtest.h>

namespace {

struct NumberCase {
    double value;
    const char* text;
};

const NumberCase kNumbers[] = {
    {120.0, "120"},
    {1.5, "1.5"},
    {-0.25, "-0.25"},
    {0.0, "0"},
    {-0.0, "0"},
    {1615198.0, "1615198"},
    {0.1 + 0.2, "0.30000000000000004"},
    {12.34, "12.34"},
    {1e20, "1e+20"},
    {2.5e-7, "2.5e-07"},
};

TEST(SqlValueTextTest, NumbersInShortestRoundTripForm)
{
    for (const auto& [value, text] : kNumbers)
        EXPECT_EQ(SqlValueText::number(value), text) << value;
}

} // namespace
