// How much memory the machine can still give the program. A loader stops
// reading a large file when little is left, rather than running the machine
// out of memory.
#pragma once

#include <cstdint>

namespace tw {

// Bytes available: the kernel's MemAvailable figure, lowered to what a
// memory limit of the process's control group still allows. A very large
// number when neither can be read.
uint64_t availableMemoryBytes();

}  // namespace tw
