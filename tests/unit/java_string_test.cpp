#include "boundary/java_string.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_jvm.h"

namespace {

struct TextCase {
  const char* name;
  std::u16string buffer;  // may hold NULs of its own; newJavaString sees buffer.data()
  std::u16string expected;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

class NewJavaStringTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(NewJavaStringTest, CountsUnitsUpToTheFirstNul) {
  const TextCase& c = GetParam();
  fakejvm::FakeJvm vm;
  jstring answer = newJavaString(vm.env(), reinterpret_cast<const WCHAR*>(c.buffer.c_str()));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(vm.stringText(answer), c.expected);
  EXPECT_EQ(vm.callCount("NewString"), 1u);
  EXPECT_TRUE(vm.violations().empty());
}

std::u16string fullBuffer() {
  // A 260-unit buffer holding 259 units of text and its terminator.
  std::u16string text(259, u'x');
  text[0] = u'<';
  text[258] = u'>';
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NewJavaStringTest,
    ::testing::Values(TextCase{"Ascii", u"ASUSTeK COMPUTER INC.", u"ASUSTeK COMPUTER INC."},
                      TextCase{"Empty", u"", u""},
                      TextCase{"StopsAtFirstNul", std::u16string(u"ab\0cd", 5), u"ab"},
                      TextCase{"NulFirst", std::u16string(u"\0abc", 4), u""},
                      TextCase{"NonAsciiAndSurrogatePair", u"\u00c4\u20ac \xd83d\xde00 \u65e5\u672c",
                               u"\u00c4\u20ac \xd83d\xde00 \u65e5\u672c"},
                      TextCase{"UnpairedSurrogateKept", u"a\xdc00z", u"a\xdc00z"},
                      TextCase{"FullToLastUnitButOne", fullBuffer(), fullBuffer()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NewJavaString, EmptyTextGivesEmptyStringNotNull) {
  fakejvm::FakeJvm vm;
  const WCHAR empty[] = {0};
  jstring answer = newJavaString(vm.env(), empty);
  ASSERT_NE(answer, nullptr);
  EXPECT_TRUE(vm.isString(answer));
  EXPECT_EQ(vm.stringText(answer).size(), 0u);
}

TEST(NewJavaString, PassesTheVmsNullThrough) {
  fakejvm::FakeJvm vm;
  vm.failCall("NewString", 1);
  EXPECT_EQ(newJavaString(vm.env(), WIDE("text")), nullptr);
  EXPECT_TRUE(vm.exceptionPending());
  EXPECT_EQ(vm.callCount("NewString"), 1u);
}

}  // namespace
