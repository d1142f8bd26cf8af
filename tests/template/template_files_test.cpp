// The control file and the phrase file of a template.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "template/control_file.h"
#include "template/folder_path.h"
#include "template/language_file.h"
#include "support/temp_config.h"

using namespace zantrel;
namespace fs = std::filesystem;

namespace {

class TemplateFiles : public ::testing::Test {
 protected:
  std::string Write(const char* name, const std::string& text) {
    fs::path file = config.user() / name;
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
  }
  test::TempConfig config;
};

TEST(FolderPath, Normalisation) {
  struct Row {
    const char* in;
    const char* out;
  } rows[] = {{"a\\b", "a/b/"}, {"/a/b/", "a/b/"}, {"\\a\\b\\", "a/b/"}, {"/inc", "inc/"}, {"", ""}, {"x", "x/"}};
  for (const Row& r : rows) EXPECT_EQ(NormalizeFolder(r.in), r.out) << r.in;
}

TEST_F(TemplateFiles, ControlsAndSessions) {
  std::string file = Write("control.xml", R"(<?xml version="1.0"?>
<zantrel date="2026-12-01" version="1.0" desc="Default" author="Us">
  <control id="list" type="table" ofile="list" oext="php" ifiles="list.php" ofolder="/inc" SPACE="false">
    <session type="table" value="header" ifile="header.php" cond="x"/>
    <Session TYPE="other"/>
    <other/>
  </control>
  <comment/>
  <Control id="css" type="copy" ifolder="css\img" ID="last wins"/>
</zantrel>)");
  auto controls = MakeRef<ObPControls>();
  ASSERT_TRUE(controls->LoadControls(file)) << controls->LastError();
  EXPECT_EQ(controls->ProdDesc, "Default");
  ASSERT_EQ(controls->Count(), 2);
  Ref<ObPControl> list = controls->Item(1);
  EXPECT_EQ(controls->curIndex, 1);
  EXPECT_EQ(list->CtrlOFolder, "inc/");
  EXPECT_FALSE(list->CtrlSpace);
  ASSERT_EQ(list->Sessions().Count(), 2);
  EXPECT_EQ(list->Sessions().Item(1)->SessIFile, "header.php");
  EXPECT_EQ(list->Sessions().Item(2)->SessType, "other");
  Ref<ObPControl> css = controls->Item(2);
  EXPECT_EQ(css->CtrlID, "last wins");
  EXPECT_EQ(css->CtrlIFolder, "css/img/");
  EXPECT_TRUE(css->CtrlSpace);
  EXPECT_EQ(css->Sessions().Count(), 0);
  EXPECT_FALSE(controls->Item(3));
  EXPECT_EQ(controls->curIndex, 2);
}

TEST_F(TemplateFiles, ControlFileFailures) {
  const std::string failed = "Load control file failed! Please check if the correct template file is in use! Reason: ";
  const std::string invalid = "Control file is invalid! Please check if the correct template file is in use! Reason: ";
  auto controls = MakeRef<ObPControls>();
  EXPECT_FALSE(controls->LoadControls(Write("bad.xml", "<zantrel>\n<control")));
  EXPECT_EQ(controls->LastError(), failed + "Error parsing start element tag at line 2, column 8.");
  EXPECT_EQ(controls->LastReason(), "Error parsing start element tag at line 2, column 8");
  EXPECT_FALSE(controls->LoadControls((config.user() / "missing.xml").string()));
  EXPECT_EQ(controls->LastError(), failed + "No such file or directory.");
  EXPECT_FALSE(controls->LoadControls(config.user().string()));
  EXPECT_EQ(controls->LastError(), failed + "not a regular file.");
  EXPECT_FALSE(controls->LoadControls(Write("other.xml", "<Generator><control id=\"a\"/></Generator>")));
  EXPECT_EQ(controls->LastError(), invalid + "the root element is <Generator>, not <Zantrel>.");
  EXPECT_EQ(controls->Count(), 0);
  // Ids are looked up without case: the second could never be reached.
  EXPECT_FALSE(controls->LoadControls(
      Write("twice.xml", "<Zantrel>\n  <control id=\"list\"/>\n  <control id=\"edit\"/>\n  <control ID=\"List\"/>\n</Zantrel>")));
  EXPECT_EQ(controls->LastError(), invalid + "control id \"List\" given twice at line 4, column 4.");
  EXPECT_FALSE(controls->LoadControls(Write("attr.xml", "<Zantrel><control id=\"a\" type=\"table\" id=\"b\"/></Zantrel>")));
  EXPECT_EQ(controls->LastError(), failed + "attribute id given twice in <control> at line 1, column 11.");
  EXPECT_TRUE(controls->LoadControls(Write("upper.xml", "<ZANTREL><control/><control/></ZANTREL>")));
  EXPECT_EQ(controls->LastError(), "");
  EXPECT_THROW(controls->LoadControls(Write("space.xml", "<Zantrel><control space=\"maybe\"/></Zantrel>")),
               std::exception);
}

TEST_F(TemplateFiles, Phrases) {
  auto lang = MakeRef<ObPLanguage>();
  ASSERT_TRUE(lang->Load(Write("lang.xml", R"(<ZANTREL.LANGUAGE>
    <phrase id="Add" value="Add new"/>
    <PHRASE ID="x" VALUE="first"/>
    <phrase id="X" value="second"/>
    <phrase value="no id"/>
    <other id="y" value="ignored"/>
  </ZANTREL.LANGUAGE>)")));
  EXPECT_EQ(lang->Count(), 4);
  EXPECT_EQ(lang->Phrase("add"), "Add new");
  EXPECT_EQ(lang->Phrase("x"), "second");
  EXPECT_EQ(lang->Phrase("y"), "");
  EXPECT_EQ(lang->curIndex(), 0);
  EXPECT_FALSE(lang->Load(Write("wrong.xml", "<Zantrel><phrase id=\"a\" value=\"b\"/></Zantrel>")));
  EXPECT_EQ(lang->LastError(), "Language file is invalid! Reason: the root element is <Zantrel>, not <Zantrel.language>.");
  EXPECT_EQ(lang->Count(), 0);
  EXPECT_FALSE(lang->Load(Write("broken.xml", "<Zantrel.language>")));
  EXPECT_EQ(lang->LastError(), "Load language file failed! Reason: Start-end tags mismatch at line 1, column 18.");
  EXPECT_FALSE(lang->Load(Write("nul.xml", "<Zantrel.language><phrase id=\"a\" value=\"&#0;\"/></Zantrel.language>")));
  EXPECT_EQ(lang->LastReason(), "NUL character at line 1, column 41");
  EXPECT_FALSE(lang->Load(""));
  EXPECT_EQ(lang->LastReason(), "no file named");
}

}  // namespace
