#include <optional>

#include "wmi/property_lookup.h"
#include "wmi_fixture.h"

namespace {

using namespace std::string_literals;
const std::u16string kNull = u"<null>";

TEST_F(WmiTest, EveryGetterAnswersItsPropertyOfTheFirstInstance) {
  ASSERT_TRUE(init());
  for (const auto& getter : allGetters()) {
    SCOPED_TRACE(getter.name);
    EXPECT_EQ(ask(getter), valueOf(getter));
  }
  auto queries = sim::wmi().queries();
  ASSERT_EQ(queries.size(), 9u);
  for (std::size_t i = 0; i < queries.size(); ++i) {
    EXPECT_EQ(queries[i].language, u"WQL");
    EXPECT_EQ(queries[i].text, u"Select * from " + allGetters()[i].className);
    EXPECT_EQ(queries[i].flags, 0);
    EXPECT_FALSE(queries[i].context);
  }
  EXPECT_EQ(sim::wmi().nextTimeouts(), std::vector<LONG>(9, static_cast<LONG>(WBEM_INFINITE)));
  EXPECT_EQ(sim::Machine::get().callCount("Reset"), 9u);
}

TEST_F(WmiTest, InitConnectsToRootCimv2AndSetsTheProxyBlanket) {
  ASSERT_TRUE(init());
  EXPECT_EQ(sim::wmi().locatorRequestsWithContext(CLSCTX_INPROC_SERVER), 1u);
  auto connects = sim::wmi().connects();
  ASSERT_EQ(connects.size(), 1u);
  EXPECT_EQ(connects[0].wmiNamespace, u"root\\cimv2");
  EXPECT_FALSE(connects[0].user || connects[0].password || connects[0].locale || connects[0].authority ||
               connects[0].context);
  EXPECT_EQ(connects[0].securityFlags, 0);
  auto blankets = sim::wmi().blankets();
  ASSERT_EQ(blankets.size(), 1u);
  EXPECT_TRUE(blankets[0].proxyIsTheService);
  EXPECT_EQ(blankets[0].authn, RPC_C_AUTHN_WINNT);
  EXPECT_EQ(blankets[0].authz, RPC_C_AUTHZ_NONE);
  EXPECT_FALSE(blankets[0].principal);
  EXPECT_EQ(blankets[0].level, RPC_C_AUTHN_LEVEL_CONNECT);
  EXPECT_EQ(blankets[0].impersonation, RPC_C_IMP_LEVEL_IMPERSONATE);
  EXPECT_FALSE(blankets[0].authInfo);
  EXPECT_EQ(blankets[0].capabilities, EOAC_NONE);
}

TEST_F(WmiTest, WithoutAConnectionEveryGetterAnswersNullAndMakesNoComCall) {
  for (const auto& getter : allGetters()) EXPECT_EQ(ask(getter), kNull) << getter.name;
  ASSERT_TRUE(init());
  uninit();
  sim::Machine::get().clearCalls();
  for (const auto& getter : allGetters()) EXPECT_EQ(ask(getter), kNull) << getter.name;
  EXPECT_EQ(sim::Machine::get().callLog(), std::vector<std::string>{});
}

struct ValueCase {
  const char* name;
  sim::WmiValue value;
  std::u16string expected;
};

void PrintTo(const ValueCase& c, std::ostream* out) { *out << c.name; }

class WmiValues : public WmiTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(WmiValues, OnlyStringsAnswerAndTextsFitTheBuffer) {
  setBiosVersion(GetParam().value);
  ASSERT_TRUE(init());
  EXPECT_EQ(askBiosVersion(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, WmiValues,
    ::testing::Values(ValueCase{"Plain", sim::WmiValue::string(u"1.02"), u"1.02"},
                      ValueCase{"Empty", sim::WmiValue::string(u""), u""},
                      ValueCase{"NullValue", sim::WmiValue::null(), kNull},
                      ValueCase{"Number", sim::WmiValue::integer(42), kNull},
                      ValueCase{"NullBstrIsEmpty", sim::WmiValue::nullBstr(), u""},
                      ValueCase{"NonAsciiAndSurrogatePair", sim::WmiValue::string(u"\u00c4 \xd83d\xde00 \u65e5"),
                                u"\u00c4 \xd83d\xde00 \u65e5"},
                      ValueCase{"EndsAtEmbeddedNul", sim::WmiValue::string(u"ab\0cd"s), u"ab"},
                      ValueCase{"Of259Units", sim::WmiValue::string(std::u16string(259, u'v')),
                                std::u16string(259, u'v')},
                      ValueCase{"Of260UnitsCut", sim::WmiValue::string(std::u16string(260, u'v')),
                                std::u16string(259, u'v')},
                      ValueCase{"Of1000UnitsCut", sim::WmiValue::string(std::u16string(1000, u'v')),
                                std::u16string(259, u'v')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WmiTest, AMissingPropertyOrInstanceAnswersNull) {
  sim::wmi().setInstances(u"Win32_BIOS", {{{u"Manufacturer", sim::WmiValue::string(u"x")}}});
  sim::wmi().setInstances(u"Win32_ComputerSystem", {});
  ASSERT_TRUE(init());
  EXPECT_EQ(askBiosVersion(), kNull);
  EXPECT_EQ(ask(allGetters()[8]), kNull);
}

TEST_F(WmiTest, OnlyTheFirstOfSeveralInstancesIsRead) {
  sim::wmi().setInstances(u"Win32_BIOS", {{{u"Version", sim::WmiValue::string(u"first")}},
                                          {{u"Version", sim::WmiValue::string(u"second")}}});
  ASSERT_TRUE(init());
  EXPECT_EQ(askBiosVersion(), u"first");
  EXPECT_EQ(sim::wmi().nextTimeouts().size(), 1u);
}

TEST_F(WmiTest, LookupRefusesAnUnknownKindOrMissingArgumentsWithoutAQuery) {
  ASSERT_TRUE(init());
  sim::Machine::get().clearCalls();
  PropertyText text{};
  EXPECT_FALSE(queryWmiProperty(static_cast<WmiClassKind>(3), WIDE("Version"), &text));
  EXPECT_FALSE(queryWmiProperty(static_cast<WmiClassKind>(-1), WIDE("Version"), &text));
  EXPECT_FALSE(queryWmiProperty(Bios, nullptr, &text));
  EXPECT_FALSE(queryWmiProperty(Bios, WIDE("Version"), nullptr));
  EXPECT_EQ(sim::Machine::get().callCount("ExecQuery"), 0u);
  EXPECT_EQ(sim::Machine::get().callCount("CoInitializeEx"), sim::Machine::get().callCount("CoUninitialize"));
  EXPECT_EQ(text.units[0], 0);
}

// --- each call of a lookup failed in turn ---

struct LookupFault {
  const char* operation;
  unsigned calls;  // in one lookup
  bool answered;   // the value still comes back
};

void PrintTo(const LookupFault& f, std::ostream* out) { *out << f.operation; }

class WmiLookupFaults : public WmiTest, public ::testing::WithParamInterface<LookupFault> {};

TEST_P(WmiLookupFaults, AnswerNullReleaseEverythingAndKeepTheConnection) {
  const LookupFault& f = GetParam();
  ASSERT_TRUE(init());
  for (unsigned nth = 0; nth <= f.calls; ++nth) {
    SCOPED_TRACE("call #" + std::to_string(nth));
    sim::Machine::get().clearCalls();
    if (nth > 0) sim::Machine::get().failCall(f.operation, nth, E_FAIL);
    const std::u16string answer = askBiosVersion();
    if (nth == 0) {
      EXPECT_EQ(sim::Machine::get().callCount(f.operation), f.calls);
    }
    EXPECT_EQ(answer, nth == 0 || f.answered ? u"Win32_BIOS.Version" : kNull);
    // Nothing held beyond the connection and Init's initialisation of COM.
    EXPECT_EQ(sim::Machine::get().outstanding(sim::Resource::ComReference), 1u);
    EXPECT_EQ(sim::Machine::get().outstanding(sim::Resource::Bstr), 0u);
    EXPECT_EQ(sim::Machine::get().outstanding(sim::Resource::ComInitialisation), 1u);
    EXPECT_EQ(sim::Machine::get().callCount("ConnectServer"), 0u);
  }
  sim::Machine::get().clearCalls();
  EXPECT_EQ(askBiosVersion(), u"Win32_BIOS.Version");
}

INSTANTIATE_TEST_SUITE_P(Calls, WmiLookupFaults,
                         ::testing::Values(LookupFault{"CoInitializeEx", 1, true},
                                           LookupFault{"SysAllocString", 2, false},
                                           LookupFault{"ExecQuery", 1, false}, LookupFault{"Reset", 1, false},
                                           LookupFault{"Next", 1, false}, LookupFault{"Get", 1, false}),
                         [](const auto& info) { return std::string(info.param.operation); });

TEST_F(WmiTest, ALookupBalancesItsOwnComInitialisation) {
  ASSERT_TRUE(init());
  const unsigned before = sim::apartmentDepth();
  EXPECT_EQ(askBiosVersion(), u"Win32_BIOS.Version");
  EXPECT_EQ(sim::apartmentDepth(), before);
  EXPECT_EQ(sim::Machine::get().callCount("CoInitializeEx"), 2u);
  EXPECT_EQ(sim::Machine::get().callCount("CoUninitialize"), 1u);
}

}  // namespace
