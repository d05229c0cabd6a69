// What each native does, written as the plain sequence of platform and JNI calls with none of
// the library's own work around them: no guard, no lock, no owners, no entry list. The
// benchmarks run each native beside its plain sequence; the difference is what the library
// itself costs.
#pragma once

#include <jni.h>

#include "platform/windows_api.h"

namespace plain {

// Init's calls: the locator, the connection and its security settings. The handle answered
// is the caller's to release, with CoUninitialize after it.
IWbemServices* connect();
// A getter's calls on an open connection: the query, the first instance, its property.
jstring getter(JNIEnv* env, IWbemServices* service, const WCHAR* query, const WCHAR* property);
jstring version(JNIEnv* env);
jobjectArray inventory(JNIEnv* env);
jstring jreValue(JNIEnv* env, jstring name);
jboolean createRootFile();

}  // namespace plain
