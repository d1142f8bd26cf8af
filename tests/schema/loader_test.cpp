// The schema loader on SQLite files: LoadDB, LoadTable, UnLoadDB and their
// messages, dynamic loading, and bad input (missing file, not a database, a
// table that vanished) that must leave nothing half-loaded.
#include "schema_test_support.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

class Loader : public ProjectTest {
 protected:
  void LoadFile(const std::string& path) { Load(TestDatabase{"sqlite", path, "", "", "", ""}); }
  SqliteFile file{ReadFixture("sqlite.sql")};
};

TEST_F(Loader, LoadDBRefusals) {
  struct Case {
    const char* name;
    const char* type;
    const char* error;
  };
  const Case cases[] = {
      {"", "sqlite", "Invalid DBName specified!"},
      {"", "mysql", "Invalid DBName specified!"},
      {"", "POSTGRESQL", "Invalid DBName specified!"},
      {"x", "oracle", "Oracle needs the JDBC connection method (set OracleJDBCDriver and use --method JDBC)"},
      {"/nonexistent/dir/none.db", "sqlite", "unable to open database file: /nonexistent/dir/none.db"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.name);
    project->LoadDB(c.name, c.type, "", "", "", "", "", "", "", "");
    EXPECT_EQ(ObP::ProjErr(), c.error);
    EXPECT_EQ(project->DBCnt(), 0) << "a failed LoadDB leaves no database";
    EXPECT_FALSE(Context().busy);
  }
}

TEST_F(Loader, OtherTypesAddAnEmptyDatabase) {
  project->LoadDB("whatever", "access", "", "", "", "", "", "", "", "");
  EXPECT_EQ(ObP::ProjErr(), "");
  ASSERT_EQ(project->DBCnt(), 1);
  EXPECT_EQ(project->openDatabase()->tables().Count(), 0);
  EXPECT_EQ(project->openDatabase()->DBType(), "access");
}

TEST_F(Loader, FileThatIsNoDatabase) {
  std::string path = file.path() + ".txt";
  { std::ofstream(path) << "this is not a database file, just text that is long enough to have a header........"; }
  LoadFile(path);
  EXPECT_NE(ObP::ProjErr().find("file is not a database"), std::string::npos) << ObP::ProjErr();
  EXPECT_EQ(project->DBCnt(), 0);
  std::filesystem::remove(path);
}

TEST_F(Loader, SecondLoadIsRefused) {
  LoadFile(file.path());
  ASSERT_EQ(ObP::ProjErr(), "");
  LoadFile(file.path());
  EXPECT_EQ(ObP::ProjErr(), "database already loaded!");
  EXPECT_EQ(project->DBCnt(), 1);
}

TEST_F(Loader, StoresConnectionAndQuotes) {
  project->sqlquote("Double Quote");
  project->LoadDB(file.path(), "sqlite", "h", "12", "u", "p", "s", "native", "url", "UTF-8");
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPDatabase* db = project->openDatabase();
  EXPECT_EQ(project->currentDatabaseName(), file.path());
  EXPECT_EQ(db->DBName(), file.path());
  EXPECT_EQ(db->DBHost(), "h");
  EXPECT_EQ(db->DBPort(), "12");
  EXPECT_EQ(db->DBUID(), "u");
  EXPECT_EQ(db->DBEncoding(), "UTF-8");
  EXPECT_EQ(db->DBQuoteS(), "\"");
  EXPECT_EQ(db->DBQuoteE(), "\"");
  EXPECT_EQ(project->XMLEncoding(), "UTF-8");
  EXPECT_EQ(db->DBProviderName(), "Orvel Technology Ltd");
  EXPECT_EQ(db->DBProviderVer(), "3.1");
  // Tables in the driver's order, numbered densely.
  std::string names;
  for (int32_t i = 0; i < db->tables().Count(); ++i) names += db->tables().At(i)->TblName() + "|";
  EXPECT_EQ(names, "customers|log_entries|order items|orders|type_zoo|v_titles|");
  EXPECT_EQ(db->tables().Find("type_zoo")->TblSeq(), 5);
}

