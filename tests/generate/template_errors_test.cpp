// Template problems told at the author's file, line and column; run-time
// errors that a page's On Error Resume Next hid; the time-out on every run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/context.h"
#include "generate/check_template.h"
#include "generate/generation_run.h"
#include "generate/render.h"
#include "core/error.h"
#include "project/project.h"
#include "platform/registry_store.h"
#include "support/temp_config.h"

namespace zantrel {
namespace {

namespace fs = std::filesystem;

class TemplateErrorsTest : public ::testing::Test {
 protected:
  test::TempConfig config;
  Ref<ObP> project = MakeRef<ObP>();
  fs::path fixture = fs::path(ZANTREL_TEST_DATA) / "template_errors";

  GenerationRun& Render(const std::string& text) {
    RenderRequest request;
    request.templateName = "list.php";
    request.templateText = text;
    thrown = {};
    try {
      RenderTemplate(*project, request);
    } catch (const Error& e) {
      thrown = e.description();
    }
    return RunOf(*project);
  }
  std::string thrown;  // the description of what the last call threw
};

TEST_F(TemplateErrorsTest, TheScriptTimeOutHoldsOnEveryRun) {
  test::TempConfig fresh;  // a user without defaults yet
  RegistryStore machine(fresh.machineFile(), 0755, 0644);
  std::string key = Context().SettingsKey();
  machine.Write(key, "Language", RegValue::String("english.xml"));
  machine.Write(key, "ScriptEngineTimeout", RegValue::Number(200));
  MakeRef<ObP>()->SaveDefault();  // the first run copies the machine's defaults to the user's key
  Context().scriptEngineTimeout = 0;
  machine.Write(key, "ScriptEngineTimeout", RegValue::Number(0));  // later runs read the user's key only
  auto second = MakeRef<ObP>();
  ASSERT_EQ(Context().scriptEngineTimeout, 200);
  second->SaveDefault();
  EXPECT_EQ(RegistryStore(fresh.userFile()).Read(key, "ScriptEngineTimeout")->number, 200u);
  second->Parse("<p><!--## Do : Loop ##--></p>");
  EXPECT_NE(ObP::ProjErr().find("VBScript Runtime error"), std::string::npos) << ObP::ProjErr();
  EXPECT_NE(ObP::ProjErr().find("timed out"), std::string::npos) << ObP::ProjErr();
  Context().scriptEngineTimeout = 0;
}

TEST_F(TemplateErrorsTest, ACompileErrorIsToldAtTheTemplateLineWithTheWordedReportKept) {
  GenerationRun& run = Render("<?php\n\n\n  <td><!--##=Foo(##--></td>\n");
  ASSERT_TRUE(run.errorAt);
  EXPECT_EQ(FormatPosition(*run.errorAt),
            "list.php(4, 18): VBScript compilation error: Expected expression\n"
            "      <td><!--##=Foo(##--></td>\n"
            "                     ^\n");
  EXPECT_EQ(thrown.rfind("Zantrel: VBScript Syntax Error\r\n", 0), 0u) << thrown;
  EXPECT_EQ(run.errorAt->message, thrown);

  // Code blocks map column by column, on their own lines; tabs stay under the caret.
  Render("<p>\r\n\t<!--## Dim a\r\n  a = (1 +  ##-->\r\n");
  ASSERT_TRUE(run.errorAt);
  EXPECT_EQ(run.errorAt->pos.line, 3);
  EXPECT_EQ(FormatPosition(*run.errorAt).substr(0, 43), "list.php(3, 13): VBScript compilation error");
  Render("\t\t<!--##=Foo(##-->");
  EXPECT_EQ(FormatPosition(*run.errorAt).substr(FormatPosition(*run.errorAt).find('\n') + 1),
            "    \t\t<!--##=Foo(##-->\n    \t\t           ^\n");
}

TEST_F(TemplateErrorsTest, ABlockErrorIsToldAtItsLineInAnLfTemplate) {
  GenerationRun& run = Render("<?php\n$x = 1;\n  <!--##=TABLE.TblName\n");
  EXPECT_EQ(thrown, "Incomplete Block at line 3 column 3! Generation failed!");
  ASSERT_TRUE(run.errorAt);
  EXPECT_EQ(FormatPosition(*run.errorAt),
            "list.php(3, 3): template error: Incomplete Block\n      <!--##=TABLE.TblName\n      ^\n");
}

TEST_F(TemplateErrorsTest, ASwallowedRunTimeErrorIsReportedWithThePageKept) {
  GenerationRun& run = Render("<p>\n<!--## Dim n : n = 1 / 0 : n = CLng(\"x\") ##-->\n<!--##=n##--></p>");
  EXPECT_EQ(thrown, "");
  EXPECT_FALSE(run.errorAt);
  ASSERT_EQ(run.warnings.size(), 1u);  // the first error is the one told
  EXPECT_EQ(FormatPosition(run.warnings[0]).substr(0, 58),
            "list.php(2, 16): VBScript runtime error: Division by zero\n");

  // Err left set at the end (without a statement that failed) is reported without a place.
  Render("<!--## Err.Number = 5 ##-->ok");
  ASSERT_EQ(run.warnings.size(), 1u);
  EXPECT_FALSE(run.warnings[0].pos);
  // An error inside a called procedure is told where the page called it.
  Render("<!--## Dim a ##-->\n<!--##=Mid(\"abc\", 0)##-->");
  ASSERT_EQ(run.warnings.size(), 1u);
  EXPECT_EQ(run.warnings[0].pos.line, 2);
  EXPECT_EQ(run.warnings[0].pos.column, 8);
  Render("<p>clean</p>");
  EXPECT_TRUE(run.warnings.empty());
}

TEST_F(TemplateErrorsTest, SessionsAndIncludesMapToTheFileTheTextCameFrom) {
  std::string script;
  EXPECT_THROW(GenerateControlPage(*project, fixture.string(), "list", RenderRequest{}, &script), Error);
  GenerationRun& run = RunOf(*project);
  ASSERT_TRUE(run.errorAt) << run.error;
  EXPECT_EQ(run.errorAt->pos.file, "parts.php");
  EXPECT_EQ(run.errorAt->pos.line, 3);
  EXPECT_EQ(run.errorAt->pos.column, 19);  // right behind the expression that ended too soon
  EXPECT_EQ(run.errorAt->pos.lineText, "  <td><!--##=Foo(1##--></td>");
  EXPECT_EQ(run.errorAt->description, "Expected ')'");
}

TEST_F(TemplateErrorsTest, JoinedInputFilesMapToEachFile) {
  fs::path dir = config.user() / "joined";
  fs::create_directories(dir);
  std::ofstream(dir / "control.xml") << "<Zantrel><control id=\"page\" type=\"other\" ofile=\"page\" oext=\"php\" "
                                        "ifiles=\"head.php,missing.php,body.php\"/></Zantrel>";
  std::ofstream(dir / "head.php") << "<html>\n<!--##=PROJ.ProjName##-->\n";
  std::ofstream(dir / "body.php") << "<body>\n\n<!--## x = (1 ##-->\n";
  EXPECT_THROW(GenerateControlPage(*project, dir.string(), "page", RenderRequest{}), Error);
  GenerationRun& run = RunOf(*project);
  ASSERT_TRUE(run.errorAt) << run.error;
  EXPECT_EQ(run.errorAt->pos.file, "body.php");
  EXPECT_EQ(run.errorAt->pos.line, 3);
  EXPECT_EQ(run.errorAt->pos.column, 15);  // the end of the code, where ")" was due
}

TEST_F(TemplateErrorsTest, CheckTemplateListsEveryProblemOnce) {
  std::vector<TemplateDiagnostic> problems = CheckTemplate(*project, fixture.string());
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(FormatPosition(problems[0]).substr(0, 58),
            "parts.php(3, 19): VBScript compilation error: Expected ')'");

  fs::path broken = config.user() / "broken";
  fs::copy(fixture, broken);
  std::ofstream(broken / "index.php") << "<html>\n<!--##=a <!--##=b##-->\n";
  std::ofstream(broken / "lang.xml") << "<not closed";
  problems = CheckTemplate(*project, broken.string());
  std::string all;
  for (const TemplateDiagnostic& d : problems) all += FormatPosition(d);
  EXPECT_EQ(problems.size(), 3u) << all;
  EXPECT_NE(all.find("lang.xml: template error: "), std::string::npos) << all;
  EXPECT_NE(all.find("index.php(2, 10): template error: Nested Blocks found"), std::string::npos) << all;
  EXPECT_EQ(ObP::ProjErr(), "");

  // prepare tells the same place, beside the parser's worded report.
  fs::remove(broken / "lang.xml");
  try {
    PrepareControl(*project, broken.string(), "index");
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.description(), "Nested Blocks found at line 2 column 10! Generation failed!");
    EXPECT_EQ(e.file(), "index.php");
    EXPECT_EQ(e.line(), 2);
    EXPECT_EQ(e.column(), 10);
  }
  ASSERT_TRUE(RunOf(*project).errorAt);
  EXPECT_EQ(RunOf(*project).errorAt->pos.file, "index.php");
  EXPECT_EQ(RunOf(*project).errorAt->pos.line, 2);
}

}  // namespace
}  // namespace zantrel
