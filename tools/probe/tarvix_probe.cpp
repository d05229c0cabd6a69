// tarvix-probe: loads Tarvix.dll as a Java VM would and shows what each native answers on
// this machine, so the library's answers can be seen without writing Java.
#include <windows.h>

#include <cstdio>
#include <string>

#include "loaded_library.h"
#include "probe_output.h"
#include "probe_run.h"

namespace {

const char kHelp[] =
    "Usage: tarvix-probe.exe [--json] [--create-root-file] [PATH\\TO\\Tarvix.dll]\n"
    "\n"
    "Loads Tarvix.dll (by default the one beside this program) the way a Java VM does and\n"
    "calls its natives as an application would: getVersion, Init, the nine identity getters,\n"
    "getHadrwareId, getJreVersionInfo for \"JavaHome\", \"RuntimeLib\" and \"MicroVersion\", and\n"
    "Uninit. For each call it shows the answer (null when the native failed; an array as its\n"
    "number of entries and the entries), the lines the library wrote to standard output, and\n"
    "how long the call took in milliseconds.\n"
    "\n"
    "  --json              print the same as JSON, for a support ticket\n"
    "  --create-root-file  also call createRootFile, which creates or empties C:\\test.txt\n"
    "  --help              show this text\n"
    "\n"
    "The probe must have the DLL's bitness: x86\\tarvix-probe.exe for x86\\Tarvix.dll,\n"
    "x64\\tarvix-probe.exe for x64\\Tarvix.dll.\n"
    "Exit status: 0 when every native was called; 1 for a wrong option; 2 when the DLL cannot\n"
    "be loaded; 3 when it lacks natives.\n";

std::wstring besideThisProgram(const wchar_t* file) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring directory(path, length);
  directory.erase(directory.find_last_of(L"\\/") + 1);
  return directory + file;
}

std::string systemMessage(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length != 0 ? std::string(text, length) : "error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  return message;
}

void writeOut(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool json = false;
  bool createRootFile = false;
  std::wstring path;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
      writeOut(kHelp);
      return 0;
    } else if (argument == L"--json") {
      json = true;
    } else if (argument == L"--create-root-file") {
      createRootFile = true;
    } else if (argument.rfind(L"-", 0) == 0 || !path.empty()) {
      std::fprintf(stderr, "tarvix-probe: unexpected argument %ls\n\n%s", argv[i], kHelp);
      return 1;
    } else {
      path = argument;
    }
  }
  if (path.empty()) path = besideThisProgram(L"Tarvix.dll");

  LoadedLibrary library(path.c_str());
  if (!library.loaded()) {
    const DWORD error = GetLastError();
    std::fprintf(stderr, "tarvix-probe: cannot load %ls: %s\n", path.c_str(), systemMessage(error).c_str());
    if (error == ERROR_BAD_EXE_FORMAT) {
      std::fprintf(stderr, "tarvix-probe: this probe is %d-bit; use the probe beside the DLL of that bitness\n",
                   static_cast<int>(sizeof(void*) * 8));
    }
    return 2;
  }
  const auto missing = probe::missingNatives(library);
  if (!missing.empty()) {
    std::string names;
    for (const auto& name : missing) names += (names.empty() ? "" : ", ") + name;
    std::fprintf(stderr, "tarvix-probe: %ls is not a Tarvix.dll this probe knows: it lacks %s\n", path.c_str(),
                 names.c_str());
    return 3;
  }
  const probe::Report report =
      probe::runProbe(library, std::u16string(path.begin(), path.end()), createRootFile);
  writeOut(json ? probe::renderJson(report) : probe::renderTable(report));
  return 0;
}
