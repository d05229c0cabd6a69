#include "light_jni.h"

#include <cstddef>
#include <cstring>
#include <string>

namespace bench {
namespace {

// Every reference is one of a few static objects: a string keeps its units, as a VM copies them.
struct StringObject {
  std::u16string units;
};
thread_local StringObject made;
thread_local StringObject argument;
char arrayObject;
char classObject;

jstring JNICALL newString(JNIEnv*, const jchar* units, jsize length) {
  made.units.assign(reinterpret_cast<const char16_t*>(units), static_cast<std::size_t>(length));
  return reinterpret_cast<jstring>(&made);
}
jstring JNICALL newStringUtf(JNIEnv*, const char* bytes) {
  made.units.assign(bytes, bytes + std::strlen(bytes));
  return reinterpret_cast<jstring>(&made);
}
jclass JNICALL findClass(JNIEnv*, const char*) { return reinterpret_cast<jclass>(&classObject); }
jobjectArray JNICALL newObjectArray(JNIEnv*, jsize, jclass, jobject) {
  return reinterpret_cast<jobjectArray>(&arrayObject);
}
void JNICALL setObjectArrayElement(JNIEnv*, jobjectArray, jsize, jobject) {}
void JNICALL deleteLocalRef(JNIEnv*, jobject) {}
jboolean JNICALL exceptionCheck(JNIEnv*) { return JNI_FALSE; }
jsize JNICALL getStringLength(JNIEnv*, jstring string) {
  return static_cast<jsize>(reinterpret_cast<StringObject*>(string)->units.size());
}
const jchar* JNICALL getStringChars(JNIEnv*, jstring string, jboolean* isCopy) {
  if (isCopy != nullptr) *isCopy = JNI_FALSE;
  return reinterpret_cast<const jchar*>(reinterpret_cast<StringObject*>(string)->units.data());
}
void JNICALL releaseStringChars(JNIEnv*, jstring, const jchar*) {}

JNINativeInterface_ makeTable() {
  JNINativeInterface_ table{};
  table.NewString = newString;
  table.NewStringUTF = newStringUtf;
  table.FindClass = findClass;
  table.NewObjectArray = newObjectArray;
  table.SetObjectArrayElement = setObjectArrayElement;
  table.DeleteLocalRef = deleteLocalRef;
  table.ExceptionCheck = exceptionCheck;
  table.GetStringLength = getStringLength;
  table.GetStringChars = getStringChars;
  table.ReleaseStringChars = releaseStringChars;
  return table;
}

}  // namespace

JNIEnv* lightEnv() {
  static JNINativeInterface_ table = makeTable();
  static JNIEnv env{&table};
  return &env;
}

jstring javaString(const char16_t* text) {
  argument.units = text;
  return reinterpret_cast<jstring>(&argument);
}

}  // namespace bench
