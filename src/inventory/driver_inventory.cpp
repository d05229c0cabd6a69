#include "inventory/driver_inventory.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace {

constexpr WCHAR kClassKeyPrefix[] = WIDE("SYSTEM\\CurrentControlSet\\Control\\Class\\");

// One set of buffers for the whole walk. The platform is offered half of each buffer's bytes
// and each is zero-filled before it is filled, so every text read stays NUL-terminated.
struct Scratch {
  WCHAR hardwareIds[1040];
  WCHAR driverKey[260];
  WCHAR keyPath[260];
  WCHAR version[260];
};

enum class DeviceOutcome { Entry, LeftOut, OutOfMemory };

template <std::size_t Units>
void zeroFill(WCHAR (&buffer)[Units]) {
  std::fill(std::begin(buffer), std::end(buffer), WCHAR{0});
}

std::size_t lengthOf(const WCHAR* text) {
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

// The device-classes key path followed by the driver key, the rest of the buffer zeros.
void buildKeyPath(Scratch& s) {
  zeroFill(s.keyPath);
  std::size_t at = 0;
  for (const WCHAR* unit = kClassKeyPrefix; *unit != 0; ++unit) s.keyPath[at++] = *unit;
  for (const WCHAR* unit = s.driverKey; *unit != 0 && at + 1 < 260; ++unit) s.keyPath[at++] = *unit;
}

bool readDeviceText(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property, WCHAR* buffer, DWORD bytes,
                    DWORD* required) {
  return SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr, reinterpret_cast<BYTE*>(buffer),
                                           bytes, required) != FALSE;
}

// The first hardware ID, "=", and the version, in a text of exactly the length it needs.
DeviceOutcome formatEntry(const WCHAR* hardwareId, const WCHAR* version, DriverEntry& entry) {
  entry.reset(new (std::nothrow) WCHAR[lengthOf(hardwareId) + lengthOf(version) + 2]);
  if (!entry) return DeviceOutcome::OutOfMemory;
  wsprintfW(entry.get(), WIDE("%s=%s"), hardwareId, version);
  return DeviceOutcome::Entry;
}

DeviceOutcome readDriverEntry(HDEVINFO devices, SP_DEVINFO_DATA& device, Scratch& s, DriverEntry& entry) {
  DWORD required = 0;
  zeroFill(s.hardwareIds);
  if (!readDeviceText(devices, device, SPDRP_HARDWAREID, s.hardwareIds, sizeof(s.hardwareIds) / 2, &required)) {
    return DeviceOutcome::LeftOut;
  }
  zeroFill(s.driverKey);
  if (!readDeviceText(devices, device, SPDRP_DRIVER, s.driverKey, sizeof(s.driverKey) / 2, nullptr)) {
    return DeviceOutcome::LeftOut;
  }
  buildKeyPath(s);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, s.keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return DeviceOutcome::LeftOut;
  zeroFill(s.version);
  DWORD type = 0;  // not consulted: the version is the text before the first NUL, whatever its type
  DWORD size = sizeof(s.version) / 2;
  DeviceOutcome outcome = DeviceOutcome::LeftOut;
  if (RegQueryValueExW(key, WIDE("DriverVersion"), nullptr, &type, reinterpret_cast<BYTE*>(s.version), &size) ==
      ERROR_SUCCESS) {
    // The hardware-ID buffer holds a list; its first NUL ends the first ID.
    outcome = formatEntry(s.hardwareIds, s.version, entry);
  }
  RegCloseKey(key);
  return outcome;
}

bool append(std::vector<DriverEntry>& entries, DriverEntry entry) {
  try {
    entries.push_back(std::move(entry));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

bool collectDriverEntries(std::vector<DriverEntry>& entries) {
  HDEVINFO devices = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (devices == INVALID_HANDLE_VALUE) return false;
  Scratch scratch{};
  bool complete = true;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  // The first failure ends the walk, whatever its reason.
  for (DWORD index = 0; complete && SetupDiEnumDeviceInfo(devices, index, &device) != FALSE; ++index) {
    DriverEntry entry;
    const DeviceOutcome outcome = readDriverEntry(devices, device, scratch, entry);
    if (outcome == DeviceOutcome::OutOfMemory) complete = false;
    if (outcome == DeviceOutcome::Entry) complete = append(entries, std::move(entry));
  }
  SetupDiDestroyDeviceInfoList(devices);
  if (!complete) entries.clear();
  return complete;
}
