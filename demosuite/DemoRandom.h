#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>
#include <span>

// Deterministic choices for the demo suite. The engine's sequence is fixed by the
// standard, but library distributions are not, so every draw is done here.
class DemoRandom {
public:
    explicit DemoRandom(uint64_t seed) : m_engine(seed) {}

    // 0 .. n-1 (n > 0); the modulo bias is irrelevant at these ranges.
    int64_t below(int64_t n) { return static_cast<int64_t>(m_engine() % static_cast<uint64_t>(n)); }
    int64_t between(int64_t low, int64_t high) { return low + below(high - low + 1); }
    bool chance(int perThousand) { return below(1000) < perThousand; }

    template <typename T>
    const T& pick(std::span<const T> items)
    {
        return items[static_cast<size_t>(below(static_cast<int64_t>(items.size())))];
    }

    // Index chosen by weights, e.g. {80, 15, 5}.
    int weighted(std::initializer_list<int> weights)
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int64_t draw = below(total);
        int index = 0;
        for (int w : weights) {
            if (draw < w)
                return index;
            draw -= w;
            ++index;
        }
        return index - 1;
    }

private:
    std::mt19937_64 m_engine;
};
