// The exported natives, as the tests call them directly.
#pragma once

#include <jni.h>

extern "C" {
jstring JNICALL Java_com_velk_utils_Tarvix_getVersion(JNIEnv* env, jclass);
jboolean JNICALL Java_com_velk_utils_MiscUtils_createRootFile(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_MiscUtils_getJreVersionInfo(JNIEnv* env, jclass, jstring name);
}

extern "C" jobjectArray JNICALL Java_com_velk_utils_Tarvix_getHadrwareId(JNIEnv* env, jclass);
