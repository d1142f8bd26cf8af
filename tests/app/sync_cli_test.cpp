// zantrel check and sync as a CI pipeline and a person use them: exit codes,
// the listed differences, the saved project, and show's load-time check.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/folder_text.h"
#include "support/run_cli.h"
#include "support/temp_config.h"

namespace {

namespace fs = std::filesystem;
using zantrel::test::Cli;
using zantrel::test::ReadText;

class SyncCli : public ::testing::Test {
 protected:
  void SetUp() override {
    Exec("CREATE TABLE customers (customer_id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(50), fax VARCHAR(20))");
    ASSERT_EQ(Cli("new " + project + " --type sqlite --db " + database).exitCode, 0);
    ASSERT_EQ(Cli("set " + project + " --field customers.name FldCaption=Customer").exitCode, 0);
  }
  void Exec(const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
  }
  // customers with name resized, fax dropped and phone added, and a new table.
  void ChangeDatabase() {
    Exec("DROP TABLE customers; CREATE TABLE customers (customer_id INTEGER NOT NULL PRIMARY KEY, "
         "name VARCHAR(80), phone VARCHAR(20)); CREATE TABLE invoices (invoice_id INTEGER PRIMARY KEY)");
  }

  zantrel::test::TempConfig config;
  std::string database = (config.user() / "shop.db").string();
  std::string project = (config.user() / "shop.zpr").string();
};

TEST_F(SyncCli, CheckThenSyncThenInStep) {
  EXPECT_EQ(Cli("check " + project).exitCode, 0);
  ChangeDatabase();
  auto check = Cli("check " + project);
  EXPECT_EQ(check.exitCode, 3) << check.out;
  EXPECT_NE(check.out.find("changed field customers.name: FldSize \"50\" -> \"80\""), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("dropped field customers.fax"), std::string::npos);
  EXPECT_NE(check.out.find("new field customers.phone"), std::string::npos);
  EXPECT_NE(check.out.find("new table invoices (TABLE)"), std::string::npos);
  EXPECT_NE(check.out.find("4 difference(s) from the database"), std::string::npos);

  auto json = Cli("check " + project + " --json");
  EXPECT_EQ(json.exitCode, 3);
  EXPECT_EQ(json.out.rfind("{\"inStep\": false, \"count\": 4, \"differences\": [", 0), 0u) << json.out;
  EXPECT_NE(json.out.find("{\"kind\": \"droppedField\", \"table\": \"customers\", \"tableType\": \"TABLE\", "
                          "\"field\": \"fax\"}"),
            std::string::npos);

  const std::string before = ReadText(project);
  auto dry = Cli("sync " + project + " --dry-run");
  EXPECT_EQ(dry.exitCode, 0) << dry.out;
  EXPECT_NE(dry.out.find("added table invoices (TABLE)"), std::string::npos) << dry.out;
  // fax dropped and phone added in its place, both text: taken for a rename unless told otherwise.
  EXPECT_NE(dry.out.find("renamed field customers.fax -> phone"), std::string::npos) << dry.out;
  EXPECT_EQ(ReadText(project), before);

  auto sync = Cli("sync " + project + " --keys keep --no-rename");
  EXPECT_EQ(sync.exitCode, 0) << sync.out;
  EXPECT_NE(sync.out.find("deleted field customers.fax"), std::string::npos) << sync.out;
  EXPECT_EQ(Cli("check " + project).exitCode, 0);
  EXPECT_NE(Cli("show " + project + " --field customers.name").out.find("\"Customer\""), std::string::npos);
  EXPECT_EQ(Cli("sync " + project + " --keys sometimes").exitCode, 2);
}

TEST_F(SyncCli, UnreadableDatabaseExitsOne) {
  fs::remove(database);
  auto check = Cli("check " + project);
  EXPECT_EQ(check.exitCode, 1) << check.out;
  const std::string before = ReadText(project);
  EXPECT_EQ(Cli("sync " + project).exitCode, 1);
  EXPECT_EQ(ReadText(project), before);
  // show loads the project as saved and says why the check could not run.
  auto show = Cli("show " + project + " --table customers");
  EXPECT_EQ(show.exitCode, 0) << show.out;
  EXPECT_NE(show.out.find("zantrel: Unable to load database information! Reason: "), std::string::npos) << show.out;
}

// A 0-byte file opens as a valid database without tables: taken at its word,
// sync would delete every table of the project.
TEST_F(SyncCli, GenerateNeedsTheDatabaseUnlessOffline) {
  fs::remove(database);
  const std::string common = project + " --template " + ZANTREL_TEST_DATA + "/generate/template --dest " +
                             (config.user() / "out").string() + " --quiet";
  auto refused = Cli("generate " + common);
  EXPECT_EQ(refused.exitCode, 1) << refused.out;
  EXPECT_NE(refused.out.find("Unable to load database information!"), std::string::npos) << refused.out;
  EXPECT_NE(refused.out.find("pass --offline"), std::string::npos) << refused.out;
  EXPECT_FALSE(fs::exists(config.user() / "out"));
  auto offline = Cli("generate " + common + " --offline");
  EXPECT_EQ(offline.exitCode, 0) << offline.out;
}

// Every page of a custom view wraps its SQL in parentheses: it must be one SELECT.
TEST_F(SyncCli, CustomViewSqlIsOneSelect) {
  auto add = [&](const std::string& name, const std::string& sql) {
    return Cli("custom-view " + project + " " + name + " --sql \"" + sql + "\"");
  };
  EXPECT_EQ(add("v1", "SELECT name FROM customers; -- all of them\n").exitCode, 0);
  EXPECT_EQ(add("v2", "SELECT name /* ; */ FROM customers WHERE name <> ';--'").exitCode, 0);
  auto shown = Cli("show " + project + " --table v1");
  EXPECT_NE(shown.out.find("\"SELECT name FROM customers\""), std::string::npos) << shown.out;
  EXPECT_NE(Cli("show " + project + " --table v2").out.find("\"SELECT name   FROM customers WHERE name <> ';--'\""),
            std::string::npos);
  struct Row {
    const char* sql;
    const char* reason;
  } refused[] = {
      {"SELECT name FROM customers; DELETE FROM customers", "holds more than one statement"},
      {"SELECT 'a FROM customers", "has an unclosed quote"},
      {"SELECT name FROM customers /* note", "has an unclosed comment"},
  };
  for (const Row& r : refused) {
    auto result = add("bad", r.sql);
    EXPECT_EQ(result.exitCode, 1) << r.sql;
    EXPECT_NE(result.out.find(std::string("zantrel custom-view: The custom view's SQL ") + r.reason + "!"), std::string::npos)
        << result.out;
  }
  EXPECT_EQ(Cli("show " + project + " --table bad").exitCode, 1) << "nothing stored";
}

TEST_F(SyncCli, EmptyDatabaseIsNotTakenAtItsWord) {
  const std::string before = ReadText(project);
  fs::resize_file(database, 0);
  auto sync = Cli("sync " + project);
  EXPECT_EQ(sync.exitCode, 1) << sync.out;
  EXPECT_NE(sync.out.find("zantrel sync: Synchronization would remove 1 of 1 tables and views (the database has no "
                          "tables). Nothing was changed. If the tables are really gone, run again with --allow-drop."),
            std::string::npos)
      << sync.out;
  EXPECT_EQ(ReadText(project), before);
  EXPECT_FALSE(fs::exists(project + ".prev"));

  auto show = Cli("show " + project + " --table customers --sync update");
  EXPECT_EQ(show.exitCode, 1) << show.out;
  EXPECT_NE(show.out.find("--allow-drop"), std::string::npos) << show.out;
  EXPECT_EQ(Cli("show " + project + " --table customers --sync update --allow-drop").exitCode, 1)
      << "allowed, the table is gone for this run";

  auto allowed = Cli("sync " + project + " --allow-drop");
  EXPECT_EQ(allowed.exitCode, 0) << allowed.out;
  EXPECT_NE(allowed.out.find("deleted table customers"), std::string::npos) << allowed.out;
  EXPECT_EQ(ReadText(project + ".prev"), before);
  EXPECT_NE(ReadText(project), before);
}

TEST_F(SyncCli, LosingMoreThanHalfTheTablesNeedsAllowDrop) {
  Exec("CREATE TABLE a (id INTEGER PRIMARY KEY); CREATE TABLE b (id INTEGER PRIMARY KEY);"
       "CREATE TABLE c (id INTEGER PRIMARY KEY)");
  ASSERT_EQ(Cli("sync " + project).exitCode, 0);
  Exec("DROP TABLE a; DROP TABLE b; DROP TABLE c");
  auto most = Cli("sync " + project);
  EXPECT_EQ(most.exitCode, 1) << most.out;
  EXPECT_NE(most.out.find("would remove 3 of 4 tables and views. Nothing"), std::string::npos) << most.out;
  Exec("CREATE TABLE a (id INTEGER PRIMARY KEY); CREATE TABLE b (id INTEGER PRIMARY KEY)");
  EXPECT_EQ(Cli("sync " + project).exitCode, 0) << "half may go";
}

TEST_F(SyncCli, ShowChecksWhenAutoSyncIsOn) {
  ChangeDatabase();
  auto kept = Cli("show " + project + " --table invoices");
  EXPECT_EQ(kept.exitCode, 1) << "no one to ask: the old definition stands";
  EXPECT_NE(kept.out.find("-> Keep (no one to ask)"), std::string::npos) << kept.out;
  auto updated = Cli("show " + project + " --table invoices --sync update");
  EXPECT_EQ(updated.exitCode, 0) << updated.out;
  EXPECT_NE(updated.out.find("the definition was updated for this run"), std::string::npos) << updated.out;
  EXPECT_EQ(Cli("check " + project).exitCode, 3) << "show saves nothing";
  ASSERT_EQ(Cli("set " + project + " AutoSync=false").exitCode, 0);
  auto off = Cli("show " + project + " --table customers --sync update");
  EXPECT_EQ(off.out.find("zantrel: "), std::string::npos) << off.out;
  EXPECT_EQ(Cli("show " + project + " --sync maybe").exitCode, 2);
}

}  // namespace
