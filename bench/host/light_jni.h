// A JNIEnv for benchmarks: the functions the natives call, each doing as little as a VM's
// fast path (no recording, no checks), so that the figures show the library and the
// platform rather than the stand-in VM. The same env serves a native and its plain sequence.
#pragma once

#include <jni.h>

namespace bench {

JNIEnv* lightEnv();
// A Java string argument, as the VM would pass one.
jstring javaString(const char16_t* text);

}  // namespace bench
