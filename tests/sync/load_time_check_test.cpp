// Loading a project whose AutoSync is on: the check against the live database,
// the keep/update question, and an unreadable database that leaves the project
// as saved.
#include "sync_test_support.h"

#include "persist/load_check.h"
#include "sync/load_time_check.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

constexpr const char* kQuestion =
    "Database has been modified since last change. Do you want to keep old definition or update to new definition?";

class LoadTimeCheck : public SyncTest {
 protected:
  void SetUp() override {
    SyncTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(db->Exec("CREATE TABLE items (item_id INTEGER NOT NULL PRIMARY KEY, label VARCHAR(30))"));
    file = (config.user() / "project.zpr").string();
    InstallLoadTimeCheck();
  }
  void TearDown() override {
    InstallLoadTimeCheck(false);
    SyncTest::TearDown();
  }
  // Saves a project of the database with AutoSync as given.
  void Save(bool autoSync) {
    Ref<ObP> p = LoadProject();
    p->AutoSync(autoSync);
    p->openDatabase()->tables().FindExact("items")->Fields().FindExact("label")->FldCaption("Label");
    p->Save(file);
  }
  void Load() {
    ForgetLoadTimeCheck();
    project = MakeRef<ObP>();
    project->Load(file);
  }
  std::string file;
};

TEST_P(LoadTimeCheck, UnchangedDatabaseAsksNothing) {
  Save(true);
  Load();
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_TRUE(LastLoadTimeCheck().ran);
  EXPECT_EQ(LastLoadTimeCheck().count, 0);
  EXPECT_TRUE(prompter->asked.empty());
}

TEST_P(LoadTimeCheck, ChangedDatabaseKeptOrUpdated) {
  Save(true);
  ASSERT_TRUE(db->Exec("ALTER TABLE items ADD price INTEGER"));

  Reply(0);  // Keep
  Load();
  EXPECT_EQ(ObP::ProjErr(), "");
  ASSERT_EQ(prompter->asked.size(), 1u);
  EXPECT_EQ(prompter->asked[0].id, "keepdb");
  EXPECT_EQ(prompter->asked[0].message, kQuestion);
  EXPECT_EQ(prompter->asked[0].details, "new field items.price\n");
  EXPECT_EQ(Field("items", "price"), nullptr);
  EXPECT_FALSE(LastLoadTimeCheck().updated);

  Reply(1);  // Update
  Load();
  EXPECT_EQ(ObP::ProjErr(), "");
  ASSERT_NE(Field("items", "price"), nullptr);
  EXPECT_EQ(Field("items", "label")->FldCaption(), "Label");
  EXPECT_TRUE(Field("items", "item_id")->FldIsPrimaryKey());
  EXPECT_TRUE(LastLoadTimeCheck().updated);
  EXPECT_EQ(LastLoadTimeCheck().changes.items.size(), 1u);
}

TEST_P(LoadTimeCheck, NoOneToAskKeepsTheDefinition) {
  Save(true);
  ASSERT_TRUE(db->Exec("ALTER TABLE items ADD price INTEGER"));
  Load();  // the scripted prompter has no reply: the safe default
  EXPECT_EQ(Field("items", "price"), nullptr);
  ASSERT_EQ(prompter->notices.size(), 1u);
  EXPECT_EQ(prompter->notices[0], std::string(kQuestion) + " -> Keep (no one to ask)");
}

TEST_P(LoadTimeCheck, UnreachableDatabaseLeavesTheProjectAsSaved) {
  Save(true);
  {
    Ref<ObP> p = MakeRef<ObP>();
    InstallLoadTimeCheck(false);
    p->Load(file);
    ObPDatabase* d = p->openDatabase();
    if (db->type == "sqlite") d->DBName(d->DBName() + ".missing");
    else d->DBPort("1");
    p->Save(file);
    InstallLoadTimeCheck();
  }
  Load();
  const std::string reason = ObP::ProjErr();
  EXPECT_FALSE(reason.empty());
  EXPECT_TRUE(LastLoadTimeCheck().unreadable);
  EXPECT_EQ(LastLoadTimeCheck().failure, reason);
  ASSERT_EQ(prompter->notices.size(), 1u);
  EXPECT_EQ(prompter->notices[0],
            "Unable to load database information! Reason: " + reason + ". Please check if correct database is in use.");
  ASSERT_NE(Table("items"), nullptr);
  EXPECT_EQ(Field("items", "label")->FldCaption(), "Label");
  EXPECT_TRUE(Field("items", "item_id")->FldIsPrimaryKey()) << "Load finishes after the check";
}

TEST_P(LoadTimeCheck, AutoSyncOffNeverOpensTheDatabase) {
  Save(false);
  ASSERT_TRUE(db->Exec("DROP TABLE items"));
  Load();
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_FALSE(LastLoadTimeCheck().ran);
  EXPECT_NE(Table("items"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Databases, LoadTimeCheck, ::testing::Values("sqlite", "mysql", "postgresql"),
                         [](const auto& info) { return info.param; });

// A JDBC connection without a configured driver is reported by its reason
// alone, with no message; no server is needed to see it.
TEST(LoadTimeCheckJdbc, JdbcErrorShowsNoMessage) {
  TempConfig config;
  auto scripted = std::make_unique<ScriptedPrompter>();
  ScriptedPrompter* prompter = scripted.get();
  InstallPrompter(std::move(scripted));
  const std::string file = (config.user() / "jdbc.zpr").string();
  {
    auto p = MakeRef<ObP>();
    p->AddProj("jdbc");
    p->AutoSync(true);
    p->databases().Add("shop");
    p->currentDatabaseName("shop");
    ObPDatabase* d = p->openDatabase();
    d->DBType("mysql");
    d->DBConnectionMethod("JDBC");
    p->Save(file);
  }
  InstallLoadTimeCheck();
  auto p = MakeRef<ObP>();
  p->Load(file);
  InstallLoadTimeCheck(false);
  EXPECT_EQ(ObP::ProjErr(), "JDBC ERROR");
  EXPECT_TRUE(prompter->notices.empty());
  EXPECT_TRUE(prompter->asked.empty());
  InstallPrompter(std::make_unique<Prompter>());
  ObP::ProjErr("");
}

}  // namespace
