#include "platform/standard_output.h"

#include <gtest/gtest.h>

#include "simulated_windows.h"

namespace {

struct LineCase {
  const char* name;
  std::u16string text;
  std::string utf8;
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << c.name; }

class PrintLineTest : public ::testing::TestWithParam<LineCase> {
 protected:
  void SetUp() override { sim::resetMachine(); }
};

TEST_P(PrintLineTest, WritesUtf8AndALineBreak) {
  const LineCase& c = GetParam();
  EXPECT_TRUE(printLine(reinterpret_cast<const WCHAR*>(c.text.c_str())));
  EXPECT_EQ(sim::standardOutput(), c.utf8 + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PrintLineTest,
    ::testing::Values(LineCase{"Ascii", u"PCI\\VEN_8086=10.0.1", "PCI\\VEN_8086=10.0.1"},
                      LineCase{"Empty", u"", ""},
                      LineCase{"TwoAndThreeByteUnits", u"\u00e4\u20ac", "\xc3\xa4\xe2\x82\xac"},
                      LineCase{"SurrogatePair", u"\xd83d\xde00", "\xf0\x9f\x98\x80"},
                      LineCase{"UnpairedHighAtEnd", u"a\xd83d", "a\xef\xbf\xbd"},
                      LineCase{"UnpairedLowThenText", u"\xde00z", "\xef\xbf\xbdz"},
                      LineCase{"HighFollowedByHigh", u"\xd83d\xd83d\xde00",
                               "\xef\xbf\xbd\xf0\x9f\x98\x80"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrintLine, LinesFollowOneAnotherAndARefusedWriteIsReported) {
  sim::resetMachine();
  sim::Machine::get().failCall("writeStandardOutput", 2, 1);
  EXPECT_TRUE(printLine(u"one"));
  EXPECT_FALSE(printLine(u"two"));
  EXPECT_TRUE(printLine(u"three"));
  EXPECT_EQ(sim::standardOutput(), "one\nthree\n");
}

}  // namespace
