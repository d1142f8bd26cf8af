// What a template author sees on the command line: check-template, and the
// warnings and --strict of generate for run-time errors a page hid.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/run_cli.h"
#include "support/temp_config.h"

namespace {

namespace fs = std::filesystem;

using zantrel::test::Cli;
using zantrel::test::CliResult;

class TemplateCliTest : public ::testing::Test {
 protected:
  zantrel::test::TempConfig config;
  fs::path data = ZANTREL_TEST_DATA;
  fs::path fixture = data / "template_errors";
};

TEST_F(TemplateCliTest, CheckTemplateListsProblemsOfAFolderOrAnArchive) {
  CliResult r = Cli("check-template " + fixture.string());
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_EQ(r.out, "parts.php(3, 19): VBScript compilation error: Expected ')'\n"
                   "      <td><!--##=Foo(1##--></td>\n"
                   "                      ^\n" +
                       fixture.string() + ": 1 problem\n");

  fs::path archive = config.user() / "t.zip";
  ASSERT_EQ(std::system(("cd " + fixture.string() + " && zip -q -r " + archive.string() + " .").c_str()), 0);
  CliResult zipped = Cli("check-template " + archive.string());
  EXPECT_EQ(zipped.exitCode, 1);
  EXPECT_NE(zipped.out.find("parts.php(3, 19): VBScript compilation error"), std::string::npos) << zipped.out;

  fs::path shipped = data.parent_path().parent_path() / "templates" / "default";
  CliResult clean = Cli("check-template " + shipped.string() + " --project " + (data / "golden_project.zpr").string());
  EXPECT_EQ(clean.exitCode, 0) << clean.out;
  EXPECT_NE(clean.out.find("no problems found"), std::string::npos);

  EXPECT_EQ(Cli("check-template " + (config.user() / "nothing").string()).exitCode, 1);
  EXPECT_EQ(Cli("check-template").exitCode, 2);
}

TEST_F(TemplateCliTest, RenderShowsTheTemplatePlaceBeforeTheWordedReport) {
  fs::path page = config.user() / "list.php";
  std::ofstream(page) << "<?php\n\n  <p><!--##=TABLE.TblName\n";
  CliResult r = Cli("render " + page.string());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, page.string() + "(3, 6): template error: Incomplete Block\n"
                   "      <p><!--##=TABLE.TblName\n"
                   "         ^\n"
                   "zantrel render: Incomplete Block at line 3 column 6! Generation failed!\n");
}

TEST_F(TemplateCliTest, GenerateWarnsOfHiddenRunTimeErrorsAndStrictFailsThePage) {
  fs::path root = config.user();
  setenv("ZANTREL_DOCUMENTS_DIR", (root / "docs").c_str(), 1);
  std::string db = (root / "t.db").string();
  ASSERT_EQ(std::system(("sqlite3 " + db + " < " + (data / "schema" / "sqlite.sql").string()).c_str()), 0);
  std::string project = (root / "g.zpr").string();
  ASSERT_EQ(Cli("new " + project + " --type sqlite --db " + db).exitCode, 0);
  fs::path tpl = root / "tpl";
  fs::copy(fixture, tpl);
  std::string common = project + " --template " + tpl.string() + " --overwrite all --quiet --dest ";

  CliResult broken = Cli("generate " + common + (root / "out0").string());
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_EQ(broken.out.rfind("parts.php(3, 19): VBScript compilation error: Expected ')'\n", 0), 0u) << broken.out;
  EXPECT_NE(broken.out.find("zantrel generate: VBScript Syntax Error"), std::string::npos) << broken.out;

  std::ofstream(tpl / "parts.php") << "<!--##session row##-->\n<tr><td><!--##=TABLE.TblName##--></td></tr>\n"
                                      "<!--##/session##-->\n";
  CliResult warned = Cli("generate " + common + (root / "out1").string());
  EXPECT_EQ(warned.exitCode, 0) << warned.out;
  EXPECT_NE(warned.out.find("zantrel: warning: a run-time error was skipped in "), std::string::npos) << warned.out;
  EXPECT_NE(warned.out.find("index.php(2, 16): VBScript runtime error: Division by zero\n"
                            "    <!--## Dim n : n = 1 / 0 ##-->\n"
                            "                   ^\n"),
            std::string::npos)
      << warned.out;
  EXPECT_TRUE(fs::exists(root / "out1" / "index.php"));

  CliResult strict = Cli("generate " + common + (root / "out2").string() + " --strict");
  EXPECT_EQ(strict.exitCode, 1) << strict.out;
  EXPECT_NE(strict.out.find("(not written)"), std::string::npos) << strict.out;
  EXPECT_NE(strict.out.find("1 page not written"), std::string::npos) << strict.out;
  EXPECT_FALSE(fs::exists(root / "out2" / "index.php"));
  EXPECT_TRUE(fs::exists(root / "out2" / "customerslist.php"));
  unsetenv("ZANTREL_DOCUMENTS_DIR");
}

}  // namespace
