// What a generation run hands back: its summary and its error as values, and
// the joined text of a control's template files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/error.h"
#include "generate/generate.h"
#include "generate/prepare.h"
#include "project/project.h"
#include "support/error_of.h"
#include "support/temp_config.h"

using namespace zantrel;
using namespace zantrel::test;
namespace fs = std::filesystem;

namespace {

TEST(GenerateOutcome, TheErrorIsAValueOfTheRun) {
  TempConfig config;
  auto project = MakeRef<ObP>();
  const GenerateOutcome outcome = Generate(*project);
  EXPECT_EQ(outcome.error, "Zantrel: Database not loaded! Generation aborted!");
  EXPECT_EQ(outcome.summary.written, 0);
  project->GenScript();
  EXPECT_EQ(ObP::ProjErr(), outcome.error) << "the project object words it the same";
  const std::string page = project->Parse("<!--## If ##-->");
  EXPECT_EQ(page, "");
  EXPECT_NE(ObP::ProjErr().find("VBScript Syntax Error"), std::string::npos) << ObP::ProjErr();
  EXPECT_EQ(ErrorOf([&] { ParseTemplateText(*project, "<!--## If ##-->"); }), err::kTemplate);
  EXPECT_EQ(project->Parse("a<!--##=1+1##-->b"), "a2b");
  EXPECT_EQ(ObP::ProjErr(), "");
  ObP::ProjErr("");
}

TEST(JoinInputFiles, ReturnsTheTextOfTheListedFiles) {
  const fs::path dir = fs::temp_directory_path() / ("zantrel-join-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "temp");
  std::ofstream(dir / "a.txt") << "A\r\n";
  std::ofstream(dir / "b.txt") << "B";
  GenerationRun run;
  run.templateFolder = dir.string();
  run.tempFolder = (dir / "temp").string();
  EXPECT_EQ(JoinInputFiles(run, "a.txt"), "A\r\n");
  EXPECT_EQ(JoinInputFiles(run, "a.txt,missing.txt,b.txt"), "A\r\nB") << "files of a list that exist, joined";
  EXPECT_EQ(ErrorOf([&] { JoinInputFiles(run, "missing.txt"); }), err::kPathFileAccess);
  EXPECT_TRUE(fs::is_empty(dir / "temp")) << "nothing is written for the caller to read back";
  fs::remove_all(dir);
}

}  // namespace
