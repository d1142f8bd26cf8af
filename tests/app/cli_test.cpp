// The command line as a user drives it: exit codes, output, and the files it writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <fstream>
#include <iterator>
#include <string>

#include "support/run_cli.h"
#include "support/temp_config.h"

namespace {

namespace fs = std::filesystem;

using Result = zantrel::test::CliResult;
using zantrel::test::Cli;

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class CliTest : public ::testing::Test {
 protected:
  zantrel::test::TempConfig config;
  std::string Project(const char* name) const { return (config.user() / name).string(); }
};

TEST_F(CliTest, VersionAndUsage) {
  Result v = Cli("--version");
  EXPECT_EQ(v.exitCode, 0);
  EXPECT_EQ(v.out.rfind("zantrel ", 0), 0u);
  EXPECT_EQ(Cli("").exitCode, 2);
  EXPECT_EQ(Cli("frobnicate").exitCode, 2);
  EXPECT_EQ(Cli("show --bogus").exitCode, 2);
  EXPECT_EQ(Cli("config").exitCode, 2);
  Result help = Cli("config --help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: zantrel config"), std::string::npos);
}

TEST_F(CliTest, ShowJsonListsEverySettingInOrder) {
  Result r = Cli("show --json");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  std::size_t first = r.out.find("\"name\": \"ProjName\"");
  std::size_t last = r.out.find("\"name\": \"LinkOnLeft\"");
  EXPECT_LT(first, last);
  std::size_t count = 0;
  for (std::size_t at = 0; (at = r.out.find("\"name\":", at)) != std::string::npos; ++at) ++count;
  EXPECT_EQ(count, 88u);
  EXPECT_NE(r.out.find("\"name\": \"SecType\", \"dataType\": \"String\", \"regSave\": false, \"regFormat\": 0, "
                       "\"fileSave\": true, \"sync\": true, \"value\": \"None\""),
            std::string::npos);
  EXPECT_NE(r.out.find("\"name\": \"AutoSync\", \"dataType\": \"Boolean\", \"regSave\": false, \"regFormat\": 0, "
                       "\"fileSave\": true, \"sync\": true, \"value\": true"),
            std::string::npos);
  EXPECT_NE(r.out.find("\"name\": \"PagerStyle\", \"dataType\": \"Integer\", \"regSave\": true, \"regFormat\": 4, "
                       "\"fileSave\": true, \"sync\": true, \"value\": 2"),
            std::string::npos);
}

TEST_F(CliTest, ConfigRoundTripsEveryValueType) {
  struct Row {
    const char* set;
    const char* get;
  } rows[] = {
      {"config set Name 'plain text'", "plain text\n"},
      {"config set Path '%HOME%/x' --type expand_sz", "%HOME%/x\n"},
      {"config set Count 31 --type dword", "31\n"},
      {"config set Hexed 0x1f --type dword", "31\n"},
      {"config set Blob 01,ff,00 --type binary", "01,ff,00\n"},
      {"config set List first second --type multi_sz", "first\nsecond\n"},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(Cli(row.set).exitCode, 0) << row.set;
    std::string name = std::string(row.set).substr(11);
    name = name.substr(0, name.find(' '));
    Result got = Cli("config get " + name);
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, row.get) << row.set;
  }
  std::string file = ReadText(config.userFile());
  EXPECT_EQ(file.rfind("ZANTREL REGISTRY Version 1", 0), 0u);
  EXPECT_NE(file.find("\"Count\"=dword:0000001f"), std::string::npos);
  EXPECT_NE(file.find("\"Path\"=str(2):\"%HOME%/x\""), std::string::npos);
  EXPECT_NE(file.find("\"Blob\"=hex:01,ff,00"), std::string::npos);
  EXPECT_NE(Cli("config list").out.find("Count=dword:0000001f"), std::string::npos);

  EXPECT_EQ(Cli("config unset Count").exitCode, 0);
  EXPECT_EQ(Cli("config get Count").exitCode, 1);
  EXPECT_EQ(Cli("config unset Count").exitCode, 1);
  EXPECT_EQ(Cli("config set Count abc --type dword").exitCode, 2);
  EXPECT_EQ(Cli("config set X y --type nonsense").exitCode, 2);
}

