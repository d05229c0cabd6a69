// The simulated standard output: the bytes the library hands to the stream, kept for tests.
#pragma once

#include <string>

namespace sim {

std::string standardOutput();
void clearStandardOutput();

}  // namespace sim
