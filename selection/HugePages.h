#pragma once

#include <cstddef>

// Asks the kernel to back a large buffer not yet written with huge pages: a million
// list lines fill some 300 MB, and on a virtual machine faulting that in 4 KB
// pages costs more than laying the lines out. Harmless where unsupported.
namespace HugePages {
void advise(const void* data, size_t bytes);
} // namespace HugePages
