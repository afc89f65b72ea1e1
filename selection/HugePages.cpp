#include "selection/HugePages.h"

#include <cstdint>
#include <sys/mman.h>

void HugePages::advise(const void* data, size_t bytes)
{
    constexpr uintptr_t huge = uintptr_t(2) << 20;
    const auto start = (reinterpret_cast<uintptr_t>(data) + huge - 1) & ~(huge - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(huge - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}
