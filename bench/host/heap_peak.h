// The benchmark binary's heap in use, and its peak since the last reset: every operator new
// and delete of the process goes through this count.
#pragma once

#include <cstddef>

namespace bench {

void resetHeapPeak();
// Bytes in use at the peak since the reset, above what was in use at the reset.
std::size_t heapPeakAboveReset();

}  // namespace bench
