// The simulated machine proves the library; these cases prove the machine's own mechanism.
#include "sim_machine.h"

#include <gtest/gtest.h>

namespace {

class SimMachineTest : public ::testing::Test {
 protected:
  void SetUp() override { machine.reset(); }
  sim::Machine& machine = sim::Machine::get();
};

TEST_F(SimMachineTest, LedgerIsBalancedWhenEveryResourceComesBack) {
  machine.acquire(sim::Resource::RegistryKey, 1);
  machine.acquire(sim::Resource::ComReference, 2);
  machine.acquire(sim::Resource::ComReference, 2);  // a second reference to one object
  EXPECT_EQ(machine.outstanding(sim::Resource::ComReference), 2u);
  EXPECT_TRUE(machine.release(sim::Resource::ComReference, 2));
  EXPECT_TRUE(machine.release(sim::Resource::ComReference, 2));
  EXPECT_TRUE(machine.release(sim::Resource::RegistryKey, 1));
  EXPECT_TRUE(machine.ledgerFaults().empty());
}

TEST_F(SimMachineTest, LedgerReportsLeaksAndDoubleReleases) {
  machine.acquire(sim::Resource::Bstr, 7);
  ASSERT_EQ(machine.ledgerFaults().size(), 1u);
  EXPECT_NE(machine.ledgerFaults()[0].find("BSTR never released"), std::string::npos);

  EXPECT_TRUE(machine.release(sim::Resource::Bstr, 7));
  EXPECT_FALSE(machine.release(sim::Resource::Bstr, 7));
  ASSERT_EQ(machine.ledgerFaults().size(), 1u);
  EXPECT_NE(machine.ledgerFaults()[0].find("not held"), std::string::npos);

  // A release of the wrong kind is no release either.
  machine.reset();
  machine.acquire(sim::Resource::FileHandle, 3);
  EXPECT_FALSE(machine.release(sim::Resource::RegistryKey, 3));
  EXPECT_EQ(machine.ledgerFaults().size(), 2u);
}

TEST_F(SimMachineTest, FailsExactlyTheNthCallOfAnOperation) {
  machine.failCall("RegOpenKeyExW", 2, 5);
  EXPECT_FALSE(machine.enterCall("RegOpenKeyExW").has_value());
  EXPECT_FALSE(machine.enterCall("RegCloseKey").has_value());
  auto second = machine.enterCall("RegOpenKeyExW");
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(*second, 5);
  EXPECT_FALSE(machine.enterCall("RegOpenKeyExW").has_value());
  EXPECT_EQ(machine.callCount("RegOpenKeyExW"), 3u);
  EXPECT_EQ(machine.callLog(),
            (std::vector<std::string>{"RegOpenKeyExW", "RegCloseKey", "RegOpenKeyExW", "RegOpenKeyExW"}));
}

TEST_F(SimMachineTest, FaultRuleDecidesEveryCall) {
  machine.setFaultRule("ExecQuery", [](unsigned index) -> std::optional<std::int64_t> {
    if (index % 2 == 0) return -1;
    return std::nullopt;
  });
  EXPECT_FALSE(machine.enterCall("ExecQuery").has_value());
  EXPECT_TRUE(machine.enterCall("ExecQuery").has_value());
  EXPECT_FALSE(machine.enterCall("ExecQuery").has_value());
  machine.reset();
  EXPECT_FALSE(machine.enterCall("ExecQuery").has_value());
  EXPECT_FALSE(machine.enterCall("ExecQuery").has_value());
}

}  // namespace
