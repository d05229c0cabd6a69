#include <cstdio>

#include "platform/standard_output.h"

// The C runtime's buffered stdout; text mode turns each "\n" into "\r\n", as wide formatted
// output would. Deliberately not flushed.
bool writeStandardOutput(const char* bytes, std::size_t count) {
  return std::fwrite(bytes, 1, count, stdout) == count;
}
