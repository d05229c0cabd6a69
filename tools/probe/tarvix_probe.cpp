// tarvix-probe: loads Tarvix.dll as a Java VM would and prints what each native answers on
// this machine, so the library's answers can be seen without writing Java.
//   tarvix-probe.exe [PATH\TO\Tarvix.dll]     (default: the Tarvix.dll beside the program)
#include <windows.h>

#include <cstdio>
#include <string>

#include "fake_jvm.h"
#include "loaded_library.h"

namespace {

using StringNative = jstring(JNICALL*)(JNIEnv*, jclass);

// UTF-8 for the console: Java strings are UTF-16 and may hold any unit.
std::string utf8(const std::u16string& text) {
  if (text.empty()) return {};
  const auto* units = reinterpret_cast<const wchar_t*>(text.data());
  int length = static_cast<int>(text.size());
  int bytes = WideCharToMultiByte(CP_UTF8, 0, units, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, units, length, out.data(), bytes, nullptr, nullptr);
  return out;
}

void showString(const LoadedLibrary& library, const char* cls, const char* method) {
  auto native = library.native<StringNative>(cls, method);
  if (native == nullptr) {
    std::printf("%-20s (not exported)\n", method);
    return;
  }
  fakejvm::FakeJvm vm;
  jstring answer = native(vm.env(), nullptr);
  if (answer == nullptr) {
    std::printf("%-20s null\n", method);
  } else {
    std::printf("%-20s \"%s\"\n", method, utf8(vm.stringText(answer)).c_str());
  }
}

std::wstring besideThisProgram(const wchar_t* file) {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring directory(path, length);
  directory.erase(directory.find_last_of(L"\\/") + 1);
  return directory + file;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring path = argc > 1 ? argv[1] : besideThisProgram(L"Tarvix.dll");
  LoadedLibrary library(path.c_str());
  if (!library.loaded()) {
    std::fprintf(stderr, "tarvix-probe: cannot load %ls (error %lu)\n", path.c_str(), GetLastError());
    return 1;
  }
  std::printf("Tarvix.dll, %d-bit\n", static_cast<int>(sizeof(void*) * 8));
  showString(library, "Tarvix", "getVersion");
  return 0;
}
