#include "allocation_faults.h"

#include <atomic>
#include <new>

namespace {
std::atomic<unsigned> failAt{0};
std::atomic<unsigned> made{0};
}  // namespace

namespace allocation {

void failNthNothrowArray(unsigned nth) {
  made = 0;
  failAt = nth;
}

unsigned nothrowArrayCount() { return made.load(); }

}  // namespace allocation

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  const unsigned index = ++made;
  if (failAt != 0 && index == failAt) return nullptr;
  // From the ordinary array allocation, so that delete[] (and a sanitizer) pairs with it.
  try {
    return ::operator new[](size);
  } catch (...) {
    return nullptr;
  }
}
