// The fault sweep: runs a native once on the simulated machine to find every call it makes
// (platform calls, JNI functions, the library's own allocations), then once more per call
// with exactly that call failing, and checks the answer, the ledger and the VM's use each time.
// Call sites are found by the run itself, so a call added to a native later is swept too.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fake_jvm.h"
#include "sim_machine.h"

namespace sweep {

enum class Layer { Platform, Vm, Memory };

struct CallSite {
  Layer layer;
  std::string operation;  // the platform operation or JNI function; "new[]" for memory
  unsigned nth;           // which call of that operation, from 1
  // For platform calls: the calls made before this one in the run.
  std::vector<std::string> before;
};

std::string describe(const CallSite& site);

struct Scenario {
  std::string name;
  // Sets the machine up; what it calls is not part of the sweep.
  std::function<void()> prepare;
  // Failures the scenario itself needs (a broken connection, say), kept under the swept one.
  std::map<std::string, sim::FaultRule> baseRules;
  // Calls the native and renders its answer ("null", "true", "\"text\"", "[a,b]").
  std::function<std::string(fakejvm::FakeJvm&)> run;
  // Gives back what `prepare` obtained (a connection, say); not part of the sweep either.
  std::function<void()> finish;
  // What the native must answer when the call at `site` fails; `full` is the unfailed answer.
  std::function<std::string(const CallSite& site, const std::string& full)> expected;
};

// Calls that have no failure to inject: void functions, and functions that cannot fail
// with the arguments the library gives them.
bool hasNoFailure(Layer layer, const std::string& operation);

struct Coverage {
  std::map<Layer, unsigned> failed;  // call sites failed, per layer
  unsigned withoutFailure = 0;       // calls made that cannot fail
};

// Runs the sweep for one scenario, reporting each wrong outcome as a test failure.
Coverage sweepScenario(const Scenario& scenario);

}  // namespace sweep
