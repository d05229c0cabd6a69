#include "boundary/java_string.h"

static_assert(sizeof(jchar) == sizeof(WCHAR), "jchar and WCHAR are both UTF-16 units");

namespace {

jstring newJavaStringOfUnits(JNIEnv* env, const WCHAR* text, std::size_t count) {
  return env->NewString(reinterpret_cast<const jchar*>(text), static_cast<jsize>(count));
}

}  // namespace

jstring newJavaString(JNIEnv* env, const WCHAR* text) {
  if (text == nullptr) return nullptr;
  std::size_t count = 0;
  while (text[count] != 0) ++count;
  return newJavaStringOfUnits(env, text, count);
}

jstring newJavaString(JNIEnv* env, const WCHAR* buffer, std::size_t capacity) {
  if (buffer == nullptr) return nullptr;
  std::size_t count = 0;
  while (count < capacity && buffer[count] != 0) ++count;
  return newJavaStringOfUnits(env, buffer, count);
}
