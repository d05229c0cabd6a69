#include <gtest/gtest.h>
#include <jni.h>

#include "fake_jvm.h"
#include "sim_machine.h"

#include "natives.h"

namespace {

TEST(GetVersion, AnswersTheVersionTextOfFifteenUnitsWithoutAnyPlatformCall) {
  sim::Machine::get().reset();
  fakejvm::FakeJvm vm;
  for (int call = 0; call < 3; ++call) {
    jstring answer = Java_com_velk_utils_Tarvix_getVersion(vm.env(), nullptr);
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(vm.stringText(answer), u"Ver: 2009.12.25");
    EXPECT_EQ(vm.stringText(answer).size(), 15u);
  }
  EXPECT_EQ(vm.calls(), (std::vector<std::string>{"NewString", "NewString", "NewString"}));
  EXPECT_TRUE(sim::Machine::get().callLog().empty());
  EXPECT_TRUE(vm.violations().empty());
}

TEST(GetVersion, AnswersNullWhenTheVmCannotMakeTheString) {
  fakejvm::FakeJvm vm;
  vm.failCall("NewString", 1);
  EXPECT_EQ(Java_com_velk_utils_Tarvix_getVersion(vm.env(), nullptr), nullptr);
  EXPECT_TRUE(vm.exceptionPending());
}

}  // namespace
