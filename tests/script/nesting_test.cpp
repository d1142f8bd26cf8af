// Pathologically deep programs end in a compile error, never in a C++ stack
// overflow; nesting as deep as real code goes still compiles and runs.
#include <gtest/gtest.h>

#include <string>

#include "core/convert.h"
#include "script/engine.h"

namespace zantrel::script {
namespace {

std::string Repeat(std::string_view s, int n) {
  std::string out;
  out.reserve(s.size() * n);
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

struct DeepCase {
  const char* name;
  std::string code;
};

class DeepProgram : public testing::TestWithParam<DeepCase> {};

TEST_P(DeepProgram, IsACompileError) {
  Engine e;
  const ScriptError err = e.AddCode("System", GetParam().code);
  ASSERT_TRUE(err) << GetParam().name;
  EXPECT_EQ(ScriptError::Kind::Compile, err.kind);
  EXPECT_EQ(1001, err.number);
  EXPECT_NE(std::string::npos, err.description.find("nested too deeply")) << err.description;
}

constexpr int kDeep = 50000;

INSTANTIATE_TEST_SUITE_P(
    Shapes, DeepProgram,
    testing::Values(DeepCase{"If", Repeat("If 1 Then\n", kDeep) + Repeat("End If\n", kDeep)},
                    DeepCase{"For", Repeat("For i = 1 To 1\n", kDeep) + Repeat("Next\n", kDeep)},
                    DeepCase{"Do", Repeat("Do\n", kDeep) + Repeat("Loop\n", kDeep)},
                    DeepCase{"While", Repeat("While 1\n", kDeep) + Repeat("Wend\n", kDeep)},
                    DeepCase{"Select", Repeat("Select Case 1\nCase 1\n", kDeep) + Repeat("End Select\n", kDeep)},
                    DeepCase{"With", Repeat("With 1\n", kDeep) + Repeat("End With\n", kDeep)},
                    DeepCase{"SingleLineIf", Repeat("If 1 Then ", kDeep) + "x = 1\n"},
                    DeepCase{"SingleLineElseIf", Repeat("If 0 Then x = 1 Else ", kDeep) + "x = 2\n"},
                    DeepCase{"InProcedure", "Sub S\n" + Repeat("If 1 Then\n", kDeep) + Repeat("End If\n", kDeep) + "End Sub\n"},
                    DeepCase{"Parentheses", "x = " + Repeat("(", kDeep) + "1" + Repeat(")", kDeep) + "\n"},
                    DeepCase{"Operators", "x = 1" + Repeat(" + 1", kDeep) + "\n"},
                    DeepCase{"Concatenation", "x = \"a\"" + Repeat(" & \"b\"", kDeep) + "\n"},
                    DeepCase{"Members", "x = a" + Repeat(".b", kDeep) + "\n"},
                    DeepCase{"Calls", "x = a" + Repeat("(1)", kDeep) + "\n"},
                    DeepCase{"Negation", "x = " + Repeat("-", kDeep) + "1\n"}),
    [](const testing::TestParamInfo<DeepCase>& info) { return std::string(info.param.name); });

TEST(Nesting, RealisticDepthStillRuns) {
  Engine e;
  const std::string code = "Function F()\n" + Repeat("If 1 Then\nFor i = 1 To 1\n", 60) + "F = 42\n" +
                           Repeat("Next\nEnd If\n", 60) + "End Function\n";
  ASSERT_FALSE(e.AddCode("System", code));
  EXPECT_EQ(42, CLng(e.Run("System", "F").value));
  EXPECT_EQ(1000, CLng(e.Eval("System", "1" + Repeat(" + 1", 999)).value));
}

}  // namespace
}  // namespace zantrel::script
