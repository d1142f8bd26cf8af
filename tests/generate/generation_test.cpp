// Generation of the test template over the SQLite test schema, end to end: the
// golden output, archives and folders as templates, the cache of prepared
// scripts, and the failures that must end a run without damaging the destination.
#include <fstream>

#include "generate/generation_support.h"
#include "platform/progress.h"
#include "platform/prompter.h"
#include "support/zip_patch.h"

namespace zantrel::test {
namespace {

// Paths and the version vary from run to run; the golden files hold placeholders.
std::string Normalized(std::string text, const std::string& databasePath, const std::string& version) {
  for (auto [what, with] : {std::pair{databasePath, std::string("@DB@")}, std::pair{" v" + version, std::string(" v@VERSION@")}})
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size())
      text.replace(at, what.size(), with);
  return text;
}

void Touch(const fs::path& file, int secondsAhead) {
  fs::last_write_time(file, fs::file_time_type::clock::now() + std::chrono::seconds(secondsAhead));
}

RecordingProgress& InstallRecording() {
  auto progress = std::make_unique<RecordingProgress>();
  RecordingProgress& ref = *progress;
  InstallProgress(std::move(progress));
  return ref;
}

bool Saw(const RecordingProgress& progress, const std::string& call) {
  return std::find(progress.calls.begin(), progress.calls.end(), call) != progress.calls.end();
}

TEST_F(GenerationTest, TestTemplateGivesTheGoldenFolder) {
  ASSERT_EQ(Generate(), "");
  fs::path golden = fs::path(ZANTREL_TEST_DATA) / "generate" / "expected";
  auto actual = FolderFiles(dest());
  for (auto& [name, text] : actual) text = Normalized(text, database_.path(), project().versionText());
  if (std::getenv("ZANTREL_UPDATE_GOLDEN")) {
    fs::remove_all(golden);
    for (const auto& [name, text] : actual) {
      fs::create_directories((golden / name).parent_path());
      std::ofstream(golden / name, std::ios::binary) << text;
    }
  }
  auto expected = FolderFiles(golden);
  for (const auto& [name, text] : expected) EXPECT_EQ(actual[name], text) << name;
  for (const auto& [name, text] : actual) EXPECT_TRUE(expected.count(name)) << "unexpected " << name;
  EXPECT_EQ(run().summary.written, static_cast<int32_t>(expected.size()) - 1);  // the lib folder is one copy
}

TEST_F(GenerationTest, ArchiveTemplateGeneratesWhatTheFolderDoes) {
  ASSERT_EQ(Generate(), "");
  auto fromFolder = FolderFiles(dest());
  fs::remove_all(dest());
  PackFolder(templateDir(), root_ / "test.zip");
  project().Template((root_ / "test.zip").string());
  ASSERT_EQ(Generate(), "");
  EXPECT_EQ(FolderFiles(dest()), fromFolder);
  EXPECT_TRUE(fs::exists(documents() / "Zantrel" / "Templates" / "test.zip" / "Script" / "control.xml"));
}

TEST_F(GenerationTest, ChangedArchiveAsksWhetherToKeepTheExtractedFiles) {
  PackFolder(templateDir(), root_ / "test.zip");
  project().Template((root_ / "test.zip").string());
  ASSERT_EQ(Generate(), "");
  fs::path extracted = documents() / "Zantrel" / "Templates" / "test.zip" / "Script" / "footer.php";
  std::ofstream(extracted) << "<!-- my own footer -->\n";
  std::ofstream(templateDir() / "footer.php") << "<!-- footer v2 -->\n";
  PackFolder(templateDir(), root_ / "test.zip");
  Touch(root_ / "test.zip", 5);

  auto prompter = std::make_unique<ScriptedPrompter>();
  ScriptedPrompter& prompts = *prompter;
  prompts.replies.push_back({0, false});  // Keep
  InstallPrompter(std::move(prompter));
  project().OtherOverwrite(true);
  table("customers").TblOverwrite(true);
  ASSERT_EQ(Generate(), "");
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].id, "template");
  EXPECT_NE(Slurp(dest() / "customerslist.php").find("my own footer"), std::string::npos);

  prompts.replies.push_back({1, false});  // Overwrite
  Touch(root_ / "test.zip", 10);
  ASSERT_EQ(Generate(), "");
  EXPECT_NE(Slurp(dest() / "customerslist.php").find("footer v2"), std::string::npos);
}