TEST_F(CliTest, ConfigMachineFile) {
  ASSERT_EQ(Cli("config set Language english.xml --machine").exitCode, 0);
  EXPECT_EQ(Cli("config get Language --machine").out, "english.xml\n");
  EXPECT_NE(ReadText(config.machineFile()).find("\"Language\"=\"english.xml\""), std::string::npos);
}

TEST_F(CliTest, CorruptStoreIsReportedAndKept) {
  std::string broken = "ZANTREL REGISTRY Version 1\n\n[Software\\Zantrel\\3.1\\Settings]\n\"A\"=\"unterminated\n";
  std::ofstream(config.userFile(), std::ios::binary) << broken;
  Result r = Cli("config set B x");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("user.reg:4"), std::string::npos) << r.out;
  EXPECT_EQ(ReadText(config.userFile()), broken);
}

TEST_F(CliTest, NewSetShow) {
  std::string p = Project("shop.zpr");
  ASSERT_EQ(Cli("new " + p + " --name Shop").exitCode, 0);
  EXPECT_EQ(Cli("new " + p).exitCode, 1);  // exists
  ASSERT_EQ(Cli("set " + p + " RecPerPage=30 ExportCsv=true 'BodyTitle=My \"Shop\"'").exitCode, 0);
  Result shown = Cli("show " + p + " --json");
  ASSERT_EQ(shown.exitCode, 0) << shown.out;
  EXPECT_NE(shown.out.find("\"name\": \"ProjName\", \"dataType\": \"String\", \"regSave\": false, \"regFormat\": 0, "
                           "\"fileSave\": true, \"sync\": true, \"value\": \"Shop\""),
            std::string::npos);
  EXPECT_NE(shown.out.find("\"value\": 30"), std::string::npos);
  EXPECT_NE(shown.out.find("\"value\": \"My \\\"Shop\\\"\""), std::string::npos);

  std::string before = ReadText(p);
  EXPECT_EQ(Cli("set " + p + " RecPerPage=lots").exitCode, 1);
  EXPECT_EQ(Cli("set " + p + " NoSuchSetting=1").exitCode, 1);
  EXPECT_EQ(Cli("set " + p + " novalue").exitCode, 2);
  EXPECT_EQ(ReadText(p), before);  // refused changes save nothing
  EXPECT_EQ(Cli("show " + p + " --table orders").exitCode, 1);
  EXPECT_EQ(Cli("show " + Project("missing.zpr")).exitCode, 1);
}

TEST_F(CliTest, RenderUsesTheControlOfTheTemplateFile) {
  fs::path data = ZANTREL_TEST_DATA;
  fs::path dir = data / "templates" / "every_block";
  Result r = Cli("render " + (dir / "page.php").string() + " --project " + (data / "golden_project.zpr").string() +
                 " --table customers --template-dir " + dir.string());
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(r.out, ReadText(dir / "expected.out"));
  Result script = Cli("prepare --template-dir " + dir.string() + " --control page --project " +
                      (data / "golden_project.zpr").string());
  EXPECT_EQ(script.exitCode, 0);
  EXPECT_NE(script.out.find("Function ovScriptEngine()"), std::string::npos);
  EXPECT_EQ(Cli("render " + (dir / "page.php").string() + " --table nosuch --project " +
                (data / "golden_project.zpr").string()).exitCode, 1);
}

}  // namespace

