#include <functional>
#include <thread>

#include "wmi_fixture.h"

namespace {

const std::u16string kNull = u"<null>";
const std::u16string kVersion = u"Win32_BIOS.Version";

// --- Init, step by step failing ---

enum class Slot { Untouched, Empty, NewHandle };

struct InitFault {
  const char* name;
  const char* operation;
  std::int64_t result;
  Slot slot;  // what the slot holds afterwards
};

void PrintTo(const InitFault& f, std::ostream* out) { *out << f.name; }

class InitFaults : public WmiTest, public ::testing::WithParamInterface<std::tuple<InitFault, bool>> {};

TEST_P(InitFaults, AnswerFalseAndLeaveTheSlotAsTheStepDecides) {
  const auto& [f, connectedBefore] = GetParam();
  if (connectedBefore) {
    ASSERT_TRUE(init());
  }
  sim::Machine::get().clearCalls();
  sim::Machine::get().failCall(f.operation, 1, f.result);
  EXPECT_FALSE(init());

  sim::Machine::get().clearCalls();
  const std::u16string answer = askBiosVersion();
  const auto queries = sim::wmi().queries();
  switch (f.slot) {
    case Slot::Untouched:
      EXPECT_EQ(answer, connectedBefore ? kVersion : kNull);
      if (connectedBefore) {
        EXPECT_EQ(queries.back().connection, 1u);
      }
      break;
    case Slot::Empty:
      EXPECT_EQ(answer, kNull);
      EXPECT_EQ(sim::Machine::get().callLog(), std::vector<std::string>{});
      break;
    case Slot::NewHandle:
      EXPECT_EQ(answer, kVersion);
      EXPECT_EQ(queries.back().connection, connectedBefore ? 2u : 1u);
      break;
  }
  // A replaced handle is released: at most the one in the slot is alive.
  EXPECT_EQ(sim::wmi().liveConnections(), f.slot == Slot::Empty || (f.slot == Slot::Untouched && !connectedBefore) ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, InitFaults,
    ::testing::Combine(
        ::testing::Values(InitFault{"LocatorRefused", "CoCreateInstance", REGDB_E_CLASSNOTREG, Slot::Untouched},
                          InitFault{"LocatorWithSuccessCode", "CoCreateInstance", S_FALSE, Slot::Untouched},
                          InitFault{"NamespaceNotAllocated", "SysAllocString", 0, Slot::Untouched},
                          InitFault{"ServiceUnreachable", "ConnectServer", WBEM_E_TRANSPORT_FAILURE, Slot::Empty},
                          InitFault{"ConnectedWithSuccessCode", "ConnectServer", WBEM_S_FALSE, Slot::NewHandle},
                          InitFault{"NoClientSecurity", "QueryInterface", E_NOINTERFACE, Slot::NewHandle},
                          InitFault{"BlanketRefused", "SetBlanket", E_FAIL, Slot::NewHandle}),
        ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_WhenConnected" : "_WhenEmpty");
    });

TEST_F(WmiTest, AnUnreachableServiceLeavesTheSlotEmpty) {
  sim::wmi().setReachable(false);
  EXPECT_FALSE(init());
  for (const auto& getter : allGetters()) EXPECT_EQ(ask(getter), kNull) << getter.name;
}

TEST_F(WmiTest, SecondInitReplacesAndReleasesTheFirstHandle) {
  ASSERT_TRUE(init());
  ASSERT_TRUE(init());
  EXPECT_EQ(askBiosVersion(), kVersion);
  EXPECT_EQ(sim::wmi().queries().back().connection, 2u);
  EXPECT_EQ(sim::wmi().liveConnections(), 1u);
  uninit();
  EXPECT_EQ(sim::wmi().liveConnections(), 0u);
}

TEST_F(WmiTest, AfterUninitEveryGetterAnswersNullWithoutTouchingWmi) {
  ASSERT_TRUE(init());
  uninit();
  sim::Machine::get().clearCalls();
  for (const auto& getter : allGetters()) EXPECT_EQ(ask(getter), kNull) << getter.name;
  EXPECT_EQ(sim::Machine::get().callLog(), std::vector<std::string>{});
  EXPECT_EQ(sim::wmi().liveConnections(), 0u);
}

// --- reconnecting a broken connection ---

TEST_F(WmiTest, ABrokenConnectionIsReopenedOnceAndTheQueryRunAgain) {
  ASSERT_TRUE(init());
  sim::wmi().breakConnections();
  sim::Machine::get().clearCalls();
  EXPECT_EQ(askBiosVersion(), kVersion);
  EXPECT_EQ(sim::Machine::get().callCount("ConnectServer"), 1u);
  auto queries = sim::wmi().queries();
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_EQ(queries[0].connection, 1u);
  EXPECT_EQ(queries[1].connection, 2u);
  EXPECT_EQ(sim::wmi().liveConnections(), 1u);  // the broken handle was released
}

struct ReconnectCase {
  const char* name;
  const char* operation;  // fails in the reconnect
  std::int64_t result;
  std::u16string nextAnswer;  // what the following lookup answers
  unsigned nextConnects;      // and how many connects it makes
};

void PrintTo(const ReconnectCase& c, std::ostream* out) { *out << c.name; }

class ReconnectFaults : public WmiTest, public ::testing::WithParamInterface<ReconnectCase> {};

TEST_P(ReconnectFaults, AnswerNullAndLeaveTheSlotAsTheFailedStepDecides) {
  const ReconnectCase& c = GetParam();
  ASSERT_TRUE(init());
  sim::wmi().breakConnections();
  sim::Machine::get().clearCalls();
  sim::Machine::get().failCall(c.operation, 1, c.result);
  EXPECT_EQ(askBiosVersion(), kNull);
  EXPECT_EQ(sim::Machine::get().callCount("CoCreateInstance"), 1u);
  EXPECT_EQ(sim::Machine::get().callCount("ExecQuery"), 1u);  // never run on a failed reconnect

  sim::Machine::get().clearCalls();
  EXPECT_EQ(askBiosVersion(), c.nextAnswer);
  EXPECT_EQ(sim::Machine::get().callCount("ConnectServer"), c.nextConnects);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ReconnectFaults,
    ::testing::Values(
        // The slot was emptied: no WMI call at all next time.
        ReconnectCase{"AtConnectServer", "ConnectServer", WBEM_E_TRANSPORT_FAILURE, kNull, 0},
        // The old, broken handle stays: the next lookup reconnects, this time with success.
        ReconnectCase{"AtTheLocator", "CoCreateInstance", REGDB_E_CLASSNOTREG, kVersion, 1},
        // The new handle stays and serves the next lookup directly.
        ReconnectCase{"AtTheBlanket", "SetBlanket", E_FAIL, kVersion, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WmiTest, ASecondFailureAfterTheReconnectAnswersNullWithoutAnotherReconnect) {
  ASSERT_TRUE(init());
  for (HRESULT second : {RPC_E_DISCONNECTED, E_FAIL}) {
    sim::wmi().breakConnections();
    sim::Machine::get().clearCalls();
    sim::Machine::get().failCall("ExecQuery", 2, second);
    EXPECT_EQ(askBiosVersion(), kNull);
    EXPECT_EQ(sim::Machine::get().callCount("ConnectServer"), 1u);
    EXPECT_EQ(sim::Machine::get().callCount("ExecQuery"), 2u);
  }
}

TEST_F(WmiTest, AnyOtherQueryFailureAnswersNullWithoutReconnecting) {
  ASSERT_TRUE(init());
  sim::Machine::get().clearCalls();
  sim::Machine::get().failCall("ExecQuery", 1, static_cast<HRESULT>(0x800706BAu));  // RPC server unavailable
  EXPECT_EQ(askBiosVersion(), kNull);
  EXPECT_EQ(sim::Machine::get().callCount("CoCreateInstance"), 0u);
}

// --- COM initialisations stay balanced ---

TEST_F(WmiTest, UninitUndoesTheInitialisationInitMadeOnTheSameThread) {
  ASSERT_TRUE(init());
  EXPECT_EQ(sim::apartmentDepth(), 1u);
  uninit();
  EXPECT_EQ(sim::apartmentDepth(), 0u);
  EXPECT_EQ(sim::Machine::get().callCount("CoUninitialize"), 1u);
}

TEST_F(WmiTest, UninitAloneUninitialisesNothing) {
  uninit();
  EXPECT_EQ(sim::Machine::get().callCount("CoUninitialize"), 0u);
}

TEST_F(WmiTest, UninitAfterAFailedInitialisationUninitialisesNothing) {
  sim::Machine::get().failCall("CoInitializeEx", 1, E_OUTOFMEMORY);
  EXPECT_FALSE(init());  // no apartment on this thread: the locator cannot be made
  uninit();
  EXPECT_EQ(sim::Machine::get().callCount("CoUninitialize"), 0u);
  EXPECT_EQ(sim::apartmentDepth(), 0u);
}

TEST_F(WmiTest, TheApplicationsOwnApartmentIsLeftAlone) {
  sim::enterSingleThreadedApartment();
  // Init's initialisation fails on a single-threaded thread; COM is usable there all the same.
  EXPECT_TRUE(init());
  EXPECT_EQ(askBiosVersion(), kVersion);
  uninit();
  EXPECT_EQ(sim::Machine::get().callCount("CoUninitialize"), 0u);
  EXPECT_EQ(sim::apartmentDepth(), 1u);
}

TEST_F(WmiTest, UninitOnAnotherThreadUndoesNothingThere) {
  ASSERT_TRUE(init());
  std::thread other([this] {
    fakejvm::FakeJvm otherVm;
    Java_com_velk_utils_Tarvix_Uninit(otherVm.env(), nullptr);
  });
  other.join();
  EXPECT_EQ(sim::Machine::get().callCount("CoUninitialize"), 0u);
  EXPECT_EQ(askBiosVersion(), kNull);
  EXPECT_EQ(sim::apartmentDepth(), 1u);  // this thread's, undone by the TearDown's Uninit
}

}  // namespace
