#include <gtest/gtest.h>

#include "core/context.h"
#include "core/text.h"

using namespace zantrel;

namespace {

TEST(Text, TrimTakesSpacesOnlyAndTrimBlanksTabsToo) {
  struct Row {
    std::string_view in, trim, blanks;
  };
  const Row rows[] = {{"", "", ""},         {"   ", "", ""},          {" a b ", "a b", "a b"},
                      {"\ta\t", "\ta\t", "a"}, {" \t x", "\t x", "x"}, {"x", "x", "x"}};
  for (const Row& r : rows) {
    EXPECT_EQ(Trim(r.in), r.trim) << "[" << r.in << "]";
    EXPECT_EQ(TrimBlanks(r.in), r.blanks) << "[" << r.in << "]";
  }
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank(" \t "));
  EXPECT_FALSE(IsBlank(" \r"));
  EXPECT_FALSE(IsBlank("  x"));
}

TEST(Text, FindNoCaseIgnoresAsciiCaseOnly) {
  EXPECT_EQ(FindNoCase("abc<!--##INCLUDE x", "<!--##include"), 3u);
  EXPECT_EQ(FindNoCase("##--> and ##-->", "##-->", 1), 10u);
  EXPECT_EQ(FindNoCase("short", "longer needle"), std::string_view::npos);
  EXPECT_EQ(FindNoCase("ÄBC", "äbc"), std::string_view::npos) << "letters beyond ASCII compare exactly";
  EXPECT_EQ(FindNoCase("abc", ""), 0u);
}

TEST(Text, ReplaceAllDoesNotRescanItsReplacements) {
  std::string text = "a * b * c";
  ReplaceAll(text, " * ", "php");
  EXPECT_EQ(text, "aphpbphpc");
  std::string grow = "xx";
  ReplaceAll(grow, "x", "xx");
  EXPECT_EQ(grow, "xxxx");
  std::string none = "abc";
  ReplaceAll(none, "z", "y");
  EXPECT_EQ(none, "abc");
}

TEST(Text, ProductErrorBeginsWithTheProductName) {
  EXPECT_EQ(ProductError(": Database not loaded!"), Context().product.errorName + ": Database not loaded!");
  EXPECT_EQ(kCrLf, "\r\n");
}

}  // namespace