TEST_F(Loader, QuoteOverrideFollowsSQLQuote) {
  struct Case {
    const char* setting;
    const char* type;
    const char* quote;
  };
  const Case cases[] = {{"Backquote", "sqlite", "`"}, {"None", "sqlite", ""}, {"", "sqlite", ""}, {"other", "sqlite", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    project->sqlquote(c.setting);
    LoadFile(file.path());
    ASSERT_EQ(ObP::ProjErr(), "");
    EXPECT_EQ(project->openDatabase()->DBQuoteS(), c.quote);
    project->UnLoadDB();
  }
}

TEST_F(Loader, DynamicLoadThenLoadTable) {
  project->DynamicLoadDB(true);
  LoadFile(file.path());
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPTable* zoo = Table("type_zoo");
  ASSERT_NE(zoo, nullptr);
  EXPECT_FALSE(zoo->TblLoaded());
  EXPECT_FALSE(zoo->TblGen());
  EXPECT_EQ(zoo->Fields().Count(), 0);
  EXPECT_EQ(zoo->TblType(), "TABLE");
  EXPECT_EQ(zoo->TblCaption(), "") << "no table defaults before LoadTable";

  project->LoadTable("TYPE_ZOO");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table TYPE_ZOO not found!") << "names compare exactly";
  project->LoadTable("type_zoo");
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_TRUE(zoo->TblLoaded());
  EXPECT_TRUE(zoo->TblGen());
  EXPECT_EQ(zoo->Fields().Count(), 18);
  EXPECT_EQ(zoo->TblCaption(), "type_zoo");
  EXPECT_TRUE(zoo->Fields().Find("id")->FldIsPrimaryKey());
  EXPECT_FALSE(Table("customers")->TblLoaded()) << "LoadTable loads one table";
  project->LoadTable("type_zoo");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table type_zoo already loaded!");
}

TEST_F(Loader, LoadTableMessages) {
  project->LoadTable("type_zoo");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Database not loaded!");
  LoadFile(file.path());
  project->LoadTable("nope");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table nope not found!");
  project->LoadTable("type_zoo");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table type_zoo already loaded!");
}

TEST_F(Loader, TableThatVanishedBeforeLoadTable) {
  project->DynamicLoadDB(true);
  LoadFile(file.path());
  file.Exec("DROP TABLE log_entries;");
  project->LoadTable("log_entries");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table log_entries not found!");
  EXPECT_FALSE(Table("log_entries")->TblLoaded());
  EXPECT_EQ(Table("log_entries")->Fields().Count(), 0);
}

TEST_F(Loader, DatabaseFileRemovedBeforeLoadTable) {
  project->DynamicLoadDB(true);
  LoadFile(file.path());
  std::filesystem::remove(file.path());
  project->LoadTable("orders");
  EXPECT_NE(ObP::ProjErr().find("unable to open database file"), std::string::npos) << ObP::ProjErr();
  EXPECT_FALSE(Table("orders")->TblLoaded());
}

TEST_F(Loader, UnLoadDBDropsTreeAndSecurityTable) {
  project->SecTbl("customers");
  project->SecLoginIDFld("name");
  project->SecPasswdFld("city");
  project->UnLoadDB();  // nothing open: nothing happens
  EXPECT_EQ(project->SecTbl(), "customers");
  LoadFile(file.path());
  Context().projErr = "stale";
  project->UnLoadDB();
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(project->DBCnt(), 0);
  EXPECT_EQ(project->SecTbl(), "");
  EXPECT_EQ(project->SecLoginIDFld(), "");
  EXPECT_EQ(project->SecPasswdFld(), "");
  LoadFile(file.path());
  EXPECT_EQ(ObP::ProjErr(), "") << "a database can be loaded again";
}

TEST_F(Loader, RowidAliasOnlyForIntegerKeyAlone) {
  SqliteFile other(
      "CREATE TABLE a (id INTEGER PRIMARY KEY, x INT);"
      "CREATE TABLE b (id INT PRIMARY KEY, x INT);"
      "CREATE TABLE c (id INTEGER, k INTEGER, PRIMARY KEY (id, k));");
  LoadFile(other.path());
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_TRUE(Field("a", "id")->FldAutoIncrement());
  EXPECT_FALSE(Field("b", "id")->FldAutoIncrement()) << "INT is not an alias of the rowid";
  EXPECT_FALSE(Field("c", "id")->FldAutoIncrement());
  EXPECT_EQ(Table("c")->TblKey(), "id,k");
}

TEST_F(Loader, DatabaseNamesOfSqliteAreEmpty) {
  const bool javaBefore = project->JVMLoaded();
  EXPECT_EQ(project->LoadDatabaseNames("sqlite", "", "", "", "", "", "", "", ""), "");
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(project->JVMLoaded(), javaBefore) << "a native driver never starts a Java runtime";
}

}  // namespace
