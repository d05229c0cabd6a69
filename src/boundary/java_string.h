#pragma once

#include <jni.h>

#include <cstddef>

#include "platform/windows_api.h"

// A Java string of the UTF-16 units of `text` up to, not including, its first NUL.
// Null when the VM cannot make the string (its exception is then pending) or `text` is null.
jstring newJavaString(JNIEnv* env, const WCHAR* text);

// The same for a buffer the platform filled, which may hold no NUL at all: the units up to
// the first NUL, or all `capacity` units when there is none.
jstring newJavaString(JNIEnv* env, const WCHAR* buffer, std::size_t capacity);
