// The trivial native the JVM figures are measured against: it answers a constant string,
// so its cost is the VM's cost of a native call that makes one string.
#include <jni.h>

extern "C" JNIEXPORT jstring JNICALL Java_com_velk_utils_bench_Baseline_constant(JNIEnv* env, jclass) {
  return env->NewStringUTF("Ver: 2009.12.25");
}
