#pragma once

#include <jni.h>

#include "platform/windows_api.h"

// A Java string of the UTF-16 units of `text` up to, not including, its first NUL.
// Null when the VM cannot make the string (its exception is then pending) or `text` is null.
jstring newJavaString(JNIEnv* env, const WCHAR* text);
