// The script engine host: system and user code, the error reports, running pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/context.h"
#include "core/convert.h"
#include "model/project.h"
#include "platform/registry_store.h"
#include "support/temp_config.h"
#include "template/control_file.h"
#include "template/language_file.h"
#include "template/script_host.h"

using namespace zantrel;
namespace fs = std::filesystem;

namespace {

class ScriptHost : public ::testing::Test {
 protected:
  ScriptHost() {
    Context().projErr.clear();
    project = MakeRef<ObPModel>();
  }
  ~ScriptHost() override {
    if (host) host->ReleaseEngine();
    Context().projErr.clear();
  }
  std::string Write(const char* name, const std::string& text) {
    fs::path file = config.user() / name;
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
  }
  void SetValue(const char* name, const std::string& value) {
    RegistryStore(config.userFile()).Write(Context().SettingsKey(), name, RegValue::String(value));
  }
  void Start() {
    host = MakeRef<ObScript>();
    host->Initialize(ObjectVariant(project), Variant::Nothing(), ObjectVariant(MakeRef<ObPControls>()),
                     ObjectVariant(MakeRef<ObPLanguage>()));
  }
  test::TempConfig config;
  Ref<ObPModel> project;
  Ref<ObScript> host;
};

const char* const kPage = "Function ovScriptEngine()\r\novScriptEngine = PROJ.ProjName & \"!\"\r\nEnd Function\r\n";

TEST_F(ScriptHost, RunsAPageWithTheProject) {
  project->ProjName("Shop");
  Start();
  ASSERT_EQ(Context().projErr, "");
  EXPECT_EQ(host->BuildNewCode(kPage, 0, 0), "Shop!");
  EXPECT_EQ(host->BuildNewCode(kPage, 0, 0), "Shop!");  // the same text again
  EXPECT_TRUE(host->ModuleExist("include_file"));       // built-in system code is overridable
  EXPECT_FALSE(host->UserModuleExist("Include_File"));
}

TEST_F(ScriptHost, ErrorReportsAreWorded) {
  Start();
  EXPECT_EQ(host->BuildNewCode("Function ovScriptEngine(\r\nEnd Function\r\n", 0, 0), "");
  EXPECT_EQ(Context().projErr.rfind("Zantrel: VBScript Syntax Error\r\n", 0), 0u) << Context().projErr;
  EXPECT_NE(Context().projErr.find("\r\nIn line 1: \r\n"), std::string::npos);
  Context().projErr.clear();
  EXPECT_EQ(host->BuildNewCode("Function ovScriptEngine()\r\novScriptEngine = 1 / 0\r\nEnd Function\r\n", 0, 0), "");
  EXPECT_EQ(Context().projErr, "VBScript Runtime error \r\nDivision by zero\r\novScriptEngine = 1 / 0\r\n");
}

TEST_F(ScriptHost, UserScriptAndHooks) {
  SetValue("USERCODE", Write("user.vbs", "Function USER_Title(s)\r\nUSER_Title = UCase(s)\r\nEnd Function\r\n"));
  Start();
  ASSERT_EQ(Context().projErr, "");
  EXPECT_TRUE(host->UserModuleExist("user_title"));
  std::string page = "Function ovScriptEngine()\r\novScriptEngine = USER_Title(\"abc\")\r\nEnd Function\r\n";
  EXPECT_EQ(host->BuildNewCode(page, 0, 0), "ABC");
}

TEST_F(ScriptHost, UserScriptSyntaxErrorNamesTheFile) {
  std::string file = Write("broken.vbs", "Sub Broken(\r\n");
  SetValue("USERCODE", file);
  Start();
  EXPECT_EQ(Context().projErr.rfind("(" + file + ") : VBScript Syntax Error\r\n", 0), 0u) << Context().projErr;
}

TEST_F(ScriptHost, MissingUserScript) {
  SetValue("USERCODE", (config.user() / "nope.vbs").string());
  Start();
  EXPECT_EQ(Context().projErr, "Zantrel: Script file " + (config.user() / "nope.vbs").string() +
                                   " not found! Content not loaded!");
}

TEST_F(ScriptHost, SyscodeDescription) {
  Write("prefix.txt", "Dim <name>Tmp\r\n");
  Write("suffix.txt", "' end of <name>(<parm>)\r\n");
  Write("greet.txt", "Hello <!--##=who##-->!");
  Write("plain.txt", "<!--## Function Plain() : Plain = 7 : End Function ##-->");
  SetValue("SYSCODE", Write("syscode.xml", "<any><file id=\" Greet \" value=\"greet.txt\" function=\"true\" "
                                           "parm=\"who\" override=\"true\"/><file value=\"plain.txt\" "
                                           "function=\"false\" override=\"true\"/><file value=\"\"/></any>"));
  SetValue("SYSCODEPREFIX", (config.user() / "prefix.txt").string());
  SetValue("SYSCODESUFFIX", (config.user() / "suffix.txt").string());
  SetValue("USERCODE", Write("user.vbs", "Function USER_Greet(s)\r\nUSER_Greet = s & \"?\"\r\nEnd Function\r\n"));
  project->Destination((config.user() / "out").string());
  fs::create_directories(config.user() / "out");
  Start();
  ASSERT_EQ(Context().projErr, "");
  EXPECT_TRUE(host->ModuleExist("greet"));
  EXPECT_FALSE(host->ModuleExist("Plain"));
  std::string page = "Function ovScriptEngine()\r\novScriptEngine = Greet(\"you\") & Plain()\r\nEnd Function\r\n";
  EXPECT_EQ(host->BuildNewCode(page, 0, 0), "Hello you!?7");
  EXPECT_TRUE(fs::exists(config.user() / "out" / "syscode.txt"));
}

TEST_F(ScriptHost, MissingSyscodeDescription) {
  std::string file = (config.user() / "none.xml").string();
  SetValue("SYSCODE", file);
  Start();
  EXPECT_EQ(Context().projErr, "Load syscode file " + file + " failed!");
}

TEST_F(ScriptHost, EndlessScriptStops) {
  Start();
  std::string page = "Function ovScriptEngine()\r\nDo\r\nLoop\r\nEnd Function\r\n";
  EXPECT_EQ(host->BuildNewCode(page, 0, 200), "");
  EXPECT_EQ(Context().projErr.rfind("VBScript Runtime error ", 0), 0u);
}

}  // namespace
