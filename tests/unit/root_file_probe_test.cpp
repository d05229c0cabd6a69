#include "natives.h"
#include "simulated_test.h"

namespace {

const std::u16string kProbeFile = u"C:\\test.txt";
const std::string kSuccessLine = "Native CreateFile success.\n";
const std::string kFailureLine = "Native CreateFile failed.\n";

class RootFileProbeTest : public SimulatedTest {
 protected:
  jboolean probe() { return Java_com_velk_utils_MiscUtils_createRootFile(vm.env(), nullptr); }
};

TEST_F(RootFileProbeTest, CreatesAnEmptyFileEveryTimeAndSaysSoOnce) {
  sim::files().putFile(kProbeFile, "left over from an earlier run");
  EXPECT_EQ(probe(), JNI_TRUE);
  EXPECT_EQ(sim::files().content(kProbeFile), std::string());
  EXPECT_EQ(probe(), JNI_TRUE);
  EXPECT_EQ(sim::files().content(kProbeFile), std::string());
  EXPECT_EQ(sim::standardOutput(), kSuccessLine + kSuccessLine);
  EXPECT_TRUE(vm.calls().empty());
}

TEST_F(RootFileProbeTest, CreatesForWritingUnsharedAlwaysWithNormalAttributes) {
  ASSERT_EQ(probe(), JNI_TRUE);
  auto requests = sim::files().createRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].path, kProbeFile);
  EXPECT_EQ(requests[0].access, GENERIC_WRITE);
  EXPECT_EQ(requests[0].shareMode, 0u);
  EXPECT_EQ(requests[0].creation, CREATE_ALWAYS);
  EXPECT_EQ(requests[0].flags, FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(requests[0].security);
  EXPECT_FALSE(requests[0].templateFile);
}

struct Refusal {
  const char* name;
  void (*arrange)();
};

void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }

class RootFileRefusals : public RootFileProbeTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RootFileRefusals, AnswerFalseWithTheFailureLine) {
  GetParam().arrange();
  EXPECT_EQ(probe(), JNI_FALSE);
  EXPECT_EQ(sim::standardOutput(), kFailureLine);
  EXPECT_EQ(sim::Machine::get().callCount("CloseHandle"), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, RootFileRefusals,
    ::testing::Values(Refusal{"NoRightToWriteAtTheRoot", [] { sim::files().denyWritesUnder(u"C:\\"); }},
                      Refusal{"OpenElsewhereUnshared", [] { sim::files().holdOpenElsewhere(u"c:\\TEST.txt"); }},
                      Refusal{"CreateFileFails",
                              [] { sim::Machine::get().failCall("CreateFileW", 1, ERROR_ACCESS_DENIED); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RootFileProbeTest, AFailedCloseOrOutputDoesNotChangeTheAnswer) {
  sim::Machine::get().failCall("CloseHandle", 1, ERROR_INVALID_HANDLE);
  EXPECT_EQ(probe(), JNI_TRUE);
  sim::Machine::get().failCall("writeStandardOutput", 2, 1);
  EXPECT_EQ(probe(), JNI_TRUE);
  EXPECT_EQ(sim::standardOutput(), kSuccessLine);
}

}  // namespace
