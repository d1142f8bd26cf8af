// The check and synchronisation report failures as numbered errors and notes
// as values; the project object turns both into ProjErr.
#include "support/error_of.h"
#include "support/temp_config.h"
#include "sync/synchronize.h"
#include "sync_test_support.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

TEST(SyncErrors, FailuresAndNotes) {
  TempConfig config;
  auto project = MakeRef<ObP>();
  EXPECT_EQ(ErrorOf([&] { CheckDatabase(*project); }), err::kDatabaseNotLoaded);
  EXPECT_EQ(ErrorOf([&] { Synchronize(*project); }), err::kDatabaseNotLoaded);
  EXPECT_EQ(ErrorOf([&] { SyncCustomView(*project, "cv"); }), err::kDatabaseNotLoaded);
  EXPECT_EQ(project->CheckDB(), -1);
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Database not loaded!");

  SqliteDatabase db;
  ASSERT_TRUE(db.Exec("CREATE TABLE items (id INTEGER PRIMARY KEY, name TEXT)"));
  project->LoadDB(db.name, "sqlite", "", "", "", "", "", "", "", "");
  ASSERT_EQ(ObP::ProjErr(), "");
  project->LoadCustomView("cv", "SELECT id, name FROM items", false);
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(ErrorOf([&] { SyncReportTable(*project, "nothing"); }), err::kTableNotFound);

  // A custom view whose table went away: the check counts on and notes the failure.
  ASSERT_TRUE(db.Exec("DROP TABLE items; CREATE TABLE other (id INTEGER PRIMARY KEY)"));
  const CheckResult result = CheckDatabase(*project);
  EXPECT_GE(result.count, 1);
  EXPECT_FALSE(result.note.empty());
  EXPECT_EQ(project->openDatabase()->tables().Find("cv")->TblCustomError(), result.note);
  EXPECT_EQ(project->CheckDB(), result.count);
  EXPECT_EQ(ObP::ProjErr(), result.note) << "the note stands beside the count";
  ObP::ProjErr("");
}

}  // namespace
