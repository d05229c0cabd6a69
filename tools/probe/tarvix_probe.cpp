// tarvix-probe: loads Tarvix.dll as a Java VM would and prints what each native answers on
// this machine, so the library's answers can be seen without writing Java.
//   tarvix-probe.exe [--create-root-file] [PATH\TO\Tarvix.dll]
// The DLL defaults to the one beside the program. createRootFile writes C:\test.txt, so it
// runs only when asked.
#include <windows.h>

#include <cstdio>
#include <string>

#include "fake_jvm.h"
#include "loaded_library.h"

namespace {

using StringNative = jstring(JNICALL*)(JNIEnv*, jclass);
using BooleanNative = jboolean(JNICALL*)(JNIEnv*, jclass);
using ArrayNative = jobjectArray(JNICALL*)(JNIEnv*, jclass);
using NamedValueNative = jstring(JNICALL*)(JNIEnv*, jclass, jstring);
using VoidNative = void(JNICALL*)(JNIEnv*, jclass);

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

std::string shown(const fakejvm::FakeJvm& vm, jobject answer) {
  return answer == nullptr ? "null" : "\"" + utf8(vm.stringText(answer)) + "\"";
}

void missing(const char* method) { std::printf("%-32s (not exported)\n", method); }

void showString(const LoadedLibrary& library, const char* cls, const char* method) {
  auto native = library.native<StringNative>(cls, method);
  if (native == nullptr) return missing(method);
  fakejvm::FakeJvm vm;
  std::printf("%-32s %s\n", method, shown(vm, native(vm.env(), nullptr)).c_str());
}

void showBoolean(const LoadedLibrary& library, const char* cls, const char* method) {
  auto native = library.native<BooleanNative>(cls, method);
  if (native == nullptr) return missing(method);
  fakejvm::FakeJvm vm;
  const jboolean answer = native(vm.env(), nullptr);
  std::fflush(stdout);
  std::printf("%-32s %s\n", method, answer == JNI_TRUE ? "true" : "false");
}

void showUninit(const LoadedLibrary& library) {
  auto native = library.native<VoidNative>("Tarvix", "Uninit");
  if (native == nullptr) return missing("Uninit");
  fakejvm::FakeJvm vm;
  native(vm.env(), nullptr);
  std::printf("%-32s (done)\n", "Uninit");
}

void showInventory(const LoadedLibrary& library) {
  auto native = library.native<ArrayNative>("Tarvix", "getHadrwareId");
  if (native == nullptr) return missing("getHadrwareId");
  fakejvm::FakeJvm vm;
  // The library writes each entry to stdout itself; the table follows its lines.
  jobjectArray answer = native(vm.env(), nullptr);
  std::fflush(stdout);
  if (answer == nullptr) {
    std::printf("%-32s null\n", "getHadrwareId");
    return;
  }
  const auto entries = vm.arrayElements(answer);
  std::printf("%-32s %u entries\n", "getHadrwareId", static_cast<unsigned>(entries.size()));
  for (jobject entry : entries) std::printf("%-32s   %s\n", "", shown(vm, entry).c_str());
}

void showJreValue(const LoadedLibrary& library, const char16_t* name) {
  auto native = library.native<NamedValueNative>("MiscUtils", "getJreVersionInfo", 1);
  if (native == nullptr) return missing("getJreVersionInfo");
  fakejvm::FakeJvm vm;
  const std::string label = "getJreVersionInfo(" + utf8(name) + ")";
  std::printf("%-32s %s\n", label.c_str(), shown(vm, native(vm.env(), nullptr, vm.javaString(name))).c_str());
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
  bool createRootFile = false;
  std::wstring path;
  for (int i = 1; i < argc; ++i) {
    if (std::wstring(argv[i]) == L"--create-root-file") {
      createRootFile = true;
    } else {
      path = argv[i];
    }
  }
  if (path.empty()) path = besideThisProgram(L"Tarvix.dll");
  LoadedLibrary library(path.c_str());
  if (!library.loaded()) {
    std::fprintf(stderr, "tarvix-probe: cannot load %ls (error %lu)\n", path.c_str(), GetLastError());
    return 1;
  }
  std::printf("Tarvix.dll, %d-bit\n", static_cast<int>(sizeof(void*) * 8));
  showString(library, "Tarvix", "getVersion");
  showBoolean(library, "Tarvix", "Init");
  for (const char* getter : {"getMBManufacturer", "getMBProduct", "getMBVersion", "getMBSerialNumber", "getBIOSLanguage",
                             "getBIOSVersion", "getSMBIOSVersion", "getCSManufacturer", "getCSModel"}) {
    showString(library, "Tarvix", getter);
  }
  showUninit(library);
  showInventory(library);
  for (const char16_t* name : {u"JavaHome", u"RuntimeLib", u"MicroVersion"}) showJreValue(library, name);
  if (createRootFile) showBoolean(library, "MiscUtils", "createRootFile");
  return 0;
}
