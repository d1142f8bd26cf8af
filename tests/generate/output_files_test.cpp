// Output naming, the overwrite rules with their questions and backups, and the
// clean-up of page text.
#include <fstream>

#include "generate/generation_support.h"
#include "generate/output_files.h"
#include "generate/output_text.h"

namespace zantrel::test {
namespace {

TEST(OutputText, StripLeadingBlankLinesKeepsTheFirstLinesIndent) {
  EXPECT_EQ(StripLeadingBlankLines(" \t\r\n\n  <?php\n\nx"), "  <?php\n\nx");
  EXPECT_EQ(StripLeadingBlankLines("  \n\t"), "");
  EXPECT_EQ(StripLeadingBlankLines("a"), "a");
}

TEST(OutputText, CleanOutputDropsBlankLinesAndSetsCommentRunsApart) {
  EXPECT_EQ(CleanOutput("a\n\n  \nb\r\n// one\n// two\nc\n// lone\nd", "1"),
            "a\r\nb\r\n\r\n// one\r\n// two\r\n\r\nc\r\n\r\n// lone\r\nd\r\n");
  EXPECT_EQ(CleanOutput("<HEAD></Head>", "2.1"),
            "<HEAD><meta name=\"generator\" content=\"Zantrel v2.1\" />\r\n</Head>\r\n");
}

TEST(OutputText, GeneratorTagGoesBeforeEveryHeadEnd) {
  EXPECT_EQ(InsertGeneratorTag("x</head>y</HEAD>", "1"),
            "x<meta name=\"generator\" content=\"Zantrel v1\" />\r\n</head>y"
            "<meta name=\"generator\" content=\"Zantrel v1\" />\r\n</HEAD>");
  EXPECT_EQ(InsertGeneratorTag("<head>no end", "1"), "<head>no end");
}

class OutputFilesTest : public GenerationTest {};

TEST_F(OutputFilesTest, OutputPathFollowsTheNamingSettings) {
  project().Destination("/srv/Out");
  EXPECT_EQ(BuildOutputPath(project(), "a.php", false, true), "/srv/Out/a.php");
  project().Destination("/srv/Out/");
  EXPECT_EQ(BuildOutputPath(project(), "a.php", true, true), "/srv/Out/a.php");
  project().OutputNameType("Prefix");
  project().OutputNameExt("x_");
  EXPECT_EQ(BuildOutputPath(project(), "a.php", true, true), "/srv/Out/x_a.php");
  EXPECT_EQ(BuildOutputPath(project(), "a.php", false, false), "a.php");
  project().OutputNameType("Suffix");
  project().OutputNameLCase(true);
  EXPECT_EQ(BuildOutputPath(project(), "Orders", true, true), "/srv/Out/ordersx_");
  project().OutputNameType("Other");
  EXPECT_EQ(BuildOutputPath(project(), "A", true, false), "a");
  EXPECT_EQ(NormalizeFolder("  lib "), "lib/");
  EXPECT_EQ(NormalizeFolder(""), "");
}

TEST_F(OutputFilesTest, NamingSettingsNameTheGeneratedPages) {
  project().OutputNameType("Prefix");
  project().OutputNameExt("X_");
  project().OutputNameLCase(true);
  table("customers").TblVar("Customers");
  ASSERT_EQ(Generate(), "");
  EXPECT_TRUE(fs::exists(dest() / "x_customerslist.php"));
  EXPECT_TRUE(fs::exists(dest() / "x_type_zoo_dataview.php"));
  EXPECT_TRUE(fs::exists(dest() / "index.php")) << "other pages are not renamed";
  EXPECT_NE(Slurp(dest() / "index.php").find("href=\"x_customerslist.php\""), std::string::npos);
}

TEST_F(OutputFilesTest, StarExtensionTakesTheProjectsPageExtension) {
  project().P_Ext("php8");
  ASSERT_EQ(Generate(), "");
  EXPECT_TRUE(fs::exists(dest() / "customerslist.php8"));
  EXPECT_TRUE(fs::exists(dest() / "customersedit.php"));
}

// Runs once, then marks every output "old" so that a second run shows what it replaced.
class OverwriteTest : public GenerationTest {
 protected:
  void SetUp() override {
    GenerationTest::SetUp();
    ASSERT_EQ(Generate(), "");
    for (auto& [name, text] : FolderFiles(dest())) std::ofstream(dest() / name) << "old";
  }
  int Replaced() {
    int n = 0;
    for (auto& [name, text] : FolderFiles(dest())) n += text != "old" && name.find(".bak") == std::string::npos;
    return n;
  }
  ScriptedPrompter& Scripted() {
    auto prompter = std::make_unique<ScriptedPrompter>();
    ScriptedPrompter& ref = *prompter;
    InstallPrompter(std::move(prompter));
    return ref;
  }
};

TEST_F(OverwriteTest, WithoutPromptTheOverwriteSettingsDecide) {
  project().OtherOverwrite(false);
  ObPTables& tables = project().openDatabase()->tables();
  for (int32_t t = 0; t < tables.Count(); ++t) tables.At(t)->TblOverwrite(false);
  ASSERT_EQ(Generate(), "");
  EXPECT_EQ(Replaced(), 0);
  table("orders").TblOverwrite(true);
  ASSERT_EQ(Generate(), "");
  EXPECT_EQ(Replaced(), 3);
  EXPECT_NE(Slurp(dest() / "orderslist.php"), "old");
  EXPECT_EQ(run().summary.written, 3);
}

TEST_F(OverwriteTest, SkipWithAllAsksOnceAndSkipsTheRest) {
  project().PromptOnOverwrite(true);
  table("customers").TblOverwrite(true);
  table("orders").TblOverwrite(true);
  ScriptedPrompter& prompts = Scripted();
  prompts.replies = {{0, false}, {1, true}};  // overwrite the first, then skip all
  ASSERT_EQ(Generate(), "");
  EXPECT_EQ(prompts.asked.size(), 2u);
  EXPECT_EQ(prompts.asked[0].message, "File " + (dest() / "customerslist.php").string() + " already exists!");
  EXPECT_EQ(prompts.asked[0].buttons, (std::vector<std::string>{"Overwrite", "Skip", "Cancel"}));
  EXPECT_EQ(Replaced(), 1);
}

TEST_F(OverwriteTest, OverwriteWithAllAsksOnceAndWritesTheRest) {
  project().PromptOnOverwrite(true);
  project().OtherOverwrite(true);
  table("customers").TblOverwrite(true);
  ScriptedPrompter& prompts = Scripted();
  prompts.replies = {{0, true}};
  ASSERT_EQ(Generate(), "");
  EXPECT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(Replaced(), static_cast<int>(FolderFiles(dest()).size())) << "the answer covers every later file";
}

TEST_F(OverwriteTest, CancelEndsTheRunAndNothingIsReplaced) {
  project().PromptOnOverwrite(true);
  table("customers").TblOverwrite(true);
  ScriptedPrompter& prompts = Scripted();
  prompts.replies = {{2, false}};
  EXPECT_EQ(Generate(), "Generation cancelled by user!");
  EXPECT_EQ(Replaced(), 0);
}

TEST_F(OverwriteTest, NoOneToAskMeansSkipAndANotice) {
  project().PromptOnOverwrite(true);
  table("customers").TblOverwrite(true);
  ASSERT_EQ(Generate(), "");
  EXPECT_EQ(Replaced(), 0);
  EXPECT_FALSE(Prompts().notices.empty());
}

TEST_F(OverwriteTest, BackupKeepsThePreviousContent) {
  project().BackupFile = true;
  table("customers").TblOverwrite(true);
  ASSERT_EQ(Generate(), "");
  EXPECT_EQ(Slurp(dest() / "customerslist.php.bak"), "old");
  EXPECT_NE(Slurp(dest() / "customerslist.php"), "old");
  EXPECT_EQ(Slurp(dest() / "lib.bak" / "sub" / "more.php"), "old") << "a copied folder is backed up whole";
  EXPECT_GT(run().summary.backedUp, 3);
}

}  // namespace
}  // namespace zantrel::test
