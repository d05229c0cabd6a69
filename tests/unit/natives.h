// The exported natives, as the tests call them directly.
#pragma once

#include <jni.h>

extern "C" {
jstring JNICALL Java_com_velk_utils_Tarvix_getVersion(JNIEnv* env, jclass);
jboolean JNICALL Java_com_velk_utils_MiscUtils_createRootFile(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_MiscUtils_getJreVersionInfo(JNIEnv* env, jclass, jstring name);
}

extern "C" jobjectArray JNICALL Java_com_velk_utils_Tarvix_getHadrwareId(JNIEnv* env, jclass);

extern "C" {
jboolean JNICALL Java_com_velk_utils_Tarvix_Init(JNIEnv* env, jclass);
void JNICALL Java_com_velk_utils_Tarvix_Uninit(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_Tarvix_getMBManufacturer(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_Tarvix_getMBProduct(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_Tarvix_getMBVersion(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_Tarvix_getMBSerialNumber(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_Tarvix_getBIOSLanguage(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_Tarvix_getBIOSVersion(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_Tarvix_getSMBIOSVersion(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_Tarvix_getCSManufacturer(JNIEnv* env, jclass);
jstring JNICALL Java_com_velk_utils_Tarvix_getCSModel(JNIEnv* env, jclass);
}
