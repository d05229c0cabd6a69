// Loads Tarvix.dll into a real Windows process (under Wine here), stands in for the Java VM
// with the fake JNIEnv, and checks what each native answers against the Windows APIs themselves.
//   windows_checks.exe PATH\TO\Tarvix.dll
// Prints one line per scenario and a closing "N passed, N failed"; exits non-zero on any failure.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "check_report.h"
#include "fake_jvm.h"
#include "loaded_library.h"

namespace {

using StringNative = jstring(JNICALL*)(JNIEnv*, jclass);

void checkVersion(const LoadedLibrary& library, CheckReport& report) {
  auto getVersion = library.native<StringNative>("Tarvix", "getVersion");
  if (!report.expect(getVersion != nullptr, "getVersion: exported under its JNI name")) return;
  fakejvm::FakeJvm vm;
  jstring answer = getVersion(vm.env(), nullptr);
  report.expect(answer != nullptr && vm.stringText(answer) == u"Ver: 2009.12.25",
                "getVersion: answers \"Ver: 2009.12.25\"");
  report.expect(vm.violations().empty(), "getVersion: uses the VM correctly");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: windows_checks.exe PATH\\TO\\Tarvix.dll\n");
    return 2;
  }
  CheckReport report;
  LoadedLibrary library(argv[1]);
  if (report.expect(library.loaded(), "Tarvix.dll loads")) {
    checkVersion(library, report);
  }
  return report.finish();
}
