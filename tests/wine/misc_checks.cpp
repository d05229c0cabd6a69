// getJreVersionInfo against values this check writes into the real registry, and
// createRootFile against the real C: drive (the Wine prefix's drive_c).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "captured_stdout.h"
#include "checks.h"
#include "fake_jvm.h"

namespace {

using JreValueNative = jstring(JNICALL*)(JNIEnv*, jclass, jstring);

const wchar_t kRuntimeKey[] = L"Software\\JavaSoft\\Java Runtime Environment\\1.6";

struct RegistryValue {
  std::u16string name;
  DWORD type;
  std::u16string data;  // the stored units, terminator included where one is stored
  std::optional<std::u16string> expected;
};

std::u16string repeated(std::size_t count, char16_t unit) { return std::u16string(count, unit); }

bool writeValue(HKEY key, const RegistryValue& value) {
  return RegSetValueExW(key, reinterpret_cast<const wchar_t*>(value.name.c_str()), 0, value.type,
                        reinterpret_cast<const BYTE*>(value.data.data()),
                        static_cast<DWORD>(value.data.size() * sizeof(char16_t))) == ERROR_SUCCESS;
}

std::optional<std::u16string> askFor(JreValueNative native, const std::u16string& name, CheckReport& report,
                                     const std::string& what) {
  fakejvm::FakeJvm vm;
  jstring answer = native(vm.env(), nullptr, vm.javaString(name));
  report.expect(vm.violations().empty(), "getJreVersionInfo: uses the VM correctly (" + what + ")");
  if (answer == nullptr) return std::nullopt;
  return vm.stringText(answer);
}

void checkJreValues(JreValueNative native, CheckReport& report) {
  using namespace std::string_literals;
  const std::vector<std::pair<std::string, RegistryValue>> table = {
      {"plain string", {u"JavaHome", REG_SZ, u"C:\\Program Files\\Java\\jre6\0"s, u"C:\\Program Files\\Java\\jre6"}},
      {"empty string", {u"Empty", REG_SZ, u"\0"s, u""}},
      {"127 units", {u"Long", REG_SZ, repeated(127, u'7') + u'\0', repeated(127, u'7')}},
      {"256 bytes without NUL", {u"Full", REG_BINARY, repeated(128, u'8'), repeated(128, u'8')}},
      {"one unit too long", {u"TooLong", REG_SZ, repeated(128, u'8') + u'\0', std::nullopt}},
      {"REG_DWORD as units", {u"Dword", REG_DWORD, u"AB"s, u"AB"}},
      {"non-ASCII name and text", {u"N\u00e4me", REG_SZ, u"\u65e5\u672c \xd83d\xde00\0"s, u"\u65e5\u672c \xd83d\xde00"}},
  };
  HKEY key = nullptr;
  if (!report.expect(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRuntimeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                     nullptr) == ERROR_SUCCESS,
                     "getJreVersionInfo: the check can write the runtime key")) {
    return;
  }
  for (const auto& [what, value] : table) report.expect(writeValue(key, value), "writes value: " + what);
  RegCloseKey(key);

  for (const auto& [what, value] : table) {
    report.expect(askFor(native, value.name, report, what) == value.expected, "getJreVersionInfo: " + what);
  }
  report.expect(!askFor(native, u"NoSuchValue", report, "missing value"), "getJreVersionInfo: missing value is null");

  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kRuntimeKey);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kRuntimeKey);
  report.expect(!askFor(native, u"JavaHome", report, "key removed"), "getJreVersionInfo: null once the key is gone");
}

bool isEmptyFile(const wchar_t* path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return GetFileAttributesExW(path, GetFileExInfoStandard, &data) && data.nFileSizeLow == 0 &&
         data.nFileSizeHigh == 0;
}

void checkRootFile(BooleanNative native, CheckReport& report) {
  const wchar_t kProbe[] = L"C:\\test.txt";
  DeleteFileW(kProbe);
  fakejvm::FakeJvm vm;
  // The report itself writes to stdout: it speaks only once the capture has ended.
  jboolean first = JNI_FALSE, second = JNI_FALSE, whileHeld = JNI_TRUE;
  std::string successLines, failureLine;
  {
    CapturedStdout output(L"tarvix-root-probe.out");
    first = native(vm.env(), nullptr);
    second = native(vm.env(), nullptr);
    successLines = output.text();
  }
  report.expect(first == JNI_TRUE && second == JNI_TRUE, "createRootFile: true twice in a row");
  report.expect(isEmptyFile(kProbe), "createRootFile: leaves an empty C:\\test.txt");
  report.expect(successLines == "Native CreateFile success.\nNative CreateFile success.\n",
                "createRootFile: one success line per call on standard output");
  {
    // Held open without sharing: the probe cannot create it.
    HANDLE held = CreateFileW(kProbe, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    CapturedStdout output(L"tarvix-root-probe.out");
    whileHeld = native(vm.env(), nullptr);
    failureLine = output.text();
    CloseHandle(held);
  }
  report.expect(whileHeld == JNI_FALSE, "createRootFile: false while the file is held open");
  report.expect(failureLine == "Native CreateFile failed.\n", "createRootFile: the failure line");
  report.expect(vm.calls().empty(), "createRootFile: makes no VM call");
  DeleteFileW(kProbe);
  DeleteFileW(L"tarvix-root-probe.out");
}

}  // namespace

void checkMiscUtils(const LoadedLibrary& library, CheckReport& report) {
  auto getJreVersionInfo = library.native<JreValueNative>("MiscUtils", "getJreVersionInfo", 1);
  if (report.expect(getJreVersionInfo != nullptr, "getJreVersionInfo: exported under its JNI name")) {
    checkJreValues(getJreVersionInfo, report);
  }
  auto createRootFile = library.native<BooleanNative>("MiscUtils", "createRootFile");
  if (report.expect(createRootFile != nullptr, "createRootFile: exported under its JNI name")) {
    checkRootFile(createRootFile, report);
  }
}
