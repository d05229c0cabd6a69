// Init, the nine getters and Uninit against the system's own WMI: each getter must answer
// what a plain query of the same class and property answers on this machine (null where
// the value is not a string), and null once the connection is closed.
#include <windows.h>
#include <wbemidl.h>

#include <optional>
#include <string>
#include <vector>

#include "checks.h"
#include "fake_jvm.h"

namespace {

using InitNative = jboolean(JNICALL*)(JNIEnv*, jclass);
using UninitNative = void(JNICALL*)(JNIEnv*, jclass);

struct Getter {
  const char* native;
  const wchar_t* query;
  const wchar_t* property;
};

const Getter kGetters[] = {
    {"getMBManufacturer", L"Select * from Win32_BaseBoard", L"Manufacturer"},
    {"getMBProduct", L"Select * from Win32_BaseBoard", L"Product"},
    {"getMBVersion", L"Select * from Win32_BaseBoard", L"Version"},
    {"getMBSerialNumber", L"Select * from Win32_BaseBoard", L"SerialNumber"},
    {"getBIOSLanguage", L"Select * from Win32_BIOS", L"CurrentLanguage"},
    {"getBIOSVersion", L"Select * from Win32_BIOS", L"Version"},
    {"getSMBIOSVersion", L"Select * from Win32_BIOS", L"SMBIOSBIOSVersion"},
    {"getCSManufacturer", L"Select * from Win32_ComputerSystem", L"Manufacturer"},
    {"getCSModel", L"Select * from Win32_ComputerSystem", L"Model"},
};

// The plain query: the property of the first instance, when it is a string.
std::optional<std::u16string> plainQuery(IWbemServices* services, const Getter& getter) {
  std::optional<std::u16string> text;
  BSTR language = SysAllocString(L"WQL");
  BSTR query = SysAllocString(getter.query);
  IEnumWbemClassObject* results = nullptr;
  if (SUCCEEDED(services->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY, nullptr, &results))) {
    IWbemClassObject* first = nullptr;
    ULONG returned = 0;
    if (SUCCEEDED(results->Next(WBEM_INFINITE, 1, &first, &returned)) && returned == 1) {
      VARIANT value;
      VariantInit(&value);
      if (SUCCEEDED(first->Get(getter.property, 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR) {
        const wchar_t* units = value.bstrVal == nullptr ? L"" : value.bstrVal;
        text = std::u16string(units, units + wcslen(units)).substr(0, 259);
      }
      VariantClear(&value);
      first->Release();
    }
    results->Release();
  }
  SysFreeString(language);
  SysFreeString(query);
  return text;
}

std::vector<std::optional<std::u16string>> plainAnswers(CheckReport& report) {
  std::vector<std::optional<std::u16string>> answers;
  IWbemLocator* locator = nullptr;
  IWbemServices* services = nullptr;
  BSTR wmiNamespace = SysAllocString(L"root\\cimv2");
  if (SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                 reinterpret_cast<void**>(&locator))) &&
      SUCCEEDED(locator->ConnectServer(wmiNamespace, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services))) {
    CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CONNECT,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    for (const auto& getter : kGetters) answers.push_back(plainQuery(services, getter));
    services->Release();
  }
  if (locator != nullptr) locator->Release();
  SysFreeString(wmiNamespace);
  report.expect(answers.size() == std::size(kGetters), "identity: the check's own WMI queries ran");
  return answers;
}

std::string shown(const std::optional<std::u16string>& text) {
  if (!text) return "null";
  return "\"" + std::string(text->begin(), text->end()) + "\"";
}

}  // namespace

std::vector<std::pair<std::string, std::optional<std::u16string>>> plainIdentity(CheckReport& report) {
  std::vector<std::pair<std::string, std::optional<std::u16string>>> named;
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  const auto answers = plainAnswers(report);
  for (std::size_t i = 0; i < answers.size(); ++i) named.emplace_back(kGetters[i].native, answers[i]);
  CoUninitialize();
  return named;
}

void checkIdentity(const LoadedLibrary& library, CheckReport& report) {
  auto init = library.native<InitNative>("Tarvix", "Init");
  auto uninit = library.native<UninitNative>("Tarvix", "Uninit");
  bool exported = init != nullptr && uninit != nullptr;
  for (const auto& getter : kGetters) exported = exported && library.native<StringNative>("Tarvix", getter.native);
  if (!report.expect(exported, "identity: Init, Uninit and the nine getters are exported")) return;

  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  const auto expected = plainAnswers(report);
  fakejvm::FakeJvm vm;
  report.expect(init(vm.env(), nullptr) == JNI_TRUE, "Init: answers true");
  for (std::size_t i = 0; i < expected.size(); ++i) {
    jstring answer = library.native<StringNative>("Tarvix", kGetters[i].native)(vm.env(), nullptr);
    std::optional<std::u16string> text;
    if (answer != nullptr) text = vm.stringText(answer);
    report.expect(text == expected[i], std::string(kGetters[i].native) + ": answers " + shown(expected[i]) +
                                           (text == expected[i] ? "" : ", not " + shown(text)));
  }
  uninit(vm.env(), nullptr);
  bool allNull = true;
  for (const auto& getter : kGetters) {
    allNull = allNull && library.native<StringNative>("Tarvix", getter.native)(vm.env(), nullptr) == nullptr;
  }
  report.expect(allNull, "identity: every getter answers null after Uninit");
  report.expect(vm.violations().empty(), "identity: the VM is used correctly");
  CoUninitialize();
}
