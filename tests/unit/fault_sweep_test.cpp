// Every native's every call failed in turn (see fault_sweep.h). The expected answers follow
// the library's rules for failures: a failed call ends the native with null or false, except
//  - COM initialisation, whose failure the lookups and Init go on after;
//  - releases (closing a key, a file, a device list) and standard output, whose results
//    do not change the answer;
//  - the driver inventory, where a failed call for one device leaves only that device out,
//    and a failed step to the next device ends the walk with the entries so far.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <set>

#include "fault_sweep.h"
#include "natives.h"
#include "simulated_windows.h"
#include "wmi/wmi_connection.h"
#include "wmi_fixture.h"

namespace {

using sweep::CallSite;
using sweep::Layer;
using sweep::Scenario;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

std::string renderString(fakejvm::FakeJvm& vm, jobject answer) {
  return answer == nullptr ? "null" : "\"" + narrow(vm.stringText(answer)) + "\"";
}

std::string renderArray(fakejvm::FakeJvm& vm, jobjectArray answer) {
  if (answer == nullptr) return "null";
  std::string out = "[";
  for (jobject entry : vm.arrayElements(answer)) out += (out.size() > 1 ? "," : "") + narrow(vm.stringText(entry));
  return out + "]";
}

bool unchangedByFailure(const std::string& operation) {
  static const std::set<std::string> operations = {"CoInitializeEx", "RegCloseKey", "CloseHandle",
                                                   "SetupDiDestroyDeviceInfoList", "writeStandardOutput"};
  return operations.count(operation) != 0;
}

// The library's general rule: null (or false) unless the failure does not change the answer.
std::function<std::string(const CallSite&, const std::string&)> endsWith(const std::string& failed) {
  return [failed](const CallSite& site, const std::string& full) {
    return site.layer == Layer::Platform && unchangedByFailure(site.operation) ? full : failed;
  };
}

void initFromTest() {
  fakejvm::FakeJvm vm;
  ASSERT_EQ(Java_com_velk_utils_Tarvix_Init(vm.env(), nullptr), JNI_TRUE);
}

void uninitFromTest() {
  fakejvm::FakeJvm vm;
  Java_com_velk_utils_Tarvix_Uninit(vm.env(), nullptr);
}

std::vector<Scenario> identityScenarios() {
  std::vector<Scenario> scenarios;
  // Init goes on after its COM initialisation fails, but on a thread with no apartment of
  // its own the locator then cannot be made: false all the same.
  scenarios.push_back({"Init", fillIdentity, {},
                       [](fakejvm::FakeJvm& vm) {
                         return std::string(Java_com_velk_utils_Tarvix_Init(vm.env(), nullptr) ? "true" : "false");
                       },
                       uninitFromTest, [](const CallSite& site, const std::string& full) {
                         if (site.operation == "CoInitializeEx") return std::string("false");
                         return endsWith("false")(site, full);
                       }});
  scenarios.push_back({"Uninit",
                       [] {
                         fillIdentity();
                         initFromTest();
                       },
                       {},
                       [](fakejvm::FakeJvm& vm) {
                         Java_com_velk_utils_Tarvix_Uninit(vm.env(), nullptr);
                         return std::string(WmiConnection::isEmpty() ? "closed" : "open");
                       },
                       nullptr, endsWith("closed")});
  for (const auto& getter : allGetters()) {
    auto prepare = [] {
      fillIdentity();
      initFromTest();
    };
    auto run = [native = getter.native](fakejvm::FakeJvm& vm) { return renderString(vm, native(vm.env(), nullptr)); };
    scenarios.push_back({getter.name, prepare, {}, run, uninitFromTest, endsWith("null")});
    // The same getter finding its connection broken: the reconnect's calls are swept too.
    sim::FaultRule brokenOnce = [](unsigned index) -> std::optional<std::int64_t> {
      if (index == 1) return static_cast<std::int64_t>(RPC_E_DISCONNECTED);
      return std::nullopt;
    };
    scenarios.push_back({std::string(getter.name) + " after a broken connection", prepare,
                         {{"ExecQuery", brokenOnce}}, run, uninitFromTest, endsWith("null")});
  }
  return scenarios;
}

const std::vector<std::pair<std::u16string, std::u16string>> kDevices = {{u"A", u"1"}, {u"B", u"2"}, {u"C", u"3"}};

// Which device a call of the inventory's walk is for: the one the last step reached.
std::size_t deviceOf(const CallSite& site) {
  return static_cast<std::size_t>(std::count(site.before.begin(), site.before.end(), "SetupDiEnumDeviceInfo")) - 1;
}

std::string inventoryWithout(std::size_t left, std::size_t endAt) {
  std::string out = "[";
  for (std::size_t i = 0; i < std::min(endAt, kDevices.size()); ++i) {
    if (i == left) continue;
    out += (out.size() > 1 ? "," : "") + narrow(kDevices[i].first + u"=" + kDevices[i].second);
  }
  return out + "]";
}

Scenario inventoryScenario() {
  return {"getHadrwareId",
          [] {
            for (const auto& [id, version] : kDevices) sim::devices().addWithDriver({id}, version);
          },
          {},
          [](fakejvm::FakeJvm& vm) { return renderArray(vm, Java_com_velk_utils_Tarvix_getHadrwareId(vm.env(), nullptr)); },
          nullptr,
          [](const CallSite& site, const std::string& full) -> std::string {
            if (site.layer != Layer::Platform) return "null";
            if (unchangedByFailure(site.operation)) return full;
            if (site.operation == "SetupDiGetClassDevsW") return "null";
            if (site.operation == "SetupDiEnumDeviceInfo") return inventoryWithout(kDevices.size(), site.nth - 1);
            return inventoryWithout(deviceOf(site), kDevices.size());
          }};
}

std::vector<Scenario> otherScenarios() {
  const std::u16string runtimeKey = u"Software\\JavaSoft\\Java Runtime Environment\\1.6";
  return {
      {"getVersion", [] {}, {},
       [](fakejvm::FakeJvm& vm) { return renderString(vm, Java_com_velk_utils_Tarvix_getVersion(vm.env(), nullptr)); },
       nullptr, endsWith("null")},
      {"getJreVersionInfo", [runtimeKey] { sim::registry().setString(runtimeKey, u"JavaHome", u"C:\\jre6"); }, {},
       [](fakejvm::FakeJvm& vm) {
         return renderString(vm, Java_com_velk_utils_MiscUtils_getJreVersionInfo(vm.env(), nullptr,
                                                                                 vm.javaString(u"JavaHome")));
       },
       nullptr, endsWith("null")},
      {"createRootFile", [] {}, {},
       [](fakejvm::FakeJvm& vm) {
         return std::string(Java_com_velk_utils_MiscUtils_createRootFile(vm.env(), nullptr) ? "true" : "false");
       },
       nullptr, endsWith("false")},
  };
}

class FaultSweep : public ::testing::Test {
 protected:
  void TearDown() override { sim::resetMachine(); }

  // Sweeps, and says how many call sites were failed: a native that gains a call shows here.
  void sweepAll(const std::vector<Scenario>& scenarios) {
    for (const auto& scenario : scenarios) {
      sweep::Coverage coverage = sweep::sweepScenario(scenario);
      unsigned failed = 0;
      for (const auto& [layer, count] : coverage.failed) failed += count;
      std::cout << "[ sweep    ] " << scenario.name << ": " << failed << " call sites failed (platform "
                << coverage.failed[Layer::Platform] << ", VM " << coverage.failed[Layer::Vm] << ", memory "
                << coverage.failed[Layer::Memory] << "); " << coverage.withoutFailure
                << " calls that cannot fail\n";
      if (scenario.name != "Uninit") {
        EXPECT_GT(failed, 0u) << scenario.name << ": the sweep found no call to fail";
      }
    }
  }
};

TEST_F(FaultSweep, IdentityNatives) { sweepAll(identityScenarios()); }

TEST_F(FaultSweep, DriverInventory) { sweepAll({inventoryScenario()}); }

TEST_F(FaultSweep, VersionRuntimeValueAndRootFile) { sweepAll(otherScenarios()); }

}  // namespace
