#include <optional>

#include "allocation_faults.h"
#include "natives.h"
#include "sim_text.h"
#include "simulated_test.h"

namespace {

using namespace std::string_literals;

const std::u16string kRuntimeKey = u"Software\\JavaSoft\\Java Runtime Environment\\1.6";

std::string le32(std::uint32_t value) {
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                     static_cast<char>((value >> 16) & 0xFF), static_cast<char>((value >> 24) & 0xFF)};
}

struct ValueCase {
  const char* name;
  DWORD type;
  std::string data;
  std::optional<std::u16string> expected;  // nullopt: the native answers null
};

void PrintTo(const ValueCase& c, std::ostream* out) { *out << c.name; }

std::u16string units(std::size_t count, char16_t unit) { return std::u16string(count, unit); }

class JreValueTest : public SimulatedTest {
 protected:
  jstring query(const std::u16string& name) {
    return Java_com_velk_utils_MiscUtils_getJreVersionInfo(vm.env(), nullptr, vm.javaString(name));
  }
};

class JreValueCases : public JreValueTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(JreValueCases, AnswersTheValuesUnitsUpToTheFirstNulOrTheWholeBuffer) {
  const ValueCase& c = GetParam();
  sim::registry().setValue(kRuntimeKey, u"Probe", c.type, c.data);
  jstring answer = query(u"Probe");
  if (c.expected) {
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answerText(answer), *c.expected);
  } else {
    EXPECT_EQ(answer, nullptr);
  }
  EXPECT_EQ(vm.callCount("GetStringChars"), vm.callCount("ReleaseStringChars"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, JreValueCases,
    ::testing::Values(
        ValueCase{"PlainString", REG_SZ, sim::bytesOf(u"1.6.0_45\0"s), u"1.6.0_45"},
        ValueCase{"EmptyString", REG_SZ, sim::bytesOf(u"\0"s), u""},
        ValueCase{"NonAsciiAndSurrogatePair", REG_SZ, sim::bytesOf(u"C:\\J\u00e4va\\\xd83d\xde00\0"s),
                  u"C:\\J\u00e4va\\\xd83d\xde00"},
        ValueCase{"StopsAtEmbeddedNul", REG_MULTI_SZ, sim::bytesOf(u"first\0second\0\0"s), u"first"},
        ValueCase{"OneHundredTwentySevenUnits", REG_SZ, sim::bytesOf(units(127, u'7') + u'\0'), units(127, u'7')},
        ValueCase{"ExactlyTheBufferWithoutNul", REG_SZ, sim::bytesOf(units(128, u'8')), units(128, u'8')},
        ValueCase{"OneUnitTooLong", REG_SZ, sim::bytesOf(units(128, u'8') + u'\0'), std::nullopt},
        ValueCase{"DwordAsUnits", REG_DWORD, le32(0x00420041), u"AB"},
        ValueCase{"DwordWithZeroHighUnit", REG_DWORD, le32(0x00000041), u"A"},
        ValueCase{"OddByteCountZeroFilled", REG_BINARY, std::string("A\0B", 3), u"AB"},
        ValueCase{"NoData", REG_BINARY, std::string(), u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JreValueTest, OpensTheFixedRuntimeKeyForReadingAndQueriesExactlyTheName) {
  sim::registry().setString(kRuntimeKey, u"JavaHome", u"C:\\Java\\jre6");
  jstring answer = query(u"JavaHome");
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answerText(answer), u"C:\\Java\\jre6");
  auto opens = sim::registry().openRequests();
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].path, kRuntimeKey);
  EXPECT_EQ(opens[0].options, 0u);
  EXPECT_EQ(opens[0].access, KEY_READ);
  EXPECT_EQ(sim::registry().queriedNames(), std::vector<std::u16string>{u"JavaHome"});
}

TEST_F(JreValueTest, NameReachesTheRegistryIntactAndUnterminatedUnitsAreNotOverread) {
  const std::u16string name = u"N\u00e4me \u65e5\u672c \xd83d\xde00";
  sim::registry().setString(kRuntimeKey, name, u"found");
  jstring answer = query(name);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answerText(answer), u"found");
  EXPECT_EQ(sim::registry().queriedNames(), std::vector<std::u16string>{name});
}

