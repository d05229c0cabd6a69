// The simulated machine's mechanism, shared by every simulated Windows service:
//  - a ledger of every resource handed out, so a test can prove all of it came back;
//  - fault injection, so a test can make the n-th call of any operation fail;
//  - a call log, for the behaviours that are about order and count.
// The services (WMI, devices, registry, files, output) are built on it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum class Resource {
  ComInitialisation,
  ComReference,
  Bstr,
  RegistryKey,
  DeviceInfoList,
  FileHandle,
};

const char* resourceName(Resource kind);

// Decides, for the index-th call (from 1) of one operation, whether it fails and with what.
using FaultRule = std::function<std::optional<std::int64_t>(unsigned index)>;

class Machine {
 public:
  // The one machine of the process: the simulated services are free functions, as on Windows.
  static Machine& get();

  // Forgets everything: ledger, faults, call log and counts.
  void reset();
  // Forgets the call log, the counts and the faults; what is held stays in the ledger.
  void clearCalls();

  // --- call log and fault injection ---
  // Every simulated operation calls this first. It logs the call and answers the failure
  // result to return when a fault rule says this call fails.
  std::optional<std::int64_t> enterCall(const char* operation);
  void failCall(const std::string& operation, unsigned nthCall, std::int64_t result);
  void setFaultRule(const std::string& operation, FaultRule rule);
  std::vector<std::string> callLog() const;
  // Benchmarks turn the log off: it is the tests' record, not part of what Windows costs.
  // Counts and faults go on; reset() turns it back on.
  void keepCallLog(bool keep);
  unsigned callCount(const std::string& operation) const;

  // --- ledger ---
  void acquire(Resource kind, std::uintptr_t id);
  // False (and a ledger error) when the resource was not held: a double or foreign release.
  bool release(Resource kind, std::uintptr_t id);
  unsigned outstanding(Resource kind) const;
  // Empty when every resource handed out was given back and nothing was released twice;
  // otherwise one line per fault found.
  std::vector<std::string> ledgerFaults() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> log_;
  bool keepLog_ = true;
  std::map<std::string, unsigned> counts_;
  std::map<std::string, FaultRule> faults_;
  std::map<std::pair<Resource, std::uintptr_t>, unsigned> held_;
  std::vector<std::string> errors_;
};

// The calling thread's last error, as GetLastError answers it.
void setLastError(std::uint32_t error);

template <typename T>
std::uintptr_t idOf(T* pointer) {
  return reinterpret_cast<std::uintptr_t>(pointer);
}

}  // namespace sim
