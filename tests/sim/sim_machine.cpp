#include "sim_machine.h"

#include <sstream>

#include "platform/windows_api.h"

namespace sim {

const char* resourceName(Resource kind) {
  switch (kind) {
    case Resource::ComInitialisation: return "COM initialisation";
    case Resource::ComReference: return "COM reference";
    case Resource::Bstr: return "BSTR";
    case Resource::RegistryKey: return "registry key";
    case Resource::DeviceInfoList: return "device-information list";
    case Resource::FileHandle: return "file handle";
  }
  return "resource";
}

namespace {
thread_local std::uint32_t lastError = 0;
}  // namespace

void setLastError(std::uint32_t error) { lastError = error; }

Machine& Machine::get() {
  static Machine machine;
  return machine;
}

void Machine::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.clear();
  keepLog_ = true;
  counts_.clear();
  faults_.clear();
  held_.clear();
  errors_.clear();
}

void Machine::keepCallLog(bool keep) {
  std::lock_guard<std::mutex> lock(mutex_);
  keepLog_ = keep;
}

void Machine::clearCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.clear();
  counts_.clear();
  faults_.clear();
}

std::optional<std::int64_t> Machine::enterCall(const char* operation) {
  FaultRule rule;
  unsigned index = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (keepLog_) log_.emplace_back(operation);
    index = ++counts_[operation];
    auto found = faults_.find(operation);
    if (found == faults_.end()) return std::nullopt;
    rule = found->second;
  }
  // Outside the lock: a rule may itself ask the machine questions.
  return rule(index);
}

void Machine::failCall(const std::string& operation, unsigned nthCall, std::int64_t result) {
  setFaultRule(operation, [nthCall, result](unsigned index) -> std::optional<std::int64_t> {
    if (index == nthCall) return result;
    return std::nullopt;
  });
}

void Machine::setFaultRule(const std::string& operation, FaultRule rule) {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_[operation] = std::move(rule);
}

std::vector<std::string> Machine::callLog() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

unsigned Machine::callCount(const std::string& operation) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = counts_.find(operation);
  return found == counts_.end() ? 0 : found->second;
}

void Machine::acquire(Resource kind, std::uintptr_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++held_[{kind, id}];
}

bool Machine::release(Resource kind, std::uintptr_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = held_.find({kind, id});
  if (found == held_.end()) {
    std::ostringstream line;
    line << "released a " << resourceName(kind) << " that was not held (0x" << std::hex << id << ")";
    errors_.push_back(line.str());
    return false;
  }
  if (--found->second == 0) held_.erase(found);
  return true;
}

unsigned Machine::outstanding(Resource kind) const {
  std::lock_guard<std::mutex> lock(mutex_);
  unsigned total = 0;
  for (const auto& [key, count] : held_) {
    if (key.first == kind) total += count;
  }
  return total;
}

std::vector<std::string> Machine::ledgerFaults() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> faults = errors_;
  for (const auto& [key, count] : held_) {
    std::ostringstream line;
    line << count << " " << resourceName(key.first) << " never released (0x" << std::hex << key.second << ")";
    faults.push_back(line.str());
  }
  return faults;
}

}  // namespace sim

DWORD GetLastError() { return sim::lastError; }
