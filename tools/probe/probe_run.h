// Calls every native of a loaded Tarvix.dll the way an application would, with the stand-in
// JVM, and reports each answer.
#pragma once

#include <string>
#include <vector>

#include "loaded_library.h"
#include "probe_report.h"

namespace probe {

// The natives the probe calls that the DLL does not export, by Java method name.
std::vector<std::string> missingNatives(const LoadedLibrary& library);

// getVersion, Init, the nine getters, getHadrwareId, getJreVersionInfo for the usual
// names, Uninit, and createRootFile (which writes C:\test.txt) only when asked.
Report runProbe(const LoadedLibrary& library, const std::u16string& path, bool createRootFile);

}  // namespace probe
