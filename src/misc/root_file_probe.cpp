// createRootFile: whether this process may create a file at the root of drive C:.
// The probe file is left in place, empty.
#include <jni.h>

#include "boundary/native_guard.h"
#include "platform/standard_output.h"
#include "platform/windows_api.h"

namespace {

jboolean probeRootFile() {
  HANDLE file = CreateFileW(WIDE("C:\\test.txt"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    printLine(WIDE("Native CreateFile failed."));
    return JNI_FALSE;
  }
  printLine(WIDE("Native CreateFile success."));
  CloseHandle(file);
  return JNI_TRUE;
}

}  // namespace

extern "C" JNIEXPORT jboolean JNICALL Java_com_velk_utils_MiscUtils_createRootFile(JNIEnv*, jclass) {
  return answerOrFail<jboolean>(JNI_FALSE, [] { return probeRootFile(); });
}
