#include "plain_sequences.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/standard_output.h"

namespace plain {
namespace {

// {4590F811-1D3A-11D0-891F-00AA004B2E24}
constexpr GUID kWbemLocatorClass = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
// {DC12A687-737F-11CF-884D-00AA004B2E24}
constexpr GUID kWbemLocatorInterface = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
// {0000013D-0000-0000-C000-000000000046}
constexpr GUID kClientSecurityInterface = {0x0000013D, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::size_t unitsBeforeNul(const WCHAR* text, std::size_t capacity) {
  std::size_t length = 0;
  while (length < capacity && text[length] != 0) ++length;
  return length;
}

// The entries are ASCII in the benchmarks: one byte per unit.
void writeAsciiLine(const WCHAR* text) {
  char line[1400];
  std::size_t length = 0;
  for (; text[length] != 0 && length + 1 < sizeof line; ++length) line[length] = static_cast<char>(text[length]);
  line[length++] = '\n';
  writeStandardOutput(line, length);
}

}  // namespace

IWbemServices* connect() {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  IWbemLocator* locator = nullptr;
  if (CoCreateInstance(kWbemLocatorClass, nullptr, CLSCTX_INPROC_SERVER, kWbemLocatorInterface,
                       reinterpret_cast<void**>(&locator)) != S_OK) {
    return nullptr;
  }
  BSTR wmiNamespace = SysAllocString(WIDE("root\\cimv2"));
  IWbemServices* service = nullptr;
  locator->ConnectServer(wmiNamespace, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &service);
  SysFreeString(wmiNamespace);
  locator->Release();
  if (service == nullptr) return nullptr;
  IClientSecurity* security = nullptr;
  if (SUCCEEDED(service->QueryInterface(kClientSecurityInterface, reinterpret_cast<void**>(&security)))) {
    security->SetBlanket(service, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CONNECT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    security->Release();
  }
  return service;
}

jstring getter(JNIEnv* env, IWbemServices* service, const WCHAR* query, const WCHAR* property) {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  jstring answer = nullptr;
  BSTR language = SysAllocString(WIDE("WQL"));
  BSTR text = SysAllocString(query);
  IEnumWbemClassObject* results = nullptr;
  const HRESULT ran = service->ExecQuery(language, text, 0, nullptr, &results);
  SysFreeString(language);
  SysFreeString(text);
  if (SUCCEEDED(ran)) {
    results->Reset();
    IWbemClassObject* first = nullptr;
    ULONG returned = 0;
    results->Next(static_cast<LONG>(WBEM_INFINITE), 1, &first, &returned);
    if (returned == 1) {
      VARIANT value;
      VariantInit(&value);
      if (SUCCEEDED(first->Get(property, 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR) {
        WCHAR units[260] = {};
        const std::size_t length = value.bstrVal == nullptr ? 0 : unitsBeforeNul(value.bstrVal, 259);
        if (length > 0) std::memcpy(units, value.bstrVal, length * sizeof(WCHAR));
        answer = env->NewString(reinterpret_cast<const jchar*>(units), static_cast<jsize>(length));
      }
      VariantClear(&value);
      first->Release();
    }
    results->Release();
  }
  CoUninitialize();
  return answer;
}

jstring version(JNIEnv* env) {
  static const WCHAR text[] = WIDE("Ver: 2009.12.25");
  return env->NewString(reinterpret_cast<const jchar*>(text), 15);
}

jobjectArray inventory(JNIEnv* env) {
  HDEVINFO devices = SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (devices == INVALID_HANDLE_VALUE) return nullptr;
  std::vector<std::basic_string<WCHAR>> entries;
  static WCHAR hardwareIds[1040], driverKey[260], keyPath[260], version[260];
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    std::memset(hardwareIds, 0, sizeof hardwareIds);
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_HARDWAREID, nullptr,
                                           reinterpret_cast<BYTE*>(hardwareIds), 1040, nullptr)) {
      continue;
    }
    std::memset(driverKey, 0, sizeof driverKey);
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_DRIVER, nullptr, reinterpret_cast<BYTE*>(driverKey),
                                           260, nullptr)) {
      continue;
    }
    const WCHAR prefix[] = WIDE("SYSTEM\\CurrentControlSet\\Control\\Class\\");
    std::memset(keyPath, 0, sizeof keyPath);
    std::memcpy(keyPath, prefix, sizeof prefix - sizeof(WCHAR));
    std::memcpy(keyPath + 39, driverKey, unitsBeforeNul(driverKey, 130) * sizeof(WCHAR));
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    std::memset(version, 0, sizeof version);
    DWORD type = 0;
    DWORD size = 260;
    if (RegQueryValueExW(key, WIDE("DriverVersion"), nullptr, &type, reinterpret_cast<BYTE*>(version), &size) ==
        ERROR_SUCCESS) {
      const std::size_t idLength = unitsBeforeNul(hardwareIds, 1040);
      const std::size_t versionLength = unitsBeforeNul(version, 260);
      std::basic_string<WCHAR> entry;
      entry.reserve(idLength + 1 + versionLength);
      entry.append(hardwareIds, idLength).append(1, WCHAR('=')).append(version, versionLength);
      entries.push_back(entry);
    }
    RegCloseKey(key);
  }
  SetupDiDestroyDeviceInfoList(devices);

  jstring initial = env->NewStringUTF("");
  jclass stringClass = env->FindClass("java/lang/String");
  jobjectArray array = env->NewObjectArray(static_cast<jsize>(entries.size()), stringClass, initial);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    writeAsciiLine(entries[i].c_str());
    jstring text = env->NewString(reinterpret_cast<const jchar*>(entries[i].data()), static_cast<jsize>(entries[i].size()));
    env->SetObjectArrayElement(array, static_cast<jsize>(i), text);
    env->DeleteLocalRef(text);
  }
  return array;
}

jstring jreValue(JNIEnv* env, jstring name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WIDE("Software\\JavaSoft\\Java Runtime Environment\\1.6"), 0, KEY_READ,
                    &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  WCHAR valueName[256] = {};
  const jsize length = env->GetStringLength(name);
  const jchar* units = env->GetStringChars(name, nullptr);
  std::memcpy(valueName, units, static_cast<std::size_t>(length) * sizeof(jchar));
  env->ReleaseStringChars(name, units);
  WCHAR value[128] = {};
  DWORD type = 0;
  DWORD size = sizeof value;
  const LSTATUS status = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return nullptr;
  return env->NewString(reinterpret_cast<const jchar*>(value), static_cast<jsize>(unitsBeforeNul(value, 128)));
}

jboolean createRootFile() {
  HANDLE file = CreateFileW(WIDE("C:\\test.txt"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    writeAsciiLine(WIDE("Native CreateFile failed."));
    return JNI_FALSE;
  }
  writeAsciiLine(WIDE("Native CreateFile success."));
  CloseHandle(file);
  return JNI_TRUE;
}

}  // namespace plain
