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
