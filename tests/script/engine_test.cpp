// The host interface from C++: named objects reached by name only, modules with
// their own names, procedure lists, Run with ByRef arguments, Eval, compile and
// run-time error reports with line and source text, the time-out, Reset, and a
// host object's member called through the per-site cache.
#include <gtest/gtest.h>

#include <chrono>

#include "core/convert.h"
#include "core/dispatch.h"
#include "script/engine.h"

namespace zantrel::script {
namespace {

class Counter : public HostObject<Counter> {
 public:
  int32_t value = 0;
  int32_t reads = 0;
  static const MemberTable<Counter>& Members() {
    static const MemberTable<Counter> table(
        "Counter",
        {
            {"Value", [](Counter& c, Args) { ++c.reads; return Variant(c.value); },
             [](Counter& c, Args, const Variant& v) { c.value = CLng(v); }},
            {"Add", [](Counter& c, Args a) {
               c.value += CLng(Arg(a, 0));
               return Variant(c.value);
             }, nullptr},
        },
        "Value");
    return table;
  }
};

TEST(EngineObjects, NamedObjectIsReachedByNameOnly) {
  Engine e;
  auto c = MakeRef<Counter>();
  e.AddObject("Cnt", c);
  ASSERT_FALSE(e.AddCode("System", "Cnt.Add 5\nCnt.Value = Cnt.Value + 1\nx = Cnt"));
  EXPECT_EQ(6, c->value);
  EXPECT_EQ(6, CLng(e.Eval("System", "x").value));
  // Members of a named object are not global names.
  const RunResult r = e.Eval("System", "Add(1)");
  ASSERT_TRUE(r.error);
  EXPECT_EQ(13, r.error.number);
}

TEST(EngineObjects, MemberReadsInALoopUseTheCachedId) {
  Engine e;
  auto c = MakeRef<Counter>();
  c->value = 2;
  e.AddObject("Cnt", c);
  ASSERT_FALSE(e.AddCode("", "Function Sum()\nFor i = 1 To 1000\nSum = Sum + Cnt.Value\nNext\nEnd Function"));
  EXPECT_EQ(2000, CLng(e.Run("", "Sum").value));
  EXPECT_EQ(1000, c->reads);
}

TEST(EngineModules, ModulesKeepTheirNamesApart) {
  Engine e;
  ASSERT_FALSE(e.AddCode("System", "Dim shared\nshared = \"sys\"\nFunction Who()\nWho = \"system \" & shared\nEnd Function"));
  ASSERT_FALSE(e.AddCode("User", "Function Who()\nWho = \"user\"\nEnd Function\nSub Helper()\nEnd Sub\nPrivate Sub Hidden()\nEnd Sub"));
  EXPECT_EQ("system sys", CStr(e.Run("System", "Who").value));
  EXPECT_EQ("user", CStr(e.Run("User", "Who").value));
  EXPECT_EQ((std::vector<std::string>{"Who", "Helper"}), e.ProcedureNames("User"));
  EXPECT_EQ((std::vector<std::string>{"Who"}), e.ProcedureNames("System"));
  EXPECT_TRUE(e.ProcedureNames("Nowhere").empty());
  // The global module is visible from every module.
  ASSERT_FALSE(e.AddCode("", "Function Everywhere()\nEverywhere = 1\nEnd Function"));
  EXPECT_EQ(1, CLng(e.Eval("User", "Everywhere()").value));
}

TEST(EngineModules, LaterCodeReplacesAProcedureAndSeesEarlierNames) {
  Engine e;
  ASSERT_FALSE(e.AddCode("System", "Dim TABLE\nFunction ovScriptEngine()\novScriptEngine = \"one\"\nEnd Function"));
  EXPECT_EQ("one", CStr(e.Run("System", "ovScriptEngine").value));
  ASSERT_FALSE(e.AddCode("System", "Function ovScriptEngine()\nTABLE = 5\novScriptEngine = \"two\" & TABLE\nEnd Function"));
  EXPECT_EQ("two5", CStr(e.Run("System", "ovScriptEngine").value));
  EXPECT_EQ((std::vector<std::string>{"ovScriptEngine"}), e.ProcedureNames("System"));
  // A call to a procedure added later resolves at run time.
  ASSERT_FALSE(e.AddCode("System", "Function Early()\nEarly = LateOne() + 1\nEnd Function"));
  ASSERT_FALSE(e.AddCode("System", "Function LateOne()\nLateOne = 41\nEnd Function"));
  EXPECT_EQ(42, CLng(e.Run("System", "Early").value));
}

TEST(EngineRun, ArgumentsAndByRef) {
  Engine e;
  ASSERT_FALSE(e.AddCode("", "Function Twice(ByRef v, ByVal w)\nv = v * 2\nw = 0\nTwice = v\nEnd Function"));
  std::vector<Variant> args = {Variant(int32_t{21}), Variant(int32_t{7})};
  const RunResult r = e.Run("", "Twice", args);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(42, CLng(r.value));
  EXPECT_EQ(42, CLng(args[0]));
  EXPECT_EQ(7, CLng(args[1]));
  const RunResult wrong = e.Run("", "Twice", {Variant(int32_t{1})});
  EXPECT_EQ(450, wrong.error.number);
  const RunResult missing = e.Run("", "Nope");
  EXPECT_EQ(35, missing.error.number);
}

// A host member that writes its arguments, as a COM method with ByRef parameters does.
class Filler : public HostObject<Filler> {
 public:
  static const MemberTable<Filler>& Members() {
    static const MemberTable<Filler> table(
        "Filler", {{"Fill", [](Filler&, Args a) {
                      for (Variant& v : a) v = Variant(CLng(v) + 40);
                      return Variant(true);
                    }, nullptr}});
    return table;
  }
};

TEST(EngineObjects, HostMemberWritesByRefArguments) {
  Engine e;
  e.AddObject("Host", MakeRef<Filler>());
  ASSERT_FALSE(e.AddCode("", R"(
Dim g
Function Run()
  Dim v, arr(1), k
  v = 1 : g = 2 : arr(1) = 3 : k = 4
  Host.Fill v, g, arr(1), (k)
  ok = Host.Fill(v)
  Run = v & " " & g & " " & arr(1) & " " & k & " " & ok
End Function)"));
  const RunResult r = e.Run("", "Run");
  ASSERT_TRUE(r.ok()) << r.error.description;
  EXPECT_EQ("81 42 43 4 True", CStr(r.value));
}

TEST(EngineEval, ExpressionsAtModuleLevel) {
  Engine e;
  ASSERT_FALSE(e.AddCode("System", "x = 1"));
  EXPECT_TRUE(CBool(e.Eval("System", "x = 1").value));
  EXPECT_EQ("a1", CStr(e.Eval("System", "\"a\" & x").value));
  const RunResult bad = e.Eval("System", "x +");
  EXPECT_EQ(ScriptError::Kind::Compile, bad.error.kind);
  EXPECT_EQ(1023, bad.error.number);
}

TEST(EngineErrors, CompileErrorReportsLineAndTextAndAddsNothing) {
  Engine e;
  const ScriptError err = e.AddCode("User", "Sub Fine()\nEnd Sub\nSub Broken()\n  x = (1 + \nEnd Sub\n");
  ASSERT_TRUE(err);
  EXPECT_EQ(ScriptError::Kind::Compile, err.kind);
  EXPECT_EQ(1023, err.number);
  EXPECT_EQ("Expected expression", err.description);
  EXPECT_EQ(4, err.line);
  EXPECT_EQ("  x = (1 + ", err.sourceText);
  EXPECT_EQ("Microsoft VBScript compilation error", err.KindText());
  EXPECT_TRUE(e.ProcedureNames("User").empty());
}

TEST(EngineErrors, RuntimeErrorReportsWhereItHappened) {
  Engine e;
  ASSERT_FALSE(e.AddCode("System", "Function Inner(n)\n  Inner = 10 / n\nEnd Function\nFunction Outer()\n  Outer = Inner(0)\nEnd Function"));
  const RunResult r = e.Run("System", "Outer");
  ASSERT_TRUE(r.error);
  EXPECT_EQ(ScriptError::Kind::Runtime, r.error.kind);
  EXPECT_EQ(11, r.error.number);
  EXPECT_EQ("Division by zero", r.error.description);
  EXPECT_EQ(2, r.error.line);
  EXPECT_EQ("  Inner = 10 / n", r.error.sourceText);
  EXPECT_EQ("System", r.error.module);
  EXPECT_EQ(11, e.ErrNumber());
  // The engine stays usable after an error.
  EXPECT_EQ(5, CLng(e.Eval("System", "Inner(2)").value));
}

TEST(EngineErrors, TopLevelErrorOfAddedCode) {
  Engine e;
  const ScriptError err = e.AddCode("", "a = 1\nb = a(2)\n");
  ASSERT_TRUE(err);
  EXPECT_EQ(13, err.number);
  EXPECT_EQ(2, err.line);
}

TEST(EngineTimeout, EndlessLoopStops) {
  Engine e;
  e.SetTimeout(100);
  const auto start = std::chrono::steady_clock::now();
  const ScriptError err = e.AddCode("", "On Error Resume Next\nDo\nx = x + 1\nLoop");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(err);
  EXPECT_EQ(ScriptError::Kind::Timeout, err.kind);
  EXPECT_LT(elapsed, std::chrono::seconds(10));
  // Endless recursion through procedures stops too, as does a loop inside a procedure.
  ASSERT_FALSE(e.AddCode("", "Sub Spin()\nWhile True\nWend\nEnd Sub"));
  EXPECT_EQ(ScriptError::Kind::Timeout, e.Run("", "Spin").error.kind);
  e.SetTimeout(0);
  EXPECT_TRUE(e.Eval("", "1 + 1").ok());
}

// Work that grows faster than the loop turns: the time-out counts the bytes a
// statement or a builtin handles, so a doubling string is stopped long before it
// exhausts memory (the old count of backward jumps let it run to "Out of memory").
TEST(EngineTimeout, GrowingTextStops) {
  Engine e;
  e.SetTimeout(100);
  for (const char* code : {"s = \"x\"\nDo\ns = s & s\nLoop",
                           "On Error Resume Next\ns = \"x\"\nDo : s = s & s : Loop",
                           "s = \"x\"\nDo\ns = Replace(s, \"x\", \"xx\")\nLoop",
                           "a = Array(\"x\", \"y\")\nDo\na = Split(Join(a, \",\") & \",\" & Join(a, \",\"), \",\")\nLoop"}) {
    const ScriptError err = e.AddCode("", code);
    ASSERT_TRUE(err) << code;
    EXPECT_EQ(ScriptError::Kind::Timeout, err.kind) << code << ": " << err.description;
  }
}

TEST(EngineReset, DropsEverything) {
  Engine e;
  e.AddObject("Cnt", MakeRef<Counter>());
  ASSERT_FALSE(e.AddCode("User", "Sub A()\nEnd Sub\ny = 3"));
  e.Reset();
  EXPECT_FALSE(e.HasModule("User"));
  EXPECT_TRUE(e.ProcedureNames("User").empty());
  EXPECT_TRUE(e.Eval("", "IsEmpty(y)").value.AsBoolean());
  EXPECT_EQ(424, e.Eval("", "Cnt.Value").error.number);
}

TEST(EngineObjects, ScriptObjectsAreDispatchObjectsForTheHost) {
  Engine e;
  ASSERT_FALSE(e.AddCode("", "Class Pt\nPublic X\nPublic Function Len2()\nLen2 = X * X\nEnd Function\nEnd Class\n"
                             "Function MakePt()\nSet MakePt = New Pt\nMakePt.X = 3\nEnd Function"));
  const RunResult r = e.Run("", "MakePt");
  ASSERT_TRUE(r.ok());
  Dispatch* pt = r.value.AsObject();
  ASSERT_NE(nullptr, pt);
  EXPECT_EQ("Pt", pt->TypeName());
  EXPECT_EQ(9, CLng(pt->CallMember("Len2")));
  pt->LetMember("X", Variant(int32_t{4}));
  EXPECT_EQ(16, CLng(pt->CallMember("Len2")));
  EXPECT_EQ(kDispUnknown, pt->MemberId("Nothing"));
}

TEST(EngineQuit, HostObjectCanStopTheScript) {
  class Stopper : public HostObject<Stopper> {
   public:
    static const MemberTable<Stopper>& Members() {
      static const MemberTable<Stopper> table("Stopper", {{"Stop", [](Stopper&, Args) -> Variant { Engine::Quit(7); }, nullptr}});
      return table;
    }
  };
  Engine e;
  e.AddObject("S", MakeRef<Stopper>());
  const ScriptError err = e.AddCode("", "On Error Resume Next\nS.Stop\nx = 1");
  EXPECT_EQ(ScriptError::Kind::Quit, err.kind);
  EXPECT_EQ(7, err.number);
  EXPECT_TRUE(e.Eval("", "IsEmpty(x)").value.AsBoolean());
}

TEST(EngineTemplates, GeneratedPageFunctionRuns) {
  Engine e;
  ASSERT_FALSE(e.AddCode("System", "Function ew_Encode(s)\new_Encode = Replace(s, \"<\", \"&lt;\")\nEnd Function"));
  const char* page =
      "Function ovScriptEngine()\r\n"
      "On Error Resume Next\r\n"
      "Dim ovAr(2)\r\n"
      "Dim ovOut\r\n"
      "ovAr(1) = \"<p>\"\r\n"
      "ovAr(2) = \"</p>\"&vbCrLf\r\n"
      "ovOut = ovOut & ovAr(1) & ew_Encode(\"a<b\") & ovAr(2)\r\n"
      "ovScriptEngine = ovOut\r\n"
      "End Function\r\n";
  ASSERT_FALSE(e.AddCode("System", page));
  EXPECT_EQ("<p>a&lt;b</p>\r\n", CStr(e.Run("System", "ovScriptEngine").value));
}

}  // namespace
}  // namespace zantrel::script
