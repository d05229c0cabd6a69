// Makes the library's non-throwing array allocations fail on demand, as when memory runs
// out. Only `new (std::nothrow) T[n]` is affected: the library uses it for the texts it
// makes, and nothing else in the test binary does.
#pragma once

namespace allocation {

// The nth non-throwing array allocation from now on (from 1) answers null; 0 disarms.
void failNthNothrowArray(unsigned nth);
// How many non-throwing array allocations were made since the last arming.
unsigned nothrowArrayCount();

}  // namespace allocation
