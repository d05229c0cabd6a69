#include "sim_registry.h"

#include <cstring>

#include "sim_machine.h"
#include "sim_text.h"

namespace sim {

Registry& registry() {
  static Registry instance;
  return instance;
}

void Registry::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  keys_.clear();
  openKeys_.clear();
  openRequests_.clear();
  queriedNames_.clear();
}

void Registry::forgetRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  openRequests_.clear();
  queriedNames_.clear();
}

void Registry::createKey(const std::u16string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  keys_[foldCase(path)];
}

void Registry::removeKey(const std::u16string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  keys_.erase(foldCase(path));
}

void Registry::setValue(const std::u16string& path, const std::u16string& name, DWORD type,
                        const std::string& data) {
  std::lock_guard<std::mutex> lock(mutex_);
  keys_[foldCase(path)].values[foldCase(name)] = Value{type, data};
}

std::optional<std::string> Registry::storedData(const std::u16string& path, const std::u16string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto key = keys_.find(foldCase(path));
  if (key == keys_.end()) return std::nullopt;
  auto value = key->second.values.find(foldCase(name));
  if (value == key->second.values.end()) return std::nullopt;
  return value->second.data;
}

void Registry::setString(const std::u16string& path, const std::u16string& name, const std::u16string& text) {
  setValue(path, name, REG_SZ, bytesOf(text + u'\0'));
}

std::vector<Registry::OpenRequest> Registry::openRequests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return openRequests_;
}

std::vector<std::u16string> Registry::queriedNames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queriedNames_;
}

LSTATUS Registry::open(HKEY root, const WCHAR* subKey, DWORD options, REGSAM access, HKEY* result) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  std::u16string path = textOf(subKey);
  openRequests_.push_back({path, options, access});
  if (root != HKEY_LOCAL_MACHINE) return ERROR_INVALID_HANDLE;
  if (keys_.count(foldCase(path)) == 0) return ERROR_FILE_NOT_FOUND;
  // A handle is an address no one dereferences; distinct for every open key.
  HKEY key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x10000u + 4u * nextHandle_++));
  openKeys_[key] = foldCase(path);
  Machine::get().acquire(Resource::RegistryKey, idOf(key));
  *result = key;
  return ERROR_SUCCESS;
}

LSTATUS Registry::query(HKEY key, const WCHAR* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto open = openKeys_.find(key);
  if (open == openKeys_.end()) return ERROR_INVALID_HANDLE;
  if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;
  queriedNames_.push_back(textOf(name));
  auto keyFound = keys_.find(open->second);
  if (keyFound == keys_.end()) return ERROR_FILE_NOT_FOUND;  // deleted while open
  auto found = keyFound->second.values.find(foldCase(textOf(name)));
  if (found == keyFound->second.values.end()) return ERROR_FILE_NOT_FOUND;
  const Value& value = found->second;
  if (type != nullptr) *type = value.type;
  const auto needed = static_cast<DWORD>(value.data.size());
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (needed > 0) std::memcpy(data, value.data.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

LSTATUS Registry::close(HKEY key) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (openKeys_.erase(key) == 0) {
    Machine::get().release(Resource::RegistryKey, idOf(key));  // records the bad release
    return ERROR_INVALID_HANDLE;
  }
  Machine::get().release(Resource::RegistryKey, idOf(key));
  return ERROR_SUCCESS;
}

}  // namespace sim

// --- the Windows functions ---

LSTATUS RegOpenKeyExW(HKEY key, const WCHAR* subKey, DWORD options, REGSAM access, HKEY* result) {
  if (auto fault = sim::Machine::get().enterCall("RegOpenKeyExW")) return static_cast<LSTATUS>(*fault);
  return sim::registry().open(key, subKey, options, access, result);
}

LSTATUS RegQueryValueExW(HKEY key, const WCHAR* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                         DWORD* dataSize) {
  if (auto fault = sim::Machine::get().enterCall("RegQueryValueExW")) return static_cast<LSTATUS>(*fault);
  return sim::registry().query(key, valueName, reserved, type, data, dataSize);
}

LSTATUS RegCloseKey(HKEY key) {
  // An injected failure still closes the key: a caller cannot do more than call once.
  auto fault = sim::Machine::get().enterCall("RegCloseKey");
  LSTATUS status = sim::registry().close(key);
  return fault ? static_cast<LSTATUS>(*fault) : status;
}