// The last entry lies about its size, so the entries before it are in the
// staging folder when the archive is refused.
TEST_F(GenerationTest, RefusedArchiveLeavesTheTemplateExtractedBefore) {
  const fs::path archive = root_ / "test.zip";
  PackFolder(templateDir(), archive);
  project().Template(archive.string());
  ASSERT_EQ(Generate(), "");
  const fs::path script = documents() / "Zantrel" / "Templates" / "test.zip" / "Script";
  const auto before = FolderFiles(script);

  std::ofstream(templateDir() / "footer.php") << "<!-- footer v2 -->\n";
  PackFolder(templateDir(), archive);
  int error = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
  ASSERT_NE(zip, nullptr);
  const std::string last = zip_get_name(zip, zip_get_num_entries(zip, 0) - 1, 0);
  zip_discard(zip);
  PatchStatedSize(archive, last, 0);
  Touch(archive, 5);
  auto prompter = std::make_unique<ScriptedPrompter>();
  prompter->replies.push_back({1, false});  // Overwrite
  InstallPrompter(std::move(prompter));

  EXPECT_EQ(Generate(), "Zantrel: Extract Template File \"" + archive.string() + "\" failed! " + archive.string() +
                            ": entry \"" + last +
                            "\" holds more data than the 0 bytes its header states Generation aborted!");
  EXPECT_EQ(FolderFiles(script), before);
  EXPECT_FALSE(fs::exists(script.string() + ".extract"));
}

TEST_F(GenerationTest, BrokenArchiveEndsTheRunAndKeepsTheDestination) {
  fs::create_directories(dest());
  std::ofstream(dest() / "customerslist.php") << "mine";
  std::ofstream(root_ / "broken.zip") << "PK this is not an archive";
  project().Template((root_ / "broken.zip").string());
  std::string error = Generate();
  EXPECT_EQ(error.rfind("Zantrel: Extract Template File \"" + (root_ / "broken.zip").string() + "\" failed!", 0), 0u)
      << error;
  EXPECT_EQ(FolderFiles(dest()), (std::map<std::string, std::string>{{"customerslist.php", "mine"}}));

  project().Template((root_ / "missing.zip").string());
  EXPECT_EQ(Generate(), "Zantrel: Template file \"" + (root_ / "missing.zip").string() +
                            "\" not found! Generation aborted!");
}

TEST_F(GenerationTest, ProjectAndTemplateFailuresAreReportedAsWorded) {
  auto empty = MakeRef<ObP>();
  empty->Template(templateDir().string());
  empty->GenScript();
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Database not loaded! Generation aborted!");
  EXPECT_FALSE(fs::exists(documents())) << "no work folder before the project is valid";

  SqliteFile nothing("CREATE TABLE t(x); DROP TABLE t;", "empty.db");
  auto noTables = MakeRef<ObP>();
  noTables->LoadDB(nothing.path(), "sqlite", "", "", "", "", "", "", "", "");
  noTables->GenScript();
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: No tables found in the Database! Generation aborted!");

  std::ofstream(templateDir() / "control.xml") << "<Zantrel>\n<control id=";
  std::string expected = "Zantrel: Load Template Control File \"" + templateDir().string() +
                         "/control.xml\" failed! Generation aborted! Reason: Error parsing element attribute at line 2, "
                         "column 13.";
  EXPECT_EQ(Generate(), expected);
  EXPECT_EQ(project().GenCheck(), 0);
  EXPECT_EQ(ObP::ProjErr(), expected);
}

TEST_F(GenerationTest, TemplateWithoutPhraseFileUsesTheLanguageDefault) {
  fs::rename(templateDir() / "lang.xml", root_ / "phrases.xml");
  project().Language = (root_ / "phrases.xml").string();
  ASSERT_EQ(Generate(), "");
  EXPECT_NE(Slurp(dest() / "customersedit.php").find("Edit & save"), std::string::npos);

  project().Language = (root_ / "none.xml").string();
  EXPECT_EQ(Generate(), "Zantrel: Load Language File \"" + (root_ / "none.xml").string() +
                            "\" failed! Generation aborted! Reason: No such file or directory.");
  // Without a phrase file of its own the template's is the one named.
  project().Language.clear();
  EXPECT_EQ(Generate(), "Zantrel: Load Language File \"" + (templateDir() / "lang.xml").string() +
                            "\" failed! Generation aborted! Reason: No such file or directory.");
}

