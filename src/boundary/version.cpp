// getVersion: the library's version text. Needs no platform service and no Init.
#include <jni.h>

#include "boundary/native_guard.h"
#include "platform/windows_api.h"

namespace {
constexpr WCHAR kVersionText[] = WIDE("Ver: 2009.12.25");
constexpr jsize kVersionLength = 15;
static_assert(sizeof(kVersionText) / sizeof(WCHAR) == kVersionLength + 1, "version text is 15 units");
}  // namespace

extern "C" JNIEXPORT jstring JNICALL Java_com_velk_utils_Tarvix_getVersion(JNIEnv* env, jclass) {
  return answerOrFail<jstring>(nullptr, [&] {
    return env->NewString(reinterpret_cast<const jchar*>(kVersionText), kVersionLength);
  });
}
