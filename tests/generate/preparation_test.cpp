#include <gtest/gtest.h>

#include "core/context.h"
#include "generate/conditions.h"
#include "generate/generation_run.h"
#include "generate/script_builder.h"
#include "project/project.h"
#include "support/temp_config.h"
#include "template/script_literal.h"

using namespace zantrel;

namespace {

TEST(ScriptLiteral, PiecesJoinedByCrLf) {
  struct Row {
    const char* text;
    const char* literal;
  } rows[] = {
      {"", ""},
      {"a", "\"a\""},
      {"a\r\nb", "\"a\"&vbCrLf&\"b\""},
      {"a\r\n", "\"a\"&vbCrLf&\"\""},
      {"\r\nb", "\"\"&vbCrLf&\"b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"lone\nLF", "\"lone\nLF\""},
  };
  for (const Row& r : rows) EXPECT_EQ(ToScriptLiteral(r.text), r.literal) << r.text;
}

std::string Body(std::string_view templateText) {
  ScriptBuilder builder(nullptr, nullptr);
  builder.AppendScriptBlocks(templateText);
  std::string text = builder.FunctionText();
  std::size_t start = text.find("Dim ovOut\r\n") + 11;
  return text.substr(start, text.find("ovScriptEngine = ovOut") - start);
}

TEST(ScriptBuilder, Statements) {
  EXPECT_EQ(Body("<!--##=a##--><!--##=b##-->"), "ovOut = ovOut & a & b\r\n");
  EXPECT_EQ(Body("x<!--##=a##--><!--## y = 1 ##--><!--##=b##-->"),
            "ovAr(1) = \"x\"\r\novOut = ovOut & ovAr(1) & a\r\n y = 1 \r\novOut = ovOut & b\r\n");
  EXPECT_EQ(Body("<!--##$ id ##-->"), "ovOut = ovOut & LANG.Phrase(id)\r\n");
  EXPECT_EQ(Body("<!--##@ missing ##-->"), "ovOut = ovOut & \"\"\r\n");
  EXPECT_EQ(Body("  <!--##~ v ##-->"),
            "ovAr(1) = \"  \"\r\novOut = ovOut & ovAr(1)\r\novIndentWrk = \"  \"\r\novOut = ovOut & v\r\n");
}

TEST(ScriptBuilder, EmptyTemplateIsTheBareWrapper) {
  ScriptBuilder builder(nullptr, nullptr);
  EXPECT_EQ(builder.FunctionText(),
            "Function ovScriptEngine()\r\nOn Error Resume Next\r\nDim ovAr(0)\r\nDim ovOut\r\n"
            "ovScriptEngine = ovOut\r\nEnd Function\r\n");
}

TEST(ScriptBuilder, IncludeNames) {
  EXPECT_EQ(GetIncludeNames("a<!--##include x.php/s##-->b<!--##INCLUDE  dir/y.php / t ##-->"), "x.php,dir/y.php");
  EXPECT_EQ(GetIncludeNames("<!--##include open.php/s"), "");
  EXPECT_EQ(GetIncludeNames("none"), "");
}

class Conditions : public ::testing::Test {
 protected:
  Conditions() {
    project = MakeRef<ObP>();
    project->RecPerPage(int16_t{20});
    project->databases().Add("shop");
    project->currentDatabaseName("shop");
    Ref<ObPTable> t = project->db()->tables().Add("orders");
    t->TblGen(true);
    t->TblCaption("Orders");
    t->Fields().Add("id")->FldType(int16_t{3});
    auto control = MakeRef<ObPControl>();
    run.controls = MakeRef<ObPControls>();
  }
  bool Holds(std::string_view condition) { return EvalCond(*project, run, condition); }
  test::TempConfig config;
  Ref<ObP> project;
  GenerationRun run;
};

TEST_F(Conditions, Items) {
  struct Row {
    const char* condition;
    bool holds;
  } rows[] = {
      {"", true},
      {"table/TblGen/eq/1", true},
      {"table/TblGen/eq/0", false},
      {"table/TblGen/eq", true},  // three parts: ignored
      {"table/TblCaption/eq/Shop|Orders", true},
      {"table/TblCaption/eq/orders", false},  // exact case
      {"table/TblCaption/in/RDE", true},
      {"table/TblCaption/ni/rde", false},
      {"proj/RecPerPage/ge/%RecPerPage", true},
      {"proj/RecPerPage/gt/19, table/TblGen/eq/true", true},
      {"proj/RecPerPage/gt/19, table/TblGen/eq/false", false},
      {"field/FldType/eq/3", true},
      {"field/FldType/lt/3", false},
      {"nowhere/x/eq/1", true},
      {"table/TblGen/xx/0", true},  // unknown operator
      {"table/NoSuchSetting/eq/1", false},
  };
  for (const Row& r : rows) EXPECT_EQ(Holds(r.condition), r.holds) << r.condition;
}

TEST_F(Conditions, ConvertToPropTypeAndStripQuotes) {
  EXPECT_EQ(StripQuotes(" \"'x'\" "), "x");
  EXPECT_EQ(StripQuotes("\"a'"), "\"a'");
  EXPECT_EQ(ConvertToPropType(project->Properties(), " %RecPerPage ", "Integer").AsInteger(), 20);
  EXPECT_TRUE(ConvertToPropType(project->Properties(), "abc", "Integer").IsEmpty());
  EXPECT_EQ(ConvertByDataType(Variant("7"), "Integer").type(), VarType::Integer);
  EXPECT_EQ(ConvertByDataType(Variant("7"), "integer").type(), VarType::String);
}

}  // namespace
