// getHadrwareId (so spelled in the Java declaration it binds to): the driver inventory as a
// String[], each entry also written to standard output as its own line.
#include <jni.h>

#include "boundary/java_string.h"
#include "boundary/native_guard.h"
#include "inventory/driver_inventory.h"
#include "platform/standard_output.h"

namespace {

jobjectArray inventoryArray(JNIEnv* env) {
  std::vector<DriverEntry> entries;
  if (!collectDriverEntries(entries)) return nullptr;

  // Every slot starts as the empty string. A null from the VM leaves its exception pending
  // and makes no further VM call; the entries are freed on the way out.
  jstring initial = env->NewStringUTF("");
  if (initial == nullptr) return nullptr;
  jclass stringClass = env->FindClass("java/lang/String");
  if (stringClass == nullptr) return nullptr;
  jobjectArray array = env->NewObjectArray(static_cast<jsize>(entries.size()), stringClass, initial);
  if (array == nullptr) return nullptr;

  for (std::size_t i = 0; i < entries.size(); ++i) {
    printLine(entries[i].get());
    jstring text = newJavaString(env, entries[i].get());
    if (text == nullptr) return nullptr;
    env->SetObjectArrayElement(array, static_cast<jsize>(i), text);
    // The array keeps the string: free the local reference, or a large inventory would
    // overrun the handful of local references a native is guaranteed.
    env->DeleteLocalRef(text);
    entries[i].reset();
  }
  return array;
}

}  // namespace

extern "C" JNIEXPORT jobjectArray JNICALL Java_com_velk_utils_Tarvix_getHadrwareId(JNIEnv* env, jclass) {
  return answerOrFail<jobjectArray>(nullptr, [&] { return inventoryArray(env); });
}
