// getHadrwareId against the real Setup API and registry. Wine's devices carry no
// "DriverVersion" values, so the check writes some (a plain one, an empty one, one too long
// to fit), computes the expected entries with its own walk of the devices, compares them in
// order with the array and with the lines on standard output, and removes its values again.
#include <windows.h>
#include <setupapi.h>

#include <optional>
#include <string>
#include <vector>

#include "captured_stdout.h"
#include "checks.h"
#include "fake_jvm.h"

namespace {

using ArrayNative = jobjectArray(JNICALL*)(JNIEnv*, jclass);

const std::wstring kClassKey = L"SYSTEM\\CurrentControlSet\\Control\\Class\\";

struct DeviceData {
  std::vector<BYTE> hardwareIds;  // the whole property as stored
  std::vector<BYTE> driverKey;
};

std::optional<std::vector<BYTE>> readProperty(HDEVINFO list, SP_DEVINFO_DATA& device, DWORD property) {
  DWORD required = 0;
  SetupDiGetDeviceRegistryPropertyW(list, &device, property, nullptr, nullptr, 0, &required);
  if (required == 0) return std::nullopt;
  std::vector<BYTE> data(required);
  if (!SetupDiGetDeviceRegistryPropertyW(list, &device, property, nullptr, data.data(), required, &required)) {
    return std::nullopt;
  }
  data.resize(required);
  return data;
}

std::vector<DeviceData> walkDevices() {
  std::vector<DeviceData> devices;
  HDEVINFO list = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (list == INVALID_HANDLE_VALUE) return devices;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  for (DWORD index = 0; SetupDiEnumDeviceInfo(list, index, &device); ++index) {
    DeviceData data;
    if (auto ids = readProperty(list, device, SPDRP_HARDWAREID)) data.hardwareIds = *ids;
    if (auto key = readProperty(list, device, SPDRP_DRIVER)) data.driverKey = *key;
    devices.push_back(data);
  }
  SetupDiDestroyDeviceInfoList(list);
  return devices;
}

// The units of `bytes` up to the first NUL (bytes are zero-padded to whole units).
std::u16string textBeforeNul(std::vector<BYTE> bytes) {
  bytes.resize(bytes.size() + 2, 0);
  std::u16string text;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    char16_t unit = static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

std::wstring wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::optional<std::vector<BYTE>> readVersion(const std::u16string& driverKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kClassKey + wide(driverKey)).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD size = 0;
  std::optional<std::vector<BYTE>> value;
  if (RegQueryValueExW(key, L"DriverVersion", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size);
    if (RegQueryValueExW(key, L"DriverVersion", nullptr, nullptr, data.data(), &size) == ERROR_SUCCESS) value = data;
  }
  RegCloseKey(key);
  return value;
}

// The inventory's rules: the hardware-ID list fits 1040 bytes, the driver key 260 bytes, the
// version 260 bytes; the entry is the first ID, "=", and the version's text.
std::vector<std::u16string> expectedEntries(const std::vector<DeviceData>& devices) {
  std::vector<std::u16string> entries;
  for (const auto& device : devices) {
    if (device.hardwareIds.empty() || device.hardwareIds.size() > 1040) continue;
    if (device.driverKey.empty() || device.driverKey.size() > 260) continue;
    auto version = readVersion(textBeforeNul(device.driverKey));
    if (!version || version->size() > 260) continue;
    entries.push_back(textBeforeNul(device.hardwareIds) + u"=" + textBeforeNul(*version));
  }
  return entries;
}

std::string utf8Lines(const std::vector<std::u16string>& entries) {
  std::string lines;
  for (const auto& entry : entries) {
    const std::wstring text = wide(entry);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string line(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), line.data(), bytes, nullptr, nullptr);
    lines += line + "\n";
  }
  return lines;
}

// Writes "DriverVersion" into a device's driver key, unless one is there already.
bool writeVersion(const std::u16string& driverKey, const std::u16string& version) {
  if (readVersion(driverKey)) return false;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kClassKey + wide(driverKey)).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  const std::u16string stored = version + u'\0';
  bool written = RegSetValueExW(key, L"DriverVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.data()),
                                static_cast<DWORD>(stored.size() * 2)) == ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

void removeVersion(const std::u16string& driverKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kClassKey + wide(driverKey)).c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueW(key, L"DriverVersion");
    RegCloseKey(key);
  }
}

}  // namespace

std::vector<std::u16string> writeDriverVersions(const std::vector<std::u16string>& versions) {
  std::vector<std::u16string> written;
  for (const auto& device : walkDevices()) {
    if (written.size() == versions.size()) break;
    if (device.driverKey.empty() || device.hardwareIds.empty()) continue;
    const std::u16string key = textBeforeNul(device.driverKey);
    if (writeVersion(key, versions[written.size()])) written.push_back(key);
  }
  return written;
}

void removeDriverVersions(const std::vector<std::u16string>& driverKeys) {
  for (const auto& key : driverKeys) removeVersion(key);
}

std::vector<std::u16string> expectedInventory() { return expectedEntries(walkDevices()); }

std::string inventoryLines(const std::vector<std::u16string>& entries) { return utf8Lines(entries); }

void checkInventory(const LoadedLibrary& library, CheckReport& report) {
  auto getHadrwareId = library.native<ArrayNative>("Tarvix", "getHadrwareId");
  if (!report.expect(getHadrwareId != nullptr, "getHadrwareId: exported under its JNI name")) return;

  // Versions for the first devices with a driver key: plain, empty, too long, plain.
  const std::vector<std::u16string> versions = {u"1.2.3.4", u"", std::u16string(130, u'9'), u"9.8.7.6"};
  const auto written = writeDriverVersions(versions);
  report.expect(written.size() == versions.size(), "getHadrwareId: the check wrote four DriverVersion values");

  const auto expected = expectedInventory();
  fakejvm::FakeJvm vm;
  jobjectArray answer = nullptr;
  std::string lines;
  {
    CapturedStdout output(L"tarvix-inventory.out");
    answer = getHadrwareId(vm.env(), nullptr);
    lines = output.text();
  }
  std::vector<std::u16string> entries;
  if (answer != nullptr) {
    for (jobject element : vm.arrayElements(answer)) entries.push_back(vm.stringText(element));
  }
  report.expect(answer != nullptr, "getHadrwareId: answers an array");
  report.expect(entries == expected, "getHadrwareId: the entries of the check's own walk, in order (" +
                                         std::to_string(entries.size()) + " of " + std::to_string(expected.size()) + ")");
  auto versionsSeen = [&](const std::u16string& version) {
    std::size_t count = 0;
    for (const auto& entry : entries) {
      const auto equals = entry.find(u'=');
      count += equals != std::u16string::npos && entry.substr(equals + 1) == version;
    }
    return count;
  };
  report.expect(versionsSeen(versions[0]) == 1 && versionsSeen(versions[3]) == 1,
                "getHadrwareId: the two plain versions written are in the inventory");
  report.expect(versionsSeen(u"") == 1, "getHadrwareId: an empty version gives an entry ending in \"=\"");
  report.expect(versionsSeen(versions[2]) == 0, "getHadrwareId: a version too long to fit leaves its device out");
  report.expect(lines == utf8Lines(expected), "getHadrwareId: each entry is a line on standard output, in order");
  report.expect(vm.violations().empty(), "getHadrwareId: uses the VM correctly");

  removeDriverVersions(written);
  DeleteFileW(L"tarvix-inventory.out");
}
