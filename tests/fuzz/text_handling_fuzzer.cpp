// libFuzzer target for the library's text handling. The input fills the simulated machine
// (a WMI value, a registry value, or a list of devices with driver keys and versions, of any
// length and content), a native reads it, and the answer is compared with what the buffers'
// rules allow: the text before the first NUL, cut where the buffer ends, or null when the
// data does not fit. AddressSanitizer catches any read or write outside a buffer; the ledger
// must balance after every input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "fake_jvm.h"
#include "natives.h"
#include "simulated_windows.h"
#include "utf8_append.h"

namespace {

// Reads the input front to back; past its end every read answers zero.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t number16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
  std::string bytes(std::size_t count) {
    std::string out;
    while (count-- > 0 && at_ < size_) out += static_cast<char>(data_[at_++]);
    return out;
  }
  // Units of any value, NULs and unpaired surrogates among them.
  std::u16string units(std::size_t count) {
    std::u16string out;
    while (count-- > 0 && at_ < size_) out += static_cast<char16_t>(number16());
    return out;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "text handling: %s\n", what);
  std::abort();
}

std::u16string beforeNul(const std::u16string& text) { return text.substr(0, text.find(u'\0')); }

// What a zero-filled buffer of `units` reads as text after `data` is copied to its start.
std::u16string bufferText(const std::string& data, std::size_t units) {
  std::u16string text(units, u'\0');
  for (std::size_t i = 0; i < data.size() && i / 2 < units; ++i) {
    const auto byte = static_cast<std::uint8_t>(data[i]);
    text[i / 2] = static_cast<char16_t>(text[i / 2] | (i % 2 == 0 ? byte : byte << 8));
  }
  return beforeNul(text);
}

std::string asBytes(const std::u16string& units) {
  std::string out;
  for (char16_t unit : units) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

// UTF-8 with U+FFFD for a unit that has no code point of its own.
std::string utf8(const std::u16string& units) {
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t point = units[i];
    if (point >= 0xD800 && point <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      point = 0x10000 + ((point - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (point >= 0xD800 && point <= 0xDFFF) {
      point = 0xFFFD;
    }
    text::appendUtf8(out, point);
  }
  return out;
}

std::optional<std::u16string> textOf(fakejvm::FakeJvm& vm, jobject answer) {
  if (answer == nullptr) return std::nullopt;
  return vm.stringText(answer);
}

// One identity getter over a value of any kind: text up to its first NUL and at most 259
// units; "" for a null BSTR; null for a value that is not a string.
void identityValue(Input& input) {
  const std::uint8_t kind = input.byte() % 4;
  const std::u16string units = input.units(input.number16() % 1200);
  sim::WmiValue value = kind == 0   ? sim::WmiValue::nullBstr()
                        : kind == 1 ? sim::WmiValue::null()
                        : kind == 2 ? sim::WmiValue::integer(7)
                                    : sim::WmiValue::string(units);
  sim::wmi().setInstances(u"Win32_BIOS", {{{u"Version", value}}});
  std::optional<std::u16string> expected;
  if (kind == 0) expected = u"";
  if (kind == 3) expected = beforeNul(units).substr(0, 259);

  fakejvm::FakeJvm vm;
  if (Java_com_velk_utils_Tarvix_Init(vm.env(), nullptr) != JNI_TRUE) fail("Init failed");
  const auto answer = textOf(vm, Java_com_velk_utils_Tarvix_getBIOSVersion(vm.env(), nullptr));
  Java_com_velk_utils_Tarvix_Uninit(vm.env(), nullptr);
  if (answer != expected) fail("getBIOSVersion answered other than the value's text");
  if (!vm.violations().empty()) fail("the VM was misused");
}

// The runtime value: data of any type and size into a 256-byte buffer; null when it does not fit.
void runtimeValue(Input& input) {
  const DWORD type = input.byte();
  const std::string data = input.bytes(input.number16() % 600);
  sim::registry().setValue(u"Software\\JavaSoft\\Java Runtime Environment\\1.6", u"V", type, data);
  std::optional<std::u16string> expected;
  if (data.size() <= 256) expected = bufferText(data, 128);

  fakejvm::FakeJvm vm;
  const auto answer =
      textOf(vm, Java_com_velk_utils_MiscUtils_getJreVersionInfo(vm.env(), nullptr, vm.javaString(u"V")));
  if (answer != expected) fail("getJreVersionInfo answered other than the value's text");
  if (!vm.violations().empty()) fail("the VM was misused");
}

// Devices with hardware-ID lists, driver keys and versions of any shape, around every limit.
void inventory(Input& input) {
  const std::u16string classKey = u"SYSTEM\\CurrentControlSet\\Control\\Class\\";
  const unsigned count = input.byte() % 6;
  std::vector<sim::Device> devices;
  for (unsigned i = 0; i < count; ++i) {
    const std::uint8_t shape = input.byte();
    sim::Device device;
    if (shape & 1) device.hardwareIds = input.units(input.number16() % 560);
    if (shape & 2) {
      // Key names from a small alphabet, so that names differ only where the input says.
      std::u16string key;
      const std::size_t length = input.byte() % 140;
      for (std::size_t k = 0; k < length; ++k) {
        const std::uint8_t pick = input.byte() % 17;
        key += pick == 16 ? u'\0' : static_cast<char16_t>(pick < 10 ? u'0' + pick : u'A' + (pick - 10));
      }
      device.driverKey = key;
    }
    if ((shape & 4) && device.driverKey) {
      const std::string version = input.bytes(input.number16() % 300);
      sim::registry().setValue(classKey + beforeNul(*device.driverKey), u"DriverVersion", input.byte(), version);
    }
    devices.push_back(device);
    sim::devices().add(device);
  }
  // The expected entries, from what the registry holds once all is written: devices may
  // share a key, and the later version is the one read.
  std::vector<std::u16string> expected;
  for (const auto& device : devices) {
    if (!device.hardwareIds || device.hardwareIds->size() * 2 > 1040) continue;
    if (!device.driverKey || device.driverKey->size() * 2 > 260) continue;
    const auto stored = sim::registry().storedData(classKey + beforeNul(*device.driverKey), u"DriverVersion");
    if (!stored || stored->size() > 260) continue;
    expected.push_back(bufferText(asBytes(*device.hardwareIds), 1040) + u"=" + bufferText(*stored, 260));
  }

  fakejvm::FakeJvm vm;
  jobjectArray answer = Java_com_velk_utils_Tarvix_getHadrwareId(vm.env(), nullptr);
  if (answer == nullptr) fail("getHadrwareId answered null");
  std::vector<std::u16string> entries;
  for (jobject entry : vm.arrayElements(answer)) entries.push_back(vm.stringText(entry));
  if (entries != expected) fail("getHadrwareId answered other entries than the devices allow");
  std::string lines;
  for (const auto& entry : expected) lines += utf8(entry) + "\n";
  if (sim::standardOutput() != lines) fail("the inventory's lines differ from its entries");
  if (!vm.violations().empty()) fail("the VM was misused");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::resetMachine();
  Input input(data, size);
  switch (input.byte() % 3) {
    case 0: identityValue(input); break;
    case 1: runtimeValue(input); break;
    default: inventory(input); break;
  }
  if (!sim::Machine::get().ledgerFaults().empty()) fail("a resource was not given back");
  return 0;
}
