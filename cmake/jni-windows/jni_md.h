/* Windows flavour of the JNI machine-dependent header, for the mingw-w64 builds.
   The JDK on this machine ships only the Linux one; jni.h itself is the same everywhere. */
#ifndef _JAVASOFT_JNI_MD_H_
#define _JAVASOFT_JNI_MD_H_

/* Exports come from the generated .def file alone, so that the 32-bit DLL carries exactly
   the decorated names a 32-bit JVM looks up, and nothing else. */
#define JNIEXPORT
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