namespace {

TEST_F(CliTest, GenerateWritesTheApplicationAndSummarises) {
  fs::path root = config.user();
  setenv("ZANTREL_DOCUMENTS_DIR", (root / "docs").c_str(), 1);
  std::string db = (root / "t.db").string();
  std::string schema = std::string(ZANTREL_TEST_DATA) + "/schema/sqlite.sql";
  ASSERT_EQ(std::system(("sqlite3 " + db + " < " + schema).c_str()), 0);
  std::string project = Project("g.zpr");
  ASSERT_EQ(Cli("new " + project + " --type sqlite --db " + db).exitCode, 0);
  std::string common = project + " --template " + ZANTREL_TEST_DATA + "/generate/template --dest " +
                       (root / "out").string();

  Result first = Cli("generate " + common);
  ASSERT_EQ(first.exitCode, 0) << first.out;
  EXPECT_NE(first.out.find(" written, 0 skipped, 0 backed up, in "), std::string::npos) << first.out;
  EXPECT_TRUE(fs::exists(root / "out" / "customerslist.php"));

  Result check = Cli("generate --check " + common);
  EXPECT_EQ(check.exitCode, 0);
  EXPECT_NE(check.out.find("At least 3 pages of the output exist already"), std::string::npos) << check.out;

  std::ofstream(root / "out" / "customerslist.php") << "mine";
  Result none = Cli("generate " + common + " --overwrite none --quiet");
  EXPECT_EQ(none.exitCode, 0);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(ReadText(root / "out" / "customerslist.php"), "mine");

  Result all = Cli("generate " + common + " --overwrite all --backup");
  EXPECT_EQ(all.exitCode, 0) << all.out;
  EXPECT_EQ(ReadText(root / "out" / "customerslist.php.bak"), "mine");
  EXPECT_NE(ReadText(root / "out" / "customerslist.php"), "mine");

  EXPECT_EQ(Cli("generate " + common + " --overwrite sometimes").exitCode, 2);
  Result broken = Cli("generate " + project + " --template " + (root / "nope.zip").string() + " --dest " +
                      (root / "out").string());
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_NE(broken.out.find("not found! Generation aborted!"), std::string::npos) << broken.out;
  unsetenv("ZANTREL_DOCUMENTS_DIR");
}

std::string Shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) out += static_cast<char>(c);
  if (pipe) pclose(pipe);
  return out;
}

// The helpers the default template builds its metadata with, on real fields.
TEST_F(CliTest, FieldMetadataHelpers) {
  fs::path root = config.user();
  std::string db = (root / "m.db").string();
  ASSERT_EQ(std::system(("sqlite3 " + db + " \"CREATE TABLE t (id INTEGER PRIMARY KEY, d DATE, s VARCHAR(20), "
                                   "at DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP)\"").c_str()), 0);
  std::string project = Project("m.zpr");
  ASSERT_EQ(Cli("new " + project + " --type sqlite --db " + db).exitCode, 0);
  ASSERT_EQ(Cli("set " + project + " FldValidate=EURODATE --field t.d").exitCode, 0);
  ASSERT_EQ(Cli("set " + project + " \"FldCaption=it's a \\\\ test\" FldTagValues='\"a\",\"A\"|\"b\",\"B\"' "
                "FldHtmlTag=SELECT --field t.s").exitCode, 0);
  std::ofstream(root / "meta.php") << "<!--##=PhpFieldMeta(FIELD)##-->";
  auto meta = [&](const std::string& field) {
    Result r = Cli("render " + (root / "meta.php").string() + " --project " + project + " --table t --field " + field);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    return r.out;
  };
  std::string date = meta("d");
  EXPECT_NE(date.find("'validate' => 'date'"), std::string::npos) << date;
  EXPECT_NE(date.find("'format' => ['kind' => 'date', 'date' => 'd/m/Y']"), std::string::npos) << date;
  std::string text = meta("s");
  EXPECT_NE(text.find("'caption' => 'it\\'s a \\\\ test'"), std::string::npos) << text;
  EXPECT_NE(text.find("'control' => 'SELECT', 'values' => ['a' => 'A', 'b' => 'B']"), std::string::npos) << text;
  EXPECT_NE(text.find("'maxlen' => 20"), std::string::npos) << text;
  EXPECT_NE(text.find("'nullable' => true"), std::string::npos) << text;
  EXPECT_EQ(text.find("'db_default'"), std::string::npos) << text;
  std::string stamp = meta("at");
  EXPECT_NE(stamp.find("'nullable' => false"), std::string::npos) << stamp;
  EXPECT_NE(stamp.find("'db_default' => true"), std::string::npos) << stamp;
}

