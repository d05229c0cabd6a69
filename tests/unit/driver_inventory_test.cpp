#include <functional>
#include <optional>

#include "allocation_faults.h"
#include "natives.h"
#include "sim_text.h"
#include "simulated_test.h"

namespace {

using namespace std::string_literals;
using Entries = std::vector<std::u16string>;

const std::u16string kClassKey = u"SYSTEM\\CurrentControlSet\\Control\\Class\\";

std::string ascii(const std::u16string& text) { return std::string(text.begin(), text.end()); }

class InventoryTest : public SimulatedTest {
 protected:
  // The native's answer as texts; nullopt when it answered null.
  std::optional<Entries> inventory() {
    jobjectArray answer = Java_com_velk_utils_Tarvix_getHadrwareId(vm.env(), nullptr);
    if (answer == nullptr) return std::nullopt;
    EXPECT_TRUE(vm.isArray(answer));
    Entries texts;
    for (jobject element : vm.arrayElements(answer)) texts.push_back(vm.stringText(element));
    return texts;
  }

  static std::string linesOf(const Entries& entries) {
    std::string lines;
    for (const auto& entry : entries) lines += ascii(entry) + "\n";
    return lines;
  }
};

// One device with a driver key whose "DriverVersion" holds `version` as stored bytes.
void addDevice(std::optional<std::u16string> ids, std::optional<std::u16string> driverKey,
               std::optional<std::string> version, DWORD versionType = REG_SZ) {
  sim::devices().add(sim::Device{ids, driverKey ? std::optional<std::u16string>(*driverKey + u'\0') : std::nullopt});
  if (driverKey) sim::registry().createKey(kClassKey + *driverKey);
  if (driverKey && version) sim::registry().setValue(kClassKey + *driverKey, u"DriverVersion", versionType, *version);
}

std::string stored(const std::u16string& text) { return sim::bytesOf(text + u'\0'); }

// A hardware-ID list of exactly `bytes` bytes: one long ID, its NUL and the list's NUL.
std::u16string idListOfBytes(std::size_t bytes) {
  return sim::multiString({u"PCI\\" + std::u16string(bytes / 2 - 2 - 4, u'X')});
}

struct DeviceCase {
  const char* name;
  std::function<void()> arrange;
  std::optional<std::u16string> entry;  // nullopt: the device is left out
};

void PrintTo(const DeviceCase& c, std::ostream* out) { *out << c.name; }

const std::u16string kKey = u"{4d36e972-e325-11ce-bfc1-08002be10318}\\0001";
const std::u16string kIds = sim::multiString({u"PCI\\VEN_8086&DEV_100E", u"PCI\\VEN_8086"});

class InventoryDevices : public InventoryTest, public ::testing::WithParamInterface<DeviceCase> {};

TEST_P(InventoryDevices, EntryOrLeftOut) {
  const DeviceCase& c = GetParam();
  c.arrange();
  auto answer = inventory();
  ASSERT_TRUE(answer.has_value());
  const Entries expected = c.entry ? Entries{*c.entry} : Entries{};
  EXPECT_EQ(*answer, expected);
  EXPECT_EQ(sim::standardOutput(), linesOf(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Devices, InventoryDevices,
    ::testing::Values(
        DeviceCase{"Installed", [] { addDevice(kIds, kKey, stored(u"10.0.1.2")); }, u"PCI\\VEN_8086&DEV_100E=10.0.1.2"},
        DeviceCase{"NoHardwareId", [] { addDevice(std::nullopt, kKey, stored(u"1.0")); }, std::nullopt},
        DeviceCase{"NoDriverKey", [] { addDevice(kIds, std::nullopt, std::nullopt); }, std::nullopt},
        DeviceCase{"DriverKeyCannotBeOpened",
                   [] { sim::devices().add(sim::Device{kIds, u"{missing}\\0000\0"s}); }, std::nullopt},
        DeviceCase{"NoDriverVersion", [] { addDevice(kIds, kKey, std::nullopt); }, std::nullopt},
        DeviceCase{"EmptyVersion", [] { addDevice(kIds, kKey, stored(u"")); }, u"PCI\\VEN_8086&DEV_100E="},
        DeviceCase{"FirstOfSeveralIds",
                   [] { addDevice(sim::multiString({u"USB\\VID_1", u"USB\\VID_2", u"USB\\VID_3"}), kKey, stored(u"2")); },
                   u"USB\\VID_1=2"},
        DeviceCase{"IdListOf1040Bytes", [] { addDevice(idListOfBytes(1040), kKey, stored(u"1")); },
                   u"PCI\\" + std::u16string(1040 / 2 - 6, u'X') + u"=1"},
        DeviceCase{"IdListOf1042Bytes", [] { addDevice(idListOfBytes(1042), kKey, stored(u"1")); }, std::nullopt},
        DeviceCase{"DriverKeyOf260Bytes",
                   [] { addDevice(kIds, u"{c}\\" + std::u16string(125, u'k'), stored(u"3")); },
                   u"PCI\\VEN_8086&DEV_100E=3"},
        DeviceCase{"DriverKeyOf262Bytes",
                   [] { addDevice(kIds, u"{c}\\" + std::u16string(126, u'k'), stored(u"3")); }, std::nullopt},
        DeviceCase{"VersionOf260BytesWithNul",
                   [] { addDevice(kIds, kKey, stored(std::u16string(129, u'9'))); },
                   u"PCI\\VEN_8086&DEV_100E=" + std::u16string(129, u'9')},
        DeviceCase{"VersionOf260BytesWithoutNul",
                   [] { addDevice(kIds, kKey, sim::bytesOf(std::u16string(130, u'9')), REG_BINARY); },
                   u"PCI\\VEN_8086&DEV_100E=" + std::u16string(130, u'9')},
        DeviceCase{"VersionOf262Bytes", [] { addDevice(kIds, kKey, stored(std::u16string(130, u'9'))); },
                   std::nullopt},
        DeviceCase{"VersionTextEndsAtFirstNul",
                   [] { addDevice(kIds, kKey, sim::bytesOf(u"5.1\0extra\0\0"s), REG_MULTI_SZ); },
                   u"PCI\\VEN_8086&DEV_100E=5.1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InventoryTest, KeepsEnumerationOrderAndRepeatsIdenticalDevices) {
  sim::devices().addWithDriver({u"ACPI\\PNP0A03"}, u"6.1");
  addDevice(kIds, std::nullopt, std::nullopt);  // no driver: left out in the middle
  sim::devices().addWithDriver({u"USB\\ROOT_HUB"}, u"2.0");
  sim::devices().addWithDriver({u"USB\\ROOT_HUB"}, u"2.0");
  sim::devices().addWithDriver({u"HDAUDIO\\FUNC_01"}, u"1.0.0.9");
  const Entries expected = {u"ACPI\\PNP0A03=6.1", u"USB\\ROOT_HUB=2.0", u"USB\\ROOT_HUB=2.0",
                            u"HDAUDIO\\FUNC_01=1.0.0.9"};
  EXPECT_EQ(inventory(), expected);
  EXPECT_EQ(sim::standardOutput(), linesOf(expected));
}

TEST_F(InventoryTest, AsksForEveryPresentDeviceAndOffersHalfOfEachBuffer) {
  sim::devices().addWithDriver({u"ACPI\\PNP0A03"}, u"6.1");
  ASSERT_TRUE(inventory().has_value());
  auto requests = sim::devices().listRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_FALSE(requests[0].classGuid || requests[0].enumerator || requests[0].parent);
  EXPECT_EQ(requests[0].flags, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  EXPECT_EQ(sim::devices().offeredBufferSizes(SPDRP_HARDWAREID), std::vector<DWORD>{1040});
  EXPECT_EQ(sim::devices().offeredBufferSizes(SPDRP_DRIVER), std::vector<DWORD>{260});
  auto opens = sim::registry().openRequests();
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].path, kClassKey + u"{4d36e97d-e325-11ce-bfc1-08002be10318}\\0000");
  EXPECT_EQ(opens[0].access, KEY_READ);
}

TEST_F(InventoryTest, NoQualifyingDeviceGivesAnEmptyArrayAndNoOutput) {
  addDevice(kIds, std::nullopt, std::nullopt);
  EXPECT_EQ(inventory(), Entries{});
  EXPECT_EQ(sim::standardOutput(), "");
}

TEST_F(InventoryTest, NoDeviceListGivesNullWithoutTouchingTheVm) {
  sim::devices().addWithDriver({u"ACPI\\PNP0A03"}, u"6.1");
  sim::Machine::get().failCall("SetupDiGetClassDevsW", 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(inventory(), std::nullopt);
  EXPECT_EQ(sim::standardOutput(), "");
  EXPECT_TRUE(vm.calls().empty());
}

TEST_F(InventoryTest, NonAsciiEntriesArriveIntactAndAreWrittenAsUtf8) {
  sim::devices().addWithDriver({u"USB\\\u00c4\xd83d\xde00"}, u"1\u20ac");
  EXPECT_EQ(inventory(), Entries{u"USB\\\u00c4\xd83d\xde00=1\u20ac"});
  EXPECT_EQ(sim::standardOutput(), "USB\\\xc3\x84\xf0\x9f\x98\x80=1\xe2\x82\xac\n");
}

TEST_F(InventoryTest, ALargeInventoryHoldsOnlyAFewLocalReferencesAtOnce) {
  for (int i = 0; i < 1000; ++i) sim::devices().addWithDriver({u"ROOT\\DEVICE"}, u"1.0");
  auto answer = inventory();
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->size(), 1000u);
  // The initial element, the class, the array and one entry's string.
  EXPECT_LE(vm.peakLocalReferences(), 4u);
}

// --- the VM refusing ---

struct VmFault {
  const char* function;
  unsigned nth;
  std::string output;  // lines written before the refusal
};

void PrintTo(const VmFault& f, std::ostream* out) { *out << f.function << " #" << f.nth; }

class InventoryVmFaults : public InventoryTest, public ::testing::WithParamInterface<VmFault> {};

TEST_P(InventoryVmFaults, AnswerNullWithNoVmCallAfterTheRefusal) {
  const VmFault& f = GetParam();
  sim::devices().addWithDriver({u"A"}, u"1");
  sim::devices().addWithDriver({u"B"}, u"2");
  sim::devices().addWithDriver({u"C"}, u"3");
  vm.failCall(f.function, f.nth);
  EXPECT_EQ(inventory(), std::nullopt);
  EXPECT_TRUE(vm.exceptionPending());
  EXPECT_EQ(vm.calls().back(), f.function);
  EXPECT_EQ(sim::standardOutput(), f.output);
}

INSTANTIATE_TEST_SUITE_P(Calls, InventoryVmFaults,
                         ::testing::Values(VmFault{"NewStringUTF", 1, ""}, VmFault{"FindClass", 1, ""},
                                           VmFault{"NewObjectArray", 1, ""}, VmFault{"NewString", 1, "A=1\n"},
                                           VmFault{"NewString", 3, "A=1\nB=2\nC=3\n"}),
                         [](const auto& info) {
                           return std::string(info.param.function) + std::to_string(info.param.nth);
                         });

// --- each platform call failing in turn ---

struct PlatformFault {
  const char* operation;
  unsigned calls;                              // how often a run with three devices makes it
  std::function<std::optional<Entries>(unsigned nth)> expected;
};

void PrintTo(const PlatformFault& f, std::ostream* out) { *out << f.operation; }

const Entries kThree = {u"A=1", u"B=2", u"C=3"};

Entries without(unsigned index) {
  Entries entries = kThree;
  entries.erase(entries.begin() + index);
  return entries;
}

class InventoryPlatformFaults : public InventoryTest, public ::testing::WithParamInterface<PlatformFault> {};

TEST_P(InventoryPlatformFaults, EachCallFailedInTurn) {
  const PlatformFault& f = GetParam();
  // nth == 0 is the run without a fault: it shows the sweep reaches every call the run makes.
  for (unsigned nth = 0; nth <= f.calls; ++nth) {
    SCOPED_TRACE("call #" + std::to_string(nth));
    sim::resetMachine();
    fakejvm::FakeJvm freshVm;
    sim::devices().addWithDriver({u"A"}, u"1");
    sim::devices().addWithDriver({u"B"}, u"2");
    sim::devices().addWithDriver({u"C"}, u"3");
    if (nth > 0) sim::Machine::get().failCall(f.operation, nth, ERROR_ACCESS_DENIED);
    jobjectArray answer = Java_com_velk_utils_Tarvix_getHadrwareId(freshVm.env(), nullptr);
    std::optional<Entries> texts;
    if (answer != nullptr) {
      texts.emplace();
      for (jobject element : freshVm.arrayElements(answer)) texts->push_back(freshVm.stringText(element));
    }
    if (nth == 0) {
      EXPECT_EQ(texts, kThree);
      EXPECT_EQ(sim::Machine::get().callCount(f.operation), f.calls);
    } else {
      EXPECT_EQ(texts, f.expected(nth));
    }
    EXPECT_EQ(sim::Machine::get().ledgerFaults(), std::vector<std::string>{});
    EXPECT_EQ(freshVm.violations(), std::vector<std::string>{});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Calls, InventoryPlatformFaults,
    ::testing::Values(
        PlatformFault{"SetupDiGetClassDevsW", 1, [](unsigned) { return std::optional<Entries>(); }},
        // The first failure ends the walk: the devices before it stay.
        PlatformFault{"SetupDiEnumDeviceInfo", 4,
                      [](unsigned nth) { return std::optional<Entries>(Entries(kThree.begin(), kThree.begin() + nth - 1)); }},
        // Two reads per device: hardware IDs, then the driver key.
        PlatformFault{"SetupDiGetDeviceRegistryPropertyW", 6,
                      [](unsigned nth) { return std::optional<Entries>(without((nth - 1) / 2)); }},
        PlatformFault{"RegOpenKeyExW", 3, [](unsigned nth) { return std::optional<Entries>(without(nth - 1)); }},
        PlatformFault{"RegQueryValueExW", 3, [](unsigned nth) { return std::optional<Entries>(without(nth - 1)); }},
        PlatformFault{"RegCloseKey", 3, [](unsigned) { return std::optional<Entries>(kThree); }},
        PlatformFault{"SetupDiDestroyDeviceInfoList", 1, [](unsigned) { return std::optional<Entries>(kThree); }},
        PlatformFault{"writeStandardOutput", 3, [](unsigned) { return std::optional<Entries>(kThree); }}),
    [](const auto& info) { return std::string(info.param.operation); });

}  // namespace

namespace {

TEST_F(InventoryTest, MemoryRunningOutForAnEntryAnswersNullAndFreesTheRest) {
  for (const char16_t* id : {u"A", u"B", u"C"}) sim::devices().addWithDriver({id}, u"1");
  allocation::failNthNothrowArray(0);
  ASSERT_EQ(inventory()->size(), 3u);
  ASSERT_EQ(allocation::nothrowArrayCount(), 3u);  // one per entry
  for (unsigned nth = 1; nth <= 3; ++nth) {
    SCOPED_TRACE("entry #" + std::to_string(nth));
    sim::clearStandardOutput();
    allocation::failNthNothrowArray(nth);
    EXPECT_EQ(inventory(), std::nullopt);
    allocation::failNthNothrowArray(0);
    EXPECT_EQ(sim::standardOutput(), "");
    EXPECT_EQ(sim::Machine::get().ledgerFaults(), std::vector<std::string>{});
  }
}

}  // namespace
