// Tarvix.dll loaded the way a Java VM loads it, with its natives found the way the VM finds
// them: on 32-bit Windows by the decorated stdcall name, elsewhere by the plain JNI name.
#pragma once

#include <windows.h>
#include <jni.h>

#include <string>

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const wchar_t* path) : module_(LoadLibraryW(path)) {}
  ~LoadedLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool loaded() const { return module_ != nullptr; }

  // The native Java_com_velk_utils_<cls>_<method>, taking `javaArgumentCount` Java arguments.
  template <typename Function>
  Function native(const char* cls, const char* method, int javaArgumentCount = 0) const {
    std::string name = std::string("Java_com_velk_utils_") + cls + "_" + method;
#if defined(_WIN32) && !defined(_WIN64)
    name = "_" + name + "@" + std::to_string(8 + 4 * javaArgumentCount);
#else
    (void)javaArgumentCount;
#endif
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name.c_str())));
  }

 private:
  HMODULE module_;
};