// Database settings through --database, and rights texts checked before anything is saved.
TEST_F(CliTest, DatabaseSettingsAndRightsTexts) {
  fs::path root = config.user();
  std::string db = (root / "r.db").string();
  ASSERT_EQ(std::system(("sqlite3 " + db + " \"CREATE TABLE t (id INTEGER PRIMARY KEY)\"").c_str()), 0);
  std::string p = Project("r.zpr");
  ASSERT_EQ(Cli("new " + p + " --type sqlite --db " + db).exitCode, 0);
  ASSERT_EQ(Cli("set " + p + " --database SecUserLevelFld=level 'SecDefault=admin:*,+customer:lv' MaxUploadSize=9")
                .exitCode, 0);
  Result shown = Cli("show " + p + " --database");
  ASSERT_EQ(shown.exitCode, 0) << shown.out;
  EXPECT_NE(shown.out.find("\"level\""), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("\"admin:*,+customer:lv\""), std::string::npos) << shown.out;
  EXPECT_NE(Cli("show " + p + " --database --json").out.find("\"name\": \"MaxUploadSize\", \"dataType\": \"Long\""),
            std::string::npos);
  ASSERT_EQ(Cli("set " + p + " --table t 'TblSecurity=admin:*, staff:lvsaecxg,*:l'").exitCode, 0);
  // A table that appears later gets SecDefault as its rights.
  ASSERT_EQ(std::system(("sqlite3 " + db + " \"CREATE TABLE u (id INTEGER PRIMARY KEY)\"").c_str()), 0);
  ASSERT_EQ(Cli("sync " + p).exitCode, 0);
  EXPECT_NE(Cli("show " + p + " --table u").out.find("\"admin:*,+customer:lv\""), std::string::npos);

  std::string before = ReadText(p);
  struct Bad {
    const char* args;
    const char* says;
  };
  for (const Bad& bad : std::initializer_list<Bad>{
           {"--table t TblSecurity=staff:lvq", "unknown right 'q' in 'staff:lvq'"},
           {"--table t TblSecurity=staff", "has no ':'"},
           {"--table t TblSecurity=:lv", "names no level"},
           {"--table t 'TblSecurity=st aff:lv'", "may hold only"},
           {"--table t TblSecurity=staff:ll", "given twice"},
           {"--table t TblSecurity=a:l,a:v", "named twice"},
           {"--database SecDefault=admin:**", "unknown right '*'"},
           {"--database MaxUploadSize=lots", "not a valid Long"},
       }) {
    Result r = Cli("set " + p + " " + bad.args);
    EXPECT_EQ(r.exitCode, 1) << bad.args;
    EXPECT_NE(r.out.find(bad.says), std::string::npos) << bad.args << ": " << r.out;
  }
  EXPECT_EQ(Cli("set " + p + " --database --table t SecDefault=a:l").exitCode, 2);
  EXPECT_EQ(Cli("show --database").exitCode, 2);
  EXPECT_EQ(ReadText(p), before);
}

TEST_F(CliTest, DemoKeepsItsDataAndRefusesADatabaseWithoutTheShop) {
  fs::path root = config.user();
  setenv("ZANTREL_DOCUMENTS_DIR", (root / "docs").c_str(), 1);
  std::string dest = (root / "shop").string();
  Result first = Cli("demo --quiet --dest " + dest);
  ASSERT_EQ(first.exitCode, 0) << first.out;
  EXPECT_NE(ReadText(root / "shop" / "config.php").find(root.string() + "/shop-data/shop.db"), std::string::npos);
  EXPECT_TRUE(fs::exists(root / "shop-data" / "shop.zpr"));

  // The user's changes to the demo data survive a second run.
  ASSERT_EQ(std::system(("sqlite3 " + dest + "-data/shop.db \"DELETE FROM order_items\"").c_str()), 0);
  ASSERT_EQ(Cli("demo --quiet --dest " + dest).exitCode, 0);
  EXPECT_EQ(Shell("sqlite3 " + dest + "-data/shop.db \"SELECT COUNT(*) FROM order_items\""), "0\n");
  EXPECT_EQ(Cli("demo --quiet --dest " + dest + " --db x").exitCode, 2);

  std::string other = (root / "other.db").string();
  ASSERT_EQ(std::system(("sqlite3 " + other + " < " + ZANTREL_TEST_DATA + "/schema/sqlite.sql").c_str()), 0);
  Result refused = Cli("demo --quiet --dest " + (root / "o").string() + " --type sqlite --db " + other);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.out.find(other + " does not hold the demo shop"), std::string::npos) << refused.out;
  EXPECT_FALSE(fs::exists(root / "o"));
  EXPECT_FALSE(fs::exists(root / "o-data"));
  unsetenv("ZANTREL_DOCUMENTS_DIR");
}

}  // namespace
