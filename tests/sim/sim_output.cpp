#include "sim_output.h"

#include <mutex>

#include "platform/standard_output.h"
#include "sim_machine.h"

namespace {
std::mutex outputMutex;
std::string captured;
}  // namespace

namespace sim {

std::string standardOutput() {
  std::lock_guard<std::mutex> lock(outputMutex);
  return captured;
}

void clearStandardOutput() {
  std::lock_guard<std::mutex> lock(outputMutex);
  captured.clear();
}

}  // namespace sim

bool writeStandardOutput(const char* bytes, std::size_t count) {
  if (sim::Machine::get().enterCall("writeStandardOutput")) return false;
  std::lock_guard<std::mutex> lock(outputMutex);
  captured.append(bytes, count);
  return true;
}
