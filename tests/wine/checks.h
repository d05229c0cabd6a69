// The scenarios of the Windows checks, one function per subsystem.
#pragma once

#include "check_report.h"
#include "loaded_library.h"

using StringNative = jstring(JNICALL*)(JNIEnv*, jclass);
using BooleanNative = jboolean(JNICALL*)(JNIEnv*, jclass);

void checkVersion(const LoadedLibrary& library, CheckReport& report);
void checkMiscUtils(const LoadedLibrary& library, CheckReport& report);
void checkInventory(const LoadedLibrary& library, CheckReport& report);
void checkIdentity(const LoadedLibrary& library, CheckReport& report);
