// The nine identity getters: one string property of the first instance of a WMI class each.
#include <jni.h>

#include "boundary/java_string.h"
#include "boundary/native_guard.h"
#include "wmi/property_lookup.h"
#include "wmi/wmi_connection.h"

namespace {

jstring answerProperty(JNIEnv* env, WmiClassKind kind, const WCHAR* property) {
  return answerOrFail<jstring>(nullptr, [&]() -> jstring {
    // Without a connection, no buffer and no COM call at all.
    if (WmiConnection::isEmpty()) return nullptr;
    PropertyText text{};
    if (!queryWmiProperty(kind, property, &text)) return nullptr;
    return newJavaString(env, text.units);
  });
}

}  // namespace

#define TARVIX_PROPERTY_GETTER(native, kind, property)                                        \
  extern "C" JNIEXPORT jstring JNICALL Java_com_velk_utils_Tarvix_##native(JNIEnv* env, jclass) { \
    return answerProperty(env, kind, WIDE(property));                                           \
  }

TARVIX_PROPERTY_GETTER(getMBManufacturer, BaseBoard, "Manufacturer")
TARVIX_PROPERTY_GETTER(getMBProduct, BaseBoard, "Product")
TARVIX_PROPERTY_GETTER(getMBVersion, BaseBoard, "Version")
TARVIX_PROPERTY_GETTER(getMBSerialNumber, BaseBoard, "SerialNumber")
TARVIX_PROPERTY_GETTER(getBIOSLanguage, Bios, "CurrentLanguage")
TARVIX_PROPERTY_GETTER(getBIOSVersion, Bios, "Version")
TARVIX_PROPERTY_GETTER(getSMBIOSVersion, Bios, "SMBIOSBIOSVersion")
TARVIX_PROPERTY_GETTER(getCSManufacturer, ComputerSystem, "Manufacturer")
TARVIX_PROPERTY_GETTER(getCSModel, ComputerSystem, "Model")