TEST_F(GenerationTest, PreparedScriptsAreReusedUntilAnInputChanges) {
  RecordingProgress& progress = InstallRecording();
  const std::string preparing = "ShowProgress3 Zantrel - Preparing Script Files for generation...";
  ASSERT_EQ(Generate(), "");
  EXPECT_TRUE(Saw(progress, preparing));

  progress.calls.clear();
  ASSERT_EQ(Generate(), "");
  EXPECT_FALSE(Saw(progress, preparing)) << "nothing changed: no script is prepared";
  EXPECT_TRUE(Saw(progress, "ShowProgress3 Zantrel - Generating PHP Scripts..."));

  progress.calls.clear();
  Touch(templateDir() / "shared.php", 5);  // included by the edit page only
  ASSERT_EQ(Generate(), "");
  EXPECT_TRUE(Saw(progress, "SetInfo Loading edit script ..."));
  EXPECT_FALSE(Saw(progress, "SetInfo Loading list script ..."));

  progress.calls.clear();
  ASSERT_EQ(Generate(), "");
  Touch(templateDir() / "control.xml", 10);
  progress.calls.clear();
  ASSERT_EQ(Generate(), "");
  for (const char* id : {"list", "edit", "js", "report", "blobview", "fieldinfo", "index", "login", "logout"})
    EXPECT_TRUE(Saw(progress, std::string("SetInfo Loading ") + id + " script ...")) << id;

  progress.calls.clear();
  project().SecType("None");  // a session condition reads it
  ASSERT_EQ(Generate(), "");
  EXPECT_TRUE(Saw(progress, preparing));
  EXPECT_EQ(Slurp(dest() / "customerslist.php").find("login.php"), std::string::npos);
}

TEST_F(GenerationTest, CheckCountsExistingPagesAndWritesNothing) {
  EXPECT_EQ(project().GenCheck(), 0);
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_FALSE(fs::exists(dest()));
  ASSERT_EQ(Generate(), "");
  // The walk stops at the first table that has pages: customers' list, edit and script.
  EXPECT_EQ(project().GenCheck(), 3);
  fs::remove(dest() / "customersedit.php");
  EXPECT_EQ(project().GenCheck(), 2);
}

TEST_F(GenerationTest, CancelEndsTheRunBetweenPages) {
  ASSERT_EQ(Generate(), "");
  auto before = FolderFiles(dest());
  std::ofstream(templateDir() / "footer.php") << "<!-- new footer -->\n";
  table("customers").TblOverwrite(true);
  table("orders").TblOverwrite(true);
  RecordingProgress& progress = InstallRecording();
  progress.cancelAfterPolls = 2;
  EXPECT_EQ(Generate(), "Generation cancelled by user!");
  auto after = FolderFiles(dest());
  EXPECT_EQ(after.size(), before.size()) << "no temporary file is left behind";
  EXPECT_NE(after["customerslist.php"].find("new footer"), std::string::npos);
  EXPECT_EQ(after["orderslist.php"], before["orderslist.php"]) << "a page the run did not reach keeps its content";
  EXPECT_EQ(progress.calls.back(), "CloseProgress");
}

TEST_F(GenerationTest, ScriptFailingForOneTableStopsThereAndWritesNothingForIt) {
  fs::create_directories(dest());
  std::ofstream(dest() / "orderslist.php") << "previous";
  std::string list = Slurp(templateDir() / "list.php");
  list.replace(list.find("<body>"), 6, "<body><!--## If TABLE.TblName = \"orders\" Then Do: Loop ##-->");
  std::ofstream(templateDir() / "list.php") << list;
  Context().scriptEngineTimeout = 300;
  std::string error = Generate();
  Context().scriptEngineTimeout = 0;
  EXPECT_NE(error.find("Zantrel: Generate Table orders list page error\r\n"), std::string::npos) << error;
  EXPECT_TRUE(fs::exists(dest() / "customerslist.php"));
  EXPECT_EQ(Slurp(dest() / "orderslist.php"), "previous");
  EXPECT_FALSE(fs::exists(dest() / "type_zoolist.php")) << "the run stops at the failing table";
}

TEST_F(GenerationTest, UnwritableDestinationIsAnErrorNotACrash) {
  std::ofstream(root_ / "a-file") << "x";
  project().Destination((root_ / "a-file" / "out").string());
  std::string error = Generate();
  EXPECT_EQ(error.rfind("Zantrel: ", 0), 0u) << error;
  EXPECT_NE(error.find("a-file/out"), std::string::npos) << error;
  EXPECT_EQ(Slurp(root_ / "a-file"), "x");
}

TEST_F(GenerationTest, KeyNamingAMissingFieldSwitchesEditingOff) {
  table("customers").TblKey("no_such_field");
  ASSERT_EQ(Generate(), "");
  EXPECT_FALSE(fs::exists(dest() / "customersedit.php"));
  EXPECT_FALSE(table("customers").TblEdit());
  EXPECT_FALSE(table("customers").TblAdd());
  EXPECT_FALSE(table("customers").TblDelete());
  EXPECT_TRUE(fs::exists(dest() / "ordersedit.php"));
}

}  // namespace
}  // namespace zantrel::test