TEST_F(JreValueTest, MissingNameAnswersNull) {
  sim::registry().setString(kRuntimeKey, u"JavaHome", u"C:\\Java\\jre6");
  EXPECT_EQ(query(u"RuntimeLib"), nullptr);
  EXPECT_EQ(vm.callCount("ReleaseStringChars"), 1u);
}

TEST_F(JreValueTest, AbsentKeyAnswersNullWithoutReadingTheName) {
  sim::registry().setString(u"Software\\JavaSoft\\Java Runtime Environment\\1.7", u"JavaHome", u"x");
  EXPECT_EQ(query(u"JavaHome"), nullptr);
  EXPECT_EQ(vm.callCount("GetStringChars"), 0u);
  EXPECT_EQ(vm.callCount("GetStringLength"), 0u);
  EXPECT_EQ(sim::Machine::get().callCount("RegQueryValueExW"), 0u);
}

TEST_F(JreValueTest, NullNameAnswersNullAndClosesTheKey) {
  sim::registry().createKey(kRuntimeKey);
  EXPECT_EQ(Java_com_velk_utils_MiscUtils_getJreVersionInfo(vm.env(), nullptr, nullptr), nullptr);
  EXPECT_EQ(sim::Machine::get().callCount("RegQueryValueExW"), 0u);
  EXPECT_EQ(sim::Machine::get().callCount("RegCloseKey"), 1u);
}

struct PlatformFault {
  const char* operation;
  std::int64_t result;
  bool answered;  // the value still comes back
};

void PrintTo(const PlatformFault& f, std::ostream* out) { *out << f.operation; }

class JreValuePlatformFaults : public JreValueTest, public ::testing::WithParamInterface<PlatformFault> {};

TEST_P(JreValuePlatformFaults, EachFailedCallAnswersAsItShouldAndReleasesEverything) {
  const PlatformFault& f = GetParam();
  sim::registry().setString(kRuntimeKey, u"JavaHome", u"C:\\Java\\jre6");
  sim::Machine::get().failCall(f.operation, 1, f.result);
  jstring answer = query(u"JavaHome");
  EXPECT_EQ(answer != nullptr, f.answered);
  EXPECT_EQ(vm.callCount("GetStringChars"), vm.callCount("ReleaseStringChars"));
}

INSTANTIATE_TEST_SUITE_P(Calls, JreValuePlatformFaults,
                         ::testing::Values(PlatformFault{"RegOpenKeyExW", ERROR_ACCESS_DENIED, false},
                                           PlatformFault{"RegQueryValueExW", ERROR_MORE_DATA, false},
                                           PlatformFault{"RegCloseKey", ERROR_INVALID_HANDLE, true}),
                         [](const auto& info) { return std::string(info.param.operation); });

TEST_F(JreValueTest, VmFailuresAnswerNullWithoutFurtherVmCalls) {
  sim::registry().setString(kRuntimeKey, u"JavaHome", u"C:\\Java\\jre6");
  vm.failCall("GetStringChars", 1);
  EXPECT_EQ(query(u"JavaHome"), nullptr);
  EXPECT_EQ(sim::Machine::get().callCount("RegQueryValueExW"), 0u);
  EXPECT_EQ(sim::Machine::get().callCount("RegCloseKey"), 1u);
  EXPECT_EQ(vm.callCount("NewString"), 0u);
}

TEST_F(JreValueTest, NullFromTheVmsNewStringIsPassedThrough) {
  sim::registry().setString(kRuntimeKey, u"JavaHome", u"C:\\Java\\jre6");
  vm.failCall("NewString", 1);
  EXPECT_EQ(query(u"JavaHome"), nullptr);
  EXPECT_TRUE(vm.exceptionPending());
}

}  // namespace

namespace {

TEST_F(JreValueTest, MemoryRunningOutForTheNameAnswersNullAndReleasesEverything) {
  sim::registry().setString(kRuntimeKey, u"JavaHome", u"C:\\Java\\jre6");
  allocation::failNthNothrowArray(1);
  EXPECT_EQ(query(u"JavaHome"), nullptr);
  allocation::failNthNothrowArray(0);
  EXPECT_EQ(sim::Machine::get().callCount("RegQueryValueExW"), 0u);
  EXPECT_EQ(vm.callCount("ReleaseStringChars"), 1u);
  EXPECT_EQ(sim::Machine::get().callCount("RegCloseKey"), 1u);
}

}  // namespace
