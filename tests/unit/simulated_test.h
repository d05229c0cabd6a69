// A test on a fresh simulated machine with a fresh stand-in VM; every test ends by proving
// that the library gave back everything it obtained, from Windows and from the VM.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_jvm.h"
#include "simulated_windows.h"

class SimulatedTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::resetMachine(); }
  void TearDown() override { expectNothingHeld(); }

  // Nothing left held on the machine, and no misuse of the VM.
  void expectNothingHeld() {
    EXPECT_EQ(sim::Machine::get().ledgerFaults(), std::vector<std::string>{});
    EXPECT_EQ(vm.violations(), std::vector<std::string>{});
  }

  std::u16string answerText(jobject answer) const { return vm.stringText(answer); }

  fakejvm::FakeJvm vm;
};
