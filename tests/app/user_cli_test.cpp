// The command line as a new user meets it: first run, refusals, messages and help.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/run_cli.h"
#include "support/temp_config.h"

namespace {

namespace fs = std::filesystem;

using Result = zantrel::test::CliResult;
using zantrel::test::Cli;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class UserCliTest : public ::testing::Test {
 protected:
  zantrel::test::TempConfig config;
  std::string Project(const char* name) const { return (config.user() / name).string(); }
};

// A value set before the first project survives the first run's copy of the machine defaults.
TEST_F(UserCliTest, ConfigSetBeforeFirstProjectIsKept) {
  ASSERT_EQ(Cli("config set RecPerPage 50 --type dword").exitCode, 0);
  std::string p = Project("p.zpr");
  ASSERT_EQ(Cli("new " + p).exitCode, 0);
  EXPECT_EQ(Cli("config get RecPerPage").out, "50\n");
  Result shown = Cli("show " + p + " --json");
  std::size_t at = shown.out.find("\"name\": \"RecPerPage\"");
  ASSERT_NE(at, std::string::npos) << shown.out;
  std::string entry = shown.out.substr(at, shown.out.find('}', at) - at);
  EXPECT_TRUE(Has(entry, "\"value\": 50")) << entry;

  Result list = Cli("config list");
  EXPECT_TRUE(Has(list.out, "RecPerPage=dword:00000032\n")) << list.out;
  EXPECT_TRUE(Has(list.out, "Language=\"lang.xml\"  (machine default)\n")) << list.out;
}

TEST_F(UserCliTest, ConfigUnsetFirstRunAndRefusalWritesNothing) {
  EXPECT_EQ(Cli("config set Count abc --type dword").exitCode, 2);
  EXPECT_FALSE(fs::exists(config.userFile()));
  // Before any first run, list shows what the machine gives.
  EXPECT_TRUE(Has(Cli("config list").out, "Language=\"lang.xml\"  (machine default)"));
  ASSERT_EQ(Cli("config unset P_CGIPath").exitCode, 0);
  EXPECT_EQ(Cli("config get P_CGIPath").exitCode, 1);
  EXPECT_EQ(Cli("config get Language").out, "lang.xml\n");
  ASSERT_EQ(Cli("new " + Project("q.zpr")).exitCode, 0);
  EXPECT_EQ(Cli("config get P_CGIPath").exitCode, 1);  // no second first run
}

TEST_F(UserCliTest, MessagesCarryOnePrefixTheReasonAndASuggestion) {
  Result missing = Cli("show " + Project("nosuch.zpr"));
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, "zantrel show: Load Project File failed! Please check! Reason: No such file or directory. (" +
                             Project("nosuch.zpr") + ")\n");

  std::string p = Project("p.zpr");
  ASSERT_EQ(Cli("new " + p).exitCode, 0);
  fs::permissions(p, fs::perms::none);
  if (geteuid() != 0) {  // root reads any file
    Result denied = Cli("show " + p);
    EXPECT_TRUE(Has(denied.out, "): Permission denied\n")) << denied.out;
  }
  fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write);

  Result setting = Cli("set " + p + " RecPerPag=10");
  EXPECT_EQ(setting.exitCode, 1);
  EXPECT_EQ(setting.out, "zantrel set: unknown setting 'RecPerPag'; did you mean 'RecPerPage'?\n");
  EXPECT_FALSE(Has(Cli("set " + p + " Colour=1").out, "did you mean"));  // nothing close

  Result command = Cli("genrate " + p);
  EXPECT_EQ(command.exitCode, 2);
  EXPECT_TRUE(Has(command.out, "unknown command 'genrate'; did you mean 'generate'?")) << command.out;
  Result flag = Cli("show " + p + " --jsno");
  EXPECT_EQ(flag.exitCode, 2);
  EXPECT_TRUE(Has(flag.out, "zantrel show: unknown option --jsno; did you mean '--json'?")) << flag.out;

  Result engine = Cli("sync " + p);
  EXPECT_EQ(engine.exitCode, 1);
  EXPECT_EQ(engine.out, "zantrel sync: Database not loaded!\n");
}

