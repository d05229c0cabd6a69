// tarvix-probe's report against the Windows APIs themselves: the probe must show what the
// natives answer on this machine. The check gives the machine an inventory entry and a
// runtime key first, so those rows have something to agree with, and removes them after.
#include <windows.h>

#include <string>
#include <vector>

#include "checks.h"
#include "probe_run.h"

namespace {

const wchar_t kRuntimeKey[] = L"Software\\JavaSoft\\Java Runtime Environment\\1.6";

bool writeRuntimeKey() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRuntimeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const wchar_t home[] = L"C:\\jre6";
  const bool written = RegSetValueExW(key, L"JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(home),
                                      sizeof home) == ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

std::string shown(const std::optional<std::u16string>& text) {
  return text ? "\"" + std::string(text->begin(), text->end()) + "\"" : "null";
}

const probe::NativeCall* find(const probe::Report& report, const std::string& native, const char16_t* argument = nullptr) {
  for (const auto& call : report.calls) {
    if (call.native == native && (argument == nullptr || call.argument == std::u16string(argument))) return &call;
  }
  return nullptr;
}

}  // namespace

void checkProbe(const LoadedLibrary& library, CheckReport& report) {
  if (!report.expect(probe::missingNatives(library).empty(), "probe: finds every native")) return;
  const auto identity = plainIdentity(report);
  const auto driverKeys = writeDriverVersions({u"5.6.7.8"});
  report.expect(driverKeys.size() == 1 && writeRuntimeKey(), "probe: the check wrote a driver version and JavaHome");
  const auto inventory = expectedInventory();

  const probe::Report probed = probe::runProbe(library, u"Tarvix.dll", false);

  std::vector<std::string> order;
  for (const auto& call : probed.calls) order.push_back(call.native);
  const std::vector<std::string> expectedOrder = {
      "getVersion",   "Init",         "getMBManufacturer", "getMBProduct",      "getMBVersion",      "getMBSerialNumber",
      "getBIOSLanguage", "getBIOSVersion", "getSMBIOSVersion", "getCSManufacturer", "getCSModel", "getHadrwareId",
      "getJreVersionInfo", "getJreVersionInfo", "getJreVersionInfo", "Uninit"};
  report.expect(order == expectedOrder, "probe: calls the natives in an application's order, createRootFile not asked");

  const auto* version = find(probed, "getVersion");
  report.expect(version && version->text == u"Ver: 2009.12.25", "probe: getVersion row shows the version text");
  const auto* init = find(probed, "Init");
  report.expect(init && init->boolean, "probe: Init row shows true");
  for (const auto& [native, expected] : identity) {
    const auto* row = find(probed, native);
    const bool agrees = row && row->text == expected;
    report.expect(agrees, "probe: " + native + " row shows " + shown(expected) +
                              (agrees || !row ? "" : ", not " + shown(row->text)));
  }
  const auto* devices = find(probed, "getHadrwareId");
  report.expect(devices && devices->entries == inventory && !inventory.empty(),
                "probe: getHadrwareId row shows the check's own walk (" + std::to_string(inventory.size()) + " entries)");
  report.expect(devices && devices->printed == inventoryLines(inventory),
                "probe: getHadrwareId row shows the lines the library printed");
  const auto* home = find(probed, "getJreVersionInfo", u"JavaHome");
  report.expect(home && home->text == u"C:\\jre6", "probe: getJreVersionInfo(\"JavaHome\") row shows the value written");
  const auto* micro = find(probed, "getJreVersionInfo", u"MicroVersion");
  report.expect(micro && !micro->text, "probe: getJreVersionInfo(\"MicroVersion\") row shows null for an absent value");

  removeDriverVersions(driverKeys);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kRuntimeKey);
}
