// Natives of com.velk.utils.sim.SimulatedWindows: the JUnit suite sets up the simulated
// machine and reads its ledger through them, in the same process as the host libTarvix.so.
#include <jni.h>
#include <malloc.h>

#include <string>
#include <vector>

#include "simulated_windows.h"

namespace {

std::u16string textOf(JNIEnv* env, jstring string) {
  if (string == nullptr) return {};
  const jsize length = env->GetStringLength(string);
  const jchar* units = env->GetStringChars(string, nullptr);
  if (units == nullptr) return {};
  std::u16string text(reinterpret_cast<const char16_t*>(units), static_cast<std::size_t>(length));
  env->ReleaseStringChars(string, units);
  return text;
}

jstring javaString(JNIEnv* env, const std::string& ascii) { return env->NewStringUTF(ascii.c_str()); }

}  // namespace

#define SIM_NATIVE(type, name) extern "C" JNIEXPORT type JNICALL Java_com_velk_utils_sim_SimulatedWindows_##name

SIM_NATIVE(void, reset)(JNIEnv*, jclass) { sim::resetMachine(); }

SIM_NATIVE(void, forgetHistory)(JNIEnv*, jclass) { sim::forgetHistory(); }

// Bytes the C allocator has handed out and not had back, over all its arenas: unlike resident
// memory, it does not count what the allocator keeps cached for reuse.
SIM_NATIVE(jlong, heapInUse)(JNIEnv*, jclass) {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<jlong>(info.uordblks + info.hblkhd);
}

SIM_NATIVE(void, setRegistryString)(JNIEnv* env, jclass, jstring path, jstring name, jstring value) {
  sim::registry().setString(textOf(env, path), textOf(env, name), textOf(env, value));
}

SIM_NATIVE(void, removeRegistryKey)(JNIEnv* env, jclass, jstring path) {
  sim::registry().removeKey(textOf(env, path));
}

SIM_NATIVE(void, addDeviceWithDriver)(JNIEnv* env, jclass, jstring hardwareId, jstring version) {
  sim::devices().addWithDriver({textOf(env, hardwareId)}, textOf(env, version));
}

SIM_NATIVE(void, setWmiProperty)(JNIEnv* env, jclass, jstring className, jstring property, jstring value) {
  sim::wmi().setProperty(textOf(env, className), textOf(env, property),
                         value == nullptr ? sim::WmiValue::null() : sim::WmiValue::string(textOf(env, value)));
}

SIM_NATIVE(void, setWmiReachable)(JNIEnv*, jclass, jboolean reachable) { sim::wmi().setReachable(reachable == JNI_TRUE); }

SIM_NATIVE(void, denyWritesUnder)(JNIEnv* env, jclass, jstring folder) {
  sim::files().denyWritesUnder(textOf(env, folder));
}

SIM_NATIVE(jboolean, fileIsEmpty)(JNIEnv* env, jclass, jstring path) {
  auto content = sim::files().content(textOf(env, path));
  return content && content->empty() ? JNI_TRUE : JNI_FALSE;
}

SIM_NATIVE(jstring, standardOutput)(JNIEnv* env, jclass) {
  // UTF-8 as written; the suite compares ASCII lines or decodes the bytes itself.
  const std::string bytes = sim::standardOutput();
  jbyteArray array = env->NewByteArray(static_cast<jsize>(bytes.size()));
  if (array == nullptr) return nullptr;
  env->SetByteArrayRegion(array, 0, static_cast<jsize>(bytes.size()), reinterpret_cast<const jbyte*>(bytes.data()));
  jclass stringClass = env->FindClass("java/lang/String");
  if (stringClass == nullptr) return nullptr;
  jmethodID constructor = env->GetMethodID(stringClass, "<init>", "([BLjava/lang/String;)V");
  if (constructor == nullptr) return nullptr;
  return static_cast<jstring>(env->NewObject(stringClass, constructor, array, javaString(env, "UTF-8")));
}

SIM_NATIVE(jobjectArray, ledgerFaults)(JNIEnv* env, jclass) {
  const std::vector<std::string> faults = sim::Machine::get().ledgerFaults();
  jclass stringClass = env->FindClass("java/lang/String");
  if (stringClass == nullptr) return nullptr;
  jobjectArray array = env->NewObjectArray(static_cast<jsize>(faults.size()), stringClass, nullptr);
  for (std::size_t i = 0; array != nullptr && i < faults.size(); ++i) {
    jstring line = javaString(env, faults[i]);
    env->SetObjectArrayElement(array, static_cast<jsize>(i), line);
    env->DeleteLocalRef(line);
  }
  return array;
}
