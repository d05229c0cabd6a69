#include "sim_devices.h"

#include <cstring>

#include "sim_machine.h"
#include "sim_registry.h"

namespace sim {

std::u16string multiString(const std::vector<std::u16string>& ids) {
  std::u16string units;
  for (const auto& id : ids) units += id + u'\0';
  return units + u'\0';
}

Devices& devices() {
  static Devices instance;
  return instance;
}

void Devices::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  devices_.clear();
  lists_.clear();
  listRequests_.clear();
  offered_.clear();
}

void Devices::forgetRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  listRequests_.clear();
  offered_.clear();
}

void Devices::add(const Device& device) {
  std::lock_guard<std::mutex> lock(mutex_);
  devices_.push_back(device);
}

void Devices::addWithDriver(const std::vector<std::u16string>& ids, const std::u16string& version) {
  std::u16string number;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string digits = std::to_string(devices_.size());
    number = std::u16string(digits.size() < 4 ? 4 - digits.size() : 0, u'0');
    for (char digit : digits) number += static_cast<char16_t>(digit);
  }
  const std::u16string driverKey = u"{4d36e97d-e325-11ce-bfc1-08002be10318}\\" + number;
  add(Device{multiString(ids), driverKey + u'\0'});
  registry().setString(u"SYSTEM\\CurrentControlSet\\Control\\Class\\" + driverKey, u"DriverVersion", version);
}

std::vector<Devices::ListRequest> Devices::listRequests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return listRequests_;
}

std::vector<DWORD> Devices::offeredBufferSizes(DWORD property) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = offered_.find(property);
  return found == offered_.end() ? std::vector<DWORD>{} : found->second;
}

HDEVINFO Devices::getClassDevs(const GUID* classGuid, const WCHAR* enumerator, HWND parent, DWORD flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  listRequests_.push_back({classGuid != nullptr, enumerator != nullptr, parent != nullptr, flags});
  if (classGuid == nullptr && (flags & DIGCF_ALLCLASSES) == 0) {
    setLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  HDEVINFO list = reinterpret_cast<HDEVINFO>(static_cast<ULONG_PTR>(0x30000u + 4u * nextHandle_++));
  lists_[list] = devices_;
  Machine::get().acquire(Resource::DeviceInfoList, idOf(list));
  return list;
}

BOOL Devices::enumerate(HDEVINFO list, DWORD index, SP_DEVINFO_DATA* device) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = lists_.find(list);
  if (found == lists_.end()) {
    setLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (device == nullptr || device->cbSize != sizeof(SP_DEVINFO_DATA)) {
    setLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (index >= found->second.size()) {
    setLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  device->DevInst = index + 1;
  return TRUE;
}

BOOL Devices::property(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property, DWORD* type, BYTE* buffer,
                       DWORD size, DWORD* required) {
  std::lock_guard<std::mutex> lock(mutex_);
  offered_[property].push_back(size);
  auto found = lists_.find(list);
  if (found == lists_.end() || device == nullptr || device->DevInst == 0 ||
      device->DevInst > found->second.size()) {
    setLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const Device& d = found->second[device->DevInst - 1];
  const std::optional<std::u16string>* value = nullptr;
  DWORD valueType = 0;
  if (property == SPDRP_HARDWAREID) value = &d.hardwareIds, valueType = REG_MULTI_SZ;
  if (property == SPDRP_DRIVER) value = &d.driverKey, valueType = REG_SZ;
  if (value == nullptr || !value->has_value()) {
    setLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  const auto needed = static_cast<DWORD>((*value)->size() * sizeof(char16_t));
  if (required != nullptr) *required = needed;
  if (type != nullptr) *type = valueType;
  if (buffer == nullptr || size < needed) {
    setLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, (*value)->data(), needed);
  return TRUE;
}

BOOL Devices::destroy(HDEVINFO list) {
  std::lock_guard<std::mutex> lock(mutex_);
  Machine::get().release(Resource::DeviceInfoList, idOf(list));  // records a bad release
  if (lists_.erase(list) == 0) {
    setLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

}  // namespace sim

HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, const WCHAR* enumerator, HWND parent, DWORD flags) {
  if (auto fault = sim::Machine::get().enterCall("SetupDiGetClassDevsW")) {
    sim::setLastError(static_cast<DWORD>(*fault));
    return INVALID_HANDLE_VALUE;
  }
  return sim::devices().getClassDevs(classGuid, enumerator, parent, flags);
}

BOOL SetupDiEnumDeviceInfo(HDEVINFO devices, DWORD memberIndex, SP_DEVINFO_DATA* device) {
  if (auto fault = sim::Machine::get().enterCall("SetupDiEnumDeviceInfo")) {
    sim::setLastError(static_cast<DWORD>(*fault));
    return FALSE;
  }
  return sim::devices().enumerate(devices, memberIndex, device);
}

BOOL SetupDiGetDeviceRegistryPropertyW(HDEVINFO devices, SP_DEVINFO_DATA* device, DWORD property,
                                       DWORD* propertyType, BYTE* buffer, DWORD bufferSize, DWORD* requiredSize) {
  if (auto fault = sim::Machine::get().enterCall("SetupDiGetDeviceRegistryPropertyW")) {
    sim::setLastError(static_cast<DWORD>(*fault));
    return FALSE;
  }
  return sim::devices().property(devices, device, property, propertyType, buffer, bufferSize, requiredSize);
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO devices) {
  // An injected failure still frees the list: a caller cannot do more than call once.
  auto fault = sim::Machine::get().enterCall("SetupDiDestroyDeviceInfoList");
  BOOL destroyed = sim::devices().destroy(devices);
  if (fault) {
    sim::setLastError(static_cast<DWORD>(*fault));
    return FALSE;
  }
  return destroyed;
}