// Each refusal exits 2, names the argument and leaves no file behind.
TEST_F(UserCliTest, BadArgumentsAreRefusedBeforeAnythingIsWritten) {
  const std::string p = Project("z.zpr");
  struct Row {
    std::string args;
    std::string named;
  } rows[] = {
      {"new " + p + " --type mssql --db X", "--type takes sqlite, mysql, postgresql or oracle, not 'mssql'"},
      {"new " + p + " --type postgress --db X", "did you mean 'postgresql'?"},
      {"new " + p + " --type mysql --db X --port 33o6", "--port takes a port number from 1 to 65535, not '33o6'"},
      {"new " + p + " --type mysql --db X --port 70000", "--port"},
      {"new " + p + " --type sqlite --db " + Project("none.db"), "--db: no such file"},
      {"new " + p + " --type mysql --db X --method odbc", "--method takes native or JDBC"},
      {"databases --type oracel", "--type"},
      {"demo --dest " + Project("d") + " --http-port http", "--http-port takes a port number"},
  };
  for (const Row& row : rows) {
    Result r = Cli(row.args);
    EXPECT_EQ(r.exitCode, 2) << row.args << "\n" << r.out;
    EXPECT_TRUE(Has(r.out, row.named)) << row.args << "\n" << r.out;
    EXPECT_FALSE(fs::exists(p)) << row.args;
    EXPECT_FALSE(fs::exists(Project("d"))) << row.args;
  }
}

// Table names are keys without letter case: a report or custom view named like a
// table in another case is refused with the loader's words, and the file is kept.
TEST_F(UserCliTest, ReportAndCustomViewNamedLikeATableInAnotherCase) {
  const std::string db = Project("shop.db");
  ASSERT_EQ(std::system(("sqlite3 " + db + " 'CREATE TABLE Orders (id INTEGER PRIMARY KEY, total REAL)'").c_str()), 0);
  const std::string p = Project("shop.zpr");
  Result made = Cli("new " + p + " --type sqlite --db " + db);
  ASSERT_EQ(made.exitCode, 0) << made.out;
  EXPECT_EQ(made.out, "1 table, 0 views, 2 fields from shop.db\n");
  std::ifstream before(p);
  const std::string saved((std::istreambuf_iterator<char>(before)), {});

  Result report = Cli("report " + p + " ORDERS --from Orders");
  EXPECT_EQ(report.exitCode, 1);
  EXPECT_EQ(report.out, "zantrel report: Table/View ORDERS already exists!\n");
  Result view = Cli("custom-view " + p + " orders --sql 'SELECT id FROM Orders'");
  EXPECT_EQ(view.exitCode, 1);
  EXPECT_EQ(view.out, "zantrel custom-view: Table/View orders already exists!\n");
  std::ifstream after(p);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), {}), saved);
}

std::string Complete(const std::string& words, int current) {
  const fs::path script = fs::path(ZANTREL_TEST_DATA).parent_path().parent_path() / "app/completion/zantrel.bash";
  const std::string command = "PATH=" + fs::path(ZANTREL_CLI).parent_path().string() + ":$PATH bash -c 'source " +
                              script.string() + "; COMP_WORDS=(" + words + "); COMP_CWORD=" + std::to_string(current) +
                              "; _zantrel; echo \"${COMPREPLY[*]}\"'";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  pclose(pipe);
  return out;
}

TEST_F(UserCliTest, BashCompletionOffersCommandsFlagsAndSettings) {
  EXPECT_EQ(Complete("zantrel gen", 1), "generate\n");
  EXPECT_EQ(Complete("zantrel show --js", 2), "--json\n");
  EXPECT_EQ(Complete("zantrel set p.zpr RecPerPa", 3), "RecPerPage= RecPerPageList=\n");
}

}  // namespace
