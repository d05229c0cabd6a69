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

void forgetHistory() {
  Machine::get().clearCalls();
  registry().forgetRequests();
  files().forgetRequests();
  devices().forgetRequests();
  wmi().forgetRequests();
  clearStandardOutput();
}

}  // namespace sim
