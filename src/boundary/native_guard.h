// Every native runs its body through answerOrFail: nothing may be thrown into the Java VM
// (a 32-bit mingw build cannot even unwind through its frames), so any exception becomes
// the native's failure answer, null or false.
#pragma once

#include <utility>

template <typename Answer, typename Body>
Answer answerOrFail(Answer failure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return failure;
  }
}

// The same for a native that answers nothing.
template <typename Body>
void runGuarded(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
  }
}
