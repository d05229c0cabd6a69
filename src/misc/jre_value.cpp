// getJreVersionInfo: one named value of the Java 1.6 runtime's registry key, read in the
// registry view of this process (a 32-bit library on 64-bit Windows sees the 32-bit runtime's).
#include <jni.h>

#include <algorithm>
#include <memory>
#include <new>

#include "boundary/java_string.h"
#include "boundary/native_guard.h"
#include "platform/windows_api.h"

namespace {

constexpr WCHAR kRuntimeKey[] = WIDE("Software\\JavaSoft\\Java Runtime Environment\\1.6");
constexpr DWORD kValueUnits = 128;

// Queries the value that `name` names into `value`. The VM lends a string's units without a
// terminator, so the registry gets a terminated copy of exactly the string's units.
bool queryNamedValue(JNIEnv* env, HKEY key, jstring name, WCHAR (&value)[kValueUnits]) {
  if (name == nullptr) return false;
  const jsize length = env->GetStringLength(name);
  const jchar* units = env->GetStringChars(name, nullptr);
  if (units == nullptr) return false;
  std::unique_ptr<WCHAR[]> valueName(new (std::nothrow) WCHAR[static_cast<std::size_t>(length) + 1]);
  LSTATUS status = ERROR_NOT_ENOUGH_MEMORY;
  if (valueName) {
    std::copy(units, units + length, valueName.get());
    valueName[static_cast<std::size_t>(length)] = 0;
    DWORD type = 0;  // not consulted: the answer is the data's units whatever the type
    DWORD size = sizeof(value);
    status = RegQueryValueExW(key, valueName.get(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  }
  env->ReleaseStringChars(name, units);
  return status == ERROR_SUCCESS;
}

jstring readJreValue(JNIEnv* env, jstring name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRuntimeKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  WCHAR value[kValueUnits] = {};
  const bool read = queryNamedValue(env, key, name, value);
  RegCloseKey(key);
  // Data that filled the buffer without a NUL is answered as all of its units.
  return read ? newJavaString(env, value, kValueUnits) : nullptr;
}

}  // namespace

extern "C" JNIEXPORT jstring JNICALL Java_com_velk_utils_MiscUtils_getJreVersionInfo(JNIEnv* env, jclass,
                                                                                      jstring name) {
  return answerOrFail<jstring>(nullptr, [&] { return readJreValue(env, name); });
}
