// The scenarios of the Windows checks, one function per subsystem, and the fixtures they share.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "check_report.h"
#include "loaded_library.h"

using StringNative = jstring(JNICALL*)(JNIEnv*, jclass);
using BooleanNative = jboolean(JNICALL*)(JNIEnv*, jclass);

void checkVersion(const LoadedLibrary& library, CheckReport& report);
void checkMiscUtils(const LoadedLibrary& library, CheckReport& report);
void checkInventory(const LoadedLibrary& library, CheckReport& report);
void checkIdentity(const LoadedLibrary& library, CheckReport& report);
void checkProbe(const LoadedLibrary& library, CheckReport& report);

// Each getter's name and what a plain WMI query of its property answers (null: not a string).
std::vector<std::pair<std::string, std::optional<std::u16string>>> plainIdentity(CheckReport& report);

// Writes "DriverVersion" values into the driver keys of the first devices that have none;
// answers the keys written, for removeDriverVersions.
std::vector<std::u16string> writeDriverVersions(const std::vector<std::u16string>& versions);
void removeDriverVersions(const std::vector<std::u16string>& driverKeys);
// The inventory by the check's own walk of the devices, and its lines as the library prints them.
std::vector<std::u16string> expectedInventory();
std::string inventoryLines(const std::vector<std::u16string>& entries);
