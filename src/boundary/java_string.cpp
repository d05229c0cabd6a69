#include "boundary/java_string.h"

#include <cstring>

static_assert(sizeof(jchar) == sizeof(WCHAR), "jchar and WCHAR are both UTF-16 units");

jstring newJavaString(JNIEnv* env, const WCHAR* text) {
  if (text == nullptr) return nullptr;
  jsize count = 0;
  while (text[count] != 0) ++count;
  return env->NewString(reinterpret_cast<const jchar*>(text), count);
}
