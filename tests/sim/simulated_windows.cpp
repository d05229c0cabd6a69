#include "simulated_windows.h"

namespace sim {

void resetMachine() {
  Machine::get().reset();
  registry().reset();
  files().reset();
  devices().reset();
  wmi().reset();
  clearStandardOutput();
}

}  // namespace sim
