// Init and Uninit: open and close the WMI connection for the Java side.
#include <jni.h>

#include "boundary/native_guard.h"
#include "wmi/wmi_connection.h"

namespace {

// How many of Init's initialisations of COM on this thread are not yet undone. Uninit undoes
// only these: an initialisation the application made for itself is not the library's to undo.
thread_local unsigned initialisationsByInit = 0;

jboolean initialise() {
  if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) ++initialisationsByInit;
  return connectWmi() ? JNI_TRUE : JNI_FALSE;
}

void uninitialise() {
  WmiConnection::replace(ComRef<IWbemServices>());
  if (initialisationsByInit > 0) {
    --initialisationsByInit;
    CoUninitialize();
  }
}

}  // namespace

extern "C" JNIEXPORT jboolean JNICALL Java_com_velk_utils_Tarvix_Init(JNIEnv*, jclass) {
  return answerOrFail<jboolean>(JNI_FALSE, [] { return initialise(); });
}

extern "C" JNIEXPORT void JNICALL Java_com_velk_utils_Tarvix_Uninit(JNIEnv*, jclass) {
  runGuarded([] { uninitialise(); });
}
