// A simulated machine whose WMI holds one base board, one BIOS and one computer system, and
// the nine getters with the class and property each one reads.
#pragma once

#include <string>
#include <vector>

#include "natives.h"
#include "simulated_test.h"

using GetterNative = jstring(JNICALL*)(JNIEnv*, jclass);

struct Getter {
  const char* name;
  GetterNative native;
  std::u16string className;
  std::u16string property;
};

inline const std::vector<Getter>& allGetters() {
  static const std::vector<Getter> getters = {
      {"getMBManufacturer", Java_com_velk_utils_Tarvix_getMBManufacturer, u"Win32_BaseBoard", u"Manufacturer"},
      {"getMBProduct", Java_com_velk_utils_Tarvix_getMBProduct, u"Win32_BaseBoard", u"Product"},
      {"getMBVersion", Java_com_velk_utils_Tarvix_getMBVersion, u"Win32_BaseBoard", u"Version"},
      {"getMBSerialNumber", Java_com_velk_utils_Tarvix_getMBSerialNumber, u"Win32_BaseBoard", u"SerialNumber"},
      {"getBIOSLanguage", Java_com_velk_utils_Tarvix_getBIOSLanguage, u"Win32_BIOS", u"CurrentLanguage"},
      {"getBIOSVersion", Java_com_velk_utils_Tarvix_getBIOSVersion, u"Win32_BIOS", u"Version"},
      {"getSMBIOSVersion", Java_com_velk_utils_Tarvix_getSMBIOSVersion, u"Win32_BIOS", u"SMBIOSBIOSVersion"},
      {"getCSManufacturer", Java_com_velk_utils_Tarvix_getCSManufacturer, u"Win32_ComputerSystem", u"Manufacturer"},
      {"getCSModel", Java_com_velk_utils_Tarvix_getCSModel, u"Win32_ComputerSystem", u"Model"},
  };
  return getters;
}

// Every property's value names its class and property, so a wrong read shows.
inline std::u16string valueOf(const Getter& getter) { return getter.className + u"." + getter.property; }

// One instance of each class, holding every property a getter reads.
inline void fillIdentity() {
  for (const char16_t* cls : {u"Win32_BaseBoard", u"Win32_BIOS", u"Win32_ComputerSystem"}) {
    sim::WmiInstance instance;
    for (const auto& getter : allGetters()) {
      if (getter.className == cls) instance[getter.property] = sim::WmiValue::string(valueOf(getter));
    }
    sim::wmi().setInstances(cls, {instance});
  }
}

class WmiTest : public SimulatedTest {
 protected:
  void SetUp() override {
    SimulatedTest::SetUp();
    fillIdentity();
  }

  void TearDown() override {
    // Leave the slot empty and this thread's COM as it was, then prove nothing is held.
    do {
      uninit();
    } while (inits_ > 0);
    sim::leaveApartment();
    SimulatedTest::TearDown();
  }

  bool init() {
    ++inits_;
    return Java_com_velk_utils_Tarvix_Init(vm.env(), nullptr) == JNI_TRUE;
  }
  void uninit() {
    if (inits_ > 0) --inits_;
    Java_com_velk_utils_Tarvix_Uninit(vm.env(), nullptr);
  }

  // The getter's answer as text; "<null>" for null.
  std::u16string ask(const Getter& getter) {
    jstring answer = getter.native(vm.env(), nullptr);
    return answer == nullptr ? u"<null>" : vm.stringText(answer);
  }
  std::u16string askBiosVersion() { return ask(allGetters()[5]); }

  unsigned inits_ = 0;

  static void setBiosVersion(const sim::WmiValue& value) {
    sim::wmi().setInstances(u"Win32_BIOS", {{{u"Version", value}}});
  }
};
