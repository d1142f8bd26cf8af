#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/context.h"
#include "template/block_parser.h"
#include "support/temp_config.h"

using namespace zantrel;
namespace fs = std::filesystem;

namespace {

// "type:name|value" per block, for compact expectations.
std::string Blocks(ObParser& p) {
  std::string out;
  for (int32_t i = 1; i <= p.Count(); ++i) {
    p.BlockID(i);
    out += std::to_string(p.BlockType()) + ":" + p.BlockName() + "|" + p.BlockValue() + "\n";
  }
  return out;
}

class BlockParser : public ::testing::Test {
 protected:
  BlockParser() { Context().projErr.clear(); }
  ~BlockParser() override { Context().projErr.clear(); }
  ObParser parser;
};

TEST_F(BlockParser, Kinds) {
  struct Row {
    const char* source;
    const char* blocks;
  } rows[] = {
      {"", ""},
      {"plain text", "6:|plain text\n"},
      {"<!--##=x##-->", "2:x|x\n"},
      {"a<!--##= y ##-->b", "6:|a\n2:y| y \n6:|b\n"},
      {"<!--##~ z ##--><!--##@ Add ##--><!--##$ id ##-->", "3:z| z \n4:Add| Add \n5:id| id \n"},
      {"<!--## x = 1 ##-->", "1:| x = 1 \n"},
      {"<!--##-->", "1:|\n"},
  };
  for (const Row& r : rows) {
    parser.Parse(r.source);
    EXPECT_EQ(Blocks(parser), r.blocks) << r.source;
    EXPECT_EQ(parser.BlockID(), parser.Count());
    EXPECT_EQ(Context().projErr, "");
  }
}

TEST_F(BlockParser, IndentComesFromTheLiteralBefore) {
  parser.Parse("<tr>\r\n  <!--##~ cell ##-->");
  parser.BlockID(2);
  EXPECT_EQ(parser.BlockIndent(), "  ");
  parser.Parse("x\t<!--##~a##--><!--##~b##-->");
  parser.BlockID(2);
  EXPECT_EQ(parser.BlockIndent(), "\t");
  parser.BlockID(3);
  EXPECT_EQ(parser.BlockIndent(), "");  // after a block, not after text
}

TEST_F(BlockParser, SyntaxErrorsCarryLineAndColumn) {
  parser.Parse("one\r\ntwo\r\nabc <!--## never closed\r\nmore");
  EXPECT_EQ(Context().projErr, "Incomplete Block at line 3 column 5! Generation failed!");
  Context().projErr.clear();
  parser.Parse("ok<!--##= a \r\n  <!--##= b ##-->");
  EXPECT_EQ(Context().projErr, "Nested Blocks found at line 2 column 3! Generation failed!");
  EXPECT_EQ(parser.Count(), 1);  // what was read before the error stays
}

TEST_F(BlockParser, LinesEndAtLfCrLfOrALoneCr) {
  for (const char* nl : {"\n", "\r\n", "\r"}) {
    Context().projErr.clear();
    std::string source = std::string("<?php") + nl + nl + "\t<p><!--##=TABLE.TblName" + nl + "</p>";
    parser.Parse(source);
    EXPECT_EQ(Context().projErr, "Incomplete Block at line 3 column 5! Generation failed!") << int(nl[0]);
    EXPECT_EQ(source.compare(parser.errorOffset, 6, "<!--##"), 0);
  }
  Context().projErr.clear();
  parser.Parse("a\n\rb <!--##x");  // LF then CR: two line ends
  EXPECT_EQ(Context().projErr, "Incomplete Block at line 3 column 3! Generation failed!");
  Context().projErr.clear();
  parser.Parse("<!--##=x##-->\n");
  EXPECT_EQ(parser.errorOffset, std::string_view::npos);
}

TEST_F(BlockParser, BlockIdOutsideTheTableIsIgnored) {
  parser.Parse("a<!--##=b##-->");
  parser.BlockID(1);
  parser.BlockID(0);
  EXPECT_EQ(parser.BlockID(), 1);
  parser.BlockID(3);
  EXPECT_EQ(parser.BlockID(), 1);
}

TEST_F(BlockParser, FunctionNames) {
  struct Row {
    const char* code;
    const char* name;
  } rows[] = {
      {"\r\nFunction Foo(a)\r\nEnd Function\r\n", "Foo"},
      {"\r\nFunction Foo(a)\r\nEnd Function \r\n", ""},
      {"\r\nFunction Foo(a)\r\n  x = 1\r\n", "Foo"},
      {"\r\n  Function  Bar (a)\r\n", "Bar"},
      {"\r\nFunction A()\r\n' Function Old()\r\n", "A"},
      {"\r\nFunction A()\r\nx = MyFunction (1)\r\n", "A"},
      {"\r\nPublic Function P()\r\n", ""},
      {"Function First()", ""},
      {"\r\nFunction NoParen", ""},
  };
  for (const Row& r : rows) EXPECT_EQ(DeclaredFunctionName(r.code), r.name) << r.code;
}

class Sessions : public BlockParser {
 protected:
  Sessions() {
    parser.templateFolder = config.user().string();
    Write("common.php", "<!--##session head##-->HEAD<!--##include common.php/inner##--><!--##/session##-->"
                        "<!--##session inner##-->[inner]<!--##/session##-->"
                        "<!--##session loop##-->L<!--##include common.php/loop##--><!--##/session##-->");
  }
  void Write(const char* name, const std::string& text) {
    std::ofstream(config.user() / name, std::ios::binary) << text;
  }
  test::TempConfig config;
};

TEST_F(Sessions, BodiesWithIncludesExpanded) {
  std::string src = "x<!--##SESSION main ##-->A<!--##include common.php/head##-->B<!--##include nope.php/x##-->"
                    "<!--##include bad##-->C<!--##/Session##-->";
  EXPECT_EQ(parser.GetSession(src, "Main"), "AHEAD[inner]BC");
  EXPECT_EQ(parser.GetSession(src, "other"), "");
  EXPECT_EQ(parser.GetSession("<!--##session open##-->no closer", "open"), "");
  EXPECT_EQ(parser.GetSession("<!--##session s##-->a<!--##include x", "s"), "");
  EXPECT_EQ(Context().projErr, "");
}

TEST_F(Sessions, IncludeCyclesStop) {
  std::string result = parser.GetSession("<!--##session s##--><!--##include common.php/loop##--><!--##/session##-->", "s");
  EXPECT_NE(Context().projErr.find("common.php/loop"), std::string::npos) << Context().projErr;
  EXPECT_NE(Context().projErr.find("32"), std::string::npos);
  EXPECT_EQ(result.substr(0, 3), "LLL");
}

}  // namespace
