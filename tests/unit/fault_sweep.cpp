#include "fault_sweep.h"

#include <gtest/gtest.h>

#include <set>

#include "allocation_faults.h"
#include "platform/windows_api.h"
#include "simulated_windows.h"

namespace sweep {
namespace {

// One failure result serves every platform operation: a negative HRESULT for COM and WMI,
// a non-zero status for the registry, the last error for the Setup API and files.
constexpr std::int64_t kFailure = static_cast<std::int64_t>(E_FAIL);

const char* layerName(Layer layer) {
  switch (layer) {
    case Layer::Platform: return "platform";
    case Layer::Vm: return "VM";
    case Layer::Memory: return "memory";
  }
  return "?";
}

struct Recording {
  std::vector<CallSite> sites;
  unsigned withoutFailure = 0;
  std::string answer;
};

void armPlatform(const Scenario& scenario, const CallSite* failing) {
  auto& machine = sim::Machine::get();
  machine.clearCalls();
  std::set<std::string> operations;
  for (const auto& [operation, rule] : scenario.baseRules) operations.insert(operation);
  if (failing != nullptr && failing->layer == Layer::Platform) operations.insert(failing->operation);
  for (const auto& operation : operations) {
    auto base = scenario.baseRules.count(operation) ? scenario.baseRules.at(operation) : sim::FaultRule();
    const unsigned nth = failing != nullptr && failing->layer == Layer::Platform && failing->operation == operation
                             ? failing->nth : 0;
    machine.setFaultRule(operation, [base, nth](unsigned index) -> std::optional<std::int64_t> {
      if (index == nth) return kFailure;
      return base ? base(index) : std::nullopt;
    });
  }
}

std::string runOnce(const Scenario& scenario, fakejvm::FakeJvm& vm, const CallSite* failing) {
  sim::resetMachine();
  scenario.prepare();
  armPlatform(scenario, failing);
  if (failing != nullptr && failing->layer == Layer::Vm) vm.failCall(failing->operation, failing->nth);
  allocation::failNthNothrowArray(failing != nullptr && failing->layer == Layer::Memory ? failing->nth : 0);
  std::string answer;
  EXPECT_NO_THROW(answer = scenario.run(vm));
  return answer;
}

Recording record(const Scenario& scenario) {
  Recording recording;
  fakejvm::FakeJvm vm;
  recording.answer = runOnce(scenario, vm, nullptr);
  const unsigned allocations = allocation::nothrowArrayCount();
  const std::vector<std::string> platformCalls = sim::Machine::get().callLog();
  if (scenario.finish) scenario.finish();

  std::map<std::string, unsigned> seen;
  for (std::size_t i = 0; i < platformCalls.size(); ++i) {
    const std::string& operation = platformCalls[i];
    const unsigned nth = ++seen[operation];
    if (hasNoFailure(Layer::Platform, operation)) {
      ++recording.withoutFailure;
      continue;
    }
    recording.sites.push_back({Layer::Platform, operation, nth,
                               std::vector<std::string>(platformCalls.begin(), platformCalls.begin() + i)});
  }
  std::map<std::string, unsigned> vmSeen;
  for (const auto& function : vm.calls()) {
    const unsigned nth = ++vmSeen[function];
    if (hasNoFailure(Layer::Vm, function)) {
      ++recording.withoutFailure;
      continue;
    }
    recording.sites.push_back({Layer::Vm, function, nth, {}});
  }
  for (unsigned nth = 1; nth <= allocations; ++nth) recording.sites.push_back({Layer::Memory, "new[]", nth, {}});
  allocation::failNthNothrowArray(0);
  return recording;
}

}  // namespace

std::string describe(const CallSite& site) {
  return std::string(layerName(site.layer)) + " " + site.operation + " #" + std::to_string(site.nth);
}

bool hasNoFailure(Layer layer, const std::string& operation) {
  static const std::set<std::string> platform = {
      "CoUninitialize", "SysFreeString", "VariantInit",
      "VariantClear",  // given only an empty, null or BSTR value
      "wsprintfW",     // given a buffer sized for exactly what it writes
  };
  static const std::set<std::string> vm = {
      "GetStringLength", "ReleaseStringChars", "DeleteLocalRef", "ExceptionCheck",
      "SetObjectArrayElement",  // given an index within the array and a String for a String[]
  };
  if (layer == Layer::Memory) return false;
  return (layer == Layer::Platform ? platform : vm).count(operation) != 0;
}

Coverage sweepScenario(const Scenario& scenario) {
  SCOPED_TRACE(scenario.name);
  Coverage coverage;
  const Recording recording = record(scenario);
  EXPECT_EQ(sim::Machine::get().ledgerFaults(), std::vector<std::string>{}) << "the run without a fault";
  coverage.withoutFailure = recording.withoutFailure;

  for (const auto& site : recording.sites) {
    SCOPED_TRACE("failing " + describe(site));
    fakejvm::FakeJvm vm;
    const std::string answer = runOnce(scenario, vm, &site);
    const unsigned madeBefore = sim::Machine::get().callCount(site.operation);
    if (scenario.finish) scenario.finish();
    EXPECT_EQ(answer, scenario.expected(site, recording.answer));
    EXPECT_EQ(sim::Machine::get().ledgerFaults(), std::vector<std::string>{});
    EXPECT_EQ(vm.violations(), std::vector<std::string>{});
    const unsigned made = site.layer == Layer::Platform ? madeBefore
                          : site.layer == Layer::Vm      ? vm.callCount(site.operation)
                                                         : site.nth;
    EXPECT_GE(made, site.nth) << "the failed call was not made";
    ++coverage.failed[site.layer];
  }
  allocation::failNthNothrowArray(0);
  return coverage;
}

}  // namespace sweep
