// Loads Tarvix.dll into a real Windows process (under Wine here), stands in for the Java VM
// with the fake JNIEnv, and checks what each native answers against the Windows APIs themselves.
//   windows_checks.exe PATH\TO\Tarvix.dll
// Prints one line per check and a closing "N passed, N failed"; exits non-zero on any failure.
#include <windows.h>

#include <cstdio>

#include "checks.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: windows_checks.exe PATH\\TO\\Tarvix.dll\n");
    return 2;
  }
  CheckReport report;
  LoadedLibrary library(argv[1]);
  if (report.expect(library.loaded(), "Tarvix.dll loads")) {
    checkVersion(library, report);
    checkIdentity(library, report);
    checkMiscUtils(library, report);
    checkInventory(library, report);
    checkProbe(library, report);
  }
  return report.finish();
}
