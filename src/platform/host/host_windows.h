// Host declarations of the Windows subset that the library uses. Written from what the
// library needs; the definitions live in the simulated machine beside the tests.
#pragma once

#include <cstdint>

// --- basic types ---
using WCHAR = char16_t;
using BOOL = int;
using BYTE = std::uint8_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using LSTATUS = LONG;
using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using ULONG_PTR = std::uintptr_t;
using HANDLE = void*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
struct HWND__;
using HWND = HWND__*;

// --- system error codes ---
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_SHARING_VIOLATION = 32;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_INSUFFICIENT_BUFFER = 122;
constexpr LONG ERROR_INVALID_DATA = 13;
constexpr LONG ERROR_INVALID_USER_BUFFER = 1784;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
DWORD GetLastError();

// --- registry ---
struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = DWORD;
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u));
constexpr REGSAM KEY_READ = 0x20019;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

LSTATUS RegOpenKeyExW(HKEY key, const WCHAR* subKey, DWORD options, REGSAM access, HKEY* result);
LSTATUS RegQueryValueExW(HKEY key, const WCHAR* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                         DWORD* dataSize);
LSTATUS RegCloseKey(HKEY key);

// --- files ---
struct SECURITY_ATTRIBUTES;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

HANDLE CreateFileW(const WCHAR* fileName, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security,
                   DWORD creation, DWORD flags, HANDLE templateFile);
BOOL CloseHandle(HANDLE handle);

// --- Setup API: device-information lists ---
using HDEVINFO = void*;
struct SP_DEVINFO_DATA {
  DWORD cbSize;
  GUID ClassGuid;
  DWORD DevInst;
  ULONG_PTR Reserved;
};
constexpr DWORD DIGCF_PRESENT = 0x2;
constexpr DWORD DIGCF_ALLCLASSES = 0x4;
constexpr DWORD SPDRP_HARDWAREID = 1;
constexpr DWORD SPDRP_DRIVER = 9;

HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, const WCHAR* enumerator, HWND parent, DWORD flags);
BOOL SetupDiEnumDeviceInfo(HDEVINFO devices, DWORD memberIndex, SP_DEVINFO_DATA* device);
BOOL SetupDiGetDeviceRegistryPropertyW(HDEVINFO devices, SP_DEVINFO_DATA* device, DWORD property,
                                       DWORD* propertyType, BYTE* buffer, DWORD bufferSize, DWORD* requiredSize);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO devices);

// --- formatting (user32): %s takes a wide text ---
int wsprintfW(WCHAR* out, const WCHAR* format, ...);

// --- COM ---
using WORD = std::uint16_t;
using UINT = unsigned int;
using OLECHAR = WCHAR;
using BSTR = OLECHAR*;
using REFIID = const GUID&;
using REFCLSID = const GUID&;
using IID = GUID;
using CLSID = GUID;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106u);
constexpr HRESULT RPC_E_DISCONNECTED = static_cast<HRESULT>(0x80010108u);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

inline bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

HRESULT CoInitializeEx(void* reserved, DWORD coInit);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);

using VARTYPE = std::uint16_t;
constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_NULL = 1;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;
struct VARIANT {
  VARTYPE vt;
  WORD wReserved1, wReserved2, wReserved3;
  union {
    LONG lVal;
    BSTR bstrVal;
  };
};
void VariantInit(VARIANT* value);
HRESULT VariantClear(VARIANT* value);

// --- RPC security on a proxy ---
constexpr DWORD RPC_C_AUTHN_WINNT = 10;
constexpr DWORD RPC_C_AUTHZ_NONE = 0;
constexpr DWORD RPC_C_AUTHN_LEVEL_CONNECT = 2;
constexpr DWORD RPC_C_IMP_LEVEL_IMPERSONATE = 3;
constexpr DWORD EOAC_NONE = 0;

struct IClientSecurity : IUnknown {
  virtual HRESULT SetBlanket(IUnknown* proxy, DWORD authnService, DWORD authzService, OLECHAR* serverPrincipalName,
                             DWORD authnLevel, DWORD impLevel, void* authInfo, DWORD capabilities) = 0;

 protected:
  ~IClientSecurity() = default;
};

// --- WMI: only the methods the library calls ---
using CIMTYPE = LONG;
constexpr LONG WBEM_INFINITE = static_cast<LONG>(0xFFFFFFFFu);
constexpr HRESULT WBEM_S_FALSE = 1;
constexpr HRESULT WBEM_E_NOT_FOUND = static_cast<HRESULT>(0x80041002u);
constexpr HRESULT WBEM_E_INVALID_PARAMETER = static_cast<HRESULT>(0x80041008u);
constexpr HRESULT WBEM_E_INVALID_CLASS = static_cast<HRESULT>(0x80041010u);
constexpr HRESULT WBEM_E_INVALID_NAMESPACE = static_cast<HRESULT>(0x8004100Eu);
constexpr HRESULT WBEM_E_INVALID_QUERY_TYPE = static_cast<HRESULT>(0x80041018u);
constexpr HRESULT WBEM_E_TRANSPORT_FAILURE = static_cast<HRESULT>(0x80041015u);

struct IWbemContext;

struct IWbemClassObject : IUnknown {
  virtual HRESULT Get(const WCHAR* name, LONG flags, VARIANT* value, CIMTYPE* type, LONG* flavor) = 0;

 protected:
  ~IWbemClassObject() = default;
};

struct IEnumWbemClassObject : IUnknown {
  virtual HRESULT Reset() = 0;
  virtual HRESULT Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) = 0;

 protected:
  ~IEnumWbemClassObject() = default;
};

struct IWbemServices : IUnknown {
  virtual HRESULT ExecQuery(const BSTR language, const BSTR query, LONG flags, IWbemContext* context,
                            IEnumWbemClassObject** results) = 0;

 protected:
  ~IWbemServices() = default;
};

struct IWbemLocator : IUnknown {
  virtual HRESULT ConnectServer(const BSTR networkResource, const BSTR user, const BSTR password, const BSTR locale,
                                LONG securityFlags, const BSTR authority, IWbemContext* context,
                                IWbemServices** services) = 0;

 protected:
  ~IWbemLocator() = default;
};
