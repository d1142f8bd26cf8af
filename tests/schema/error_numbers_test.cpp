// The schema layer's failures as numbered errors, and the same failures as the
// project object words them in ProjErr: the number is what a host decides by,
// the text is what the person reads.
#include "core/error.h"
#include "schema/load.h"
#include "schema_test_support.h"
#include "support/error_of.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

struct Refusal {
  std::function<void(ObPModel&)> operation;
  int32_t number;
  std::string text;
};

TEST(SchemaErrors, NumbersAndTheWordsOfTheProjectObject) {
  TempConfig config;
  SqliteFile file{ReadFixture("sqlite.sql")};
  const Connection sqlite{"", file.path(), "sqlite", "", "", "", "", "", "", ""};
  const Connection missing{"", "/nonexistent.db", "sqlite", "", "", "", "", "", "", ""};
  const Refusal refusals[] = {
      {[](ObPModel& p) { LoadTable(p, "orders"); }, err::kDatabaseNotLoaded, "Zantrel: Database not loaded!"},
      {[](ObPModel& p) { AddReport(p, "r", "orders"); }, err::kDatabaseNotLoaded, "Zantrel: Database not loaded!"},
      {[&](ObPModel& p) { LoadDatabase(p, missing); }, err::kConnection,
       "unable to open database file: /nonexistent.db"},
      {[&](ObPModel& p) {
         LoadDatabase(p, sqlite);
         LoadDatabase(p, sqlite);
       },
       err::kDatabaseAlreadyLoaded, "database already loaded!"},
      {[&](ObPModel& p) {
         LoadDatabase(p, sqlite);
         LoadTable(p, "nope");
       },
       err::kTableNotFound, "Zantrel: Table nope not found!"},
      {[&](ObPModel& p) {
         LoadDatabase(p, sqlite);
         AddReport(p, "r", "nope");
       },
       err::kSourceNotLoaded, "Zantrel: Table/View nope not exist or loaded!"},
      {[&](ObPModel& p) {
         LoadDatabase(p, sqlite);
         AddCustomView(p, "orders", "SELECT 1", false);
       },
       err::kTableExists, "Zantrel: Table/View orders already exists!"},
      {[&](ObPModel& p) {
         LoadDatabase(p, sqlite);
         AddCustomView(p, "cv", "SELECT 1 AS a, 2 AS a", false);
       },
       err::kDuplicateColumns, "Columns with same field name: a. Please create Alias for the fields."},
  };
  for (const Refusal& r : refusals) {
    auto project = MakeRef<ObP>();
    try {
      r.operation(*project);
      ADD_FAILURE() << "no error for " << r.text;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), r.number) << r.text;
      EXPECT_EQ(e.description(), r.text);
      EXPECT_TRUE(err::IsOperationError(e.number()));
    }
  }
  // A failed load leaves no database behind, and the project object says why.
  auto project = MakeRef<ObP>();
  EXPECT_EQ(ErrorOf([&] { LoadDatabase(*project, missing); }), err::kConnection);
  EXPECT_EQ(project->DBCnt(), 0);
  project->LoadDB("/nonexistent.db", "sqlite", "", "", "", "", "", "", "", "");
  EXPECT_EQ(ObP::ProjErr(), "unable to open database file: /nonexistent.db");
  project->LoadDB(file.path(), "sqlite", "", "", "", "", "", "", "", "");
  EXPECT_EQ(ObP::ProjErr(), "") << "success empties the text";
  project->LoadTable("nope");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table nope not found!");
  EXPECT_FALSE(UnloadDatabase(*MakeRef<ObP>())) << "nothing to unload";
  ObP::ProjErr("");
}

TEST(SchemaErrors, TheJdbcMethodFailsWithItsOwnNumbers) {
  TempConfig config;
  SchemaReader reader;
  const Connection jdbc{"127.0.0.1", "shop", "mysql", "u", "p", "1", "", "JDBC", "", ""};
  try {
    reader.Read(jdbc);
    ADD_FAILURE() << "read without a JDBC driver";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kJdbcNotConfigured);
    EXPECT_EQ(e.description(), "JDBC ERROR");
  }
  EXPECT_FALSE(reader.loaded());
  // The loader itself connects and the JDBC method names what it lacks.
  auto project = MakeRef<ObP>();
  try {
    LoadDatabase(*project, jdbc);
    ADD_FAILURE() << "connected without a JDBC driver";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kJdbcFailure) << e.description();
    EXPECT_EQ(e.description().rfind("JDBC ERROR", 0), 0u) << e.description();
  }
}

}  // namespace
