// Reports follow their source table inside the project: no database needed.
#include <gtest/gtest.h>

#include "core/context.h"
#include "project/project.h"
#include "support/temp_config.h"
#include "sync/check.h"

using namespace zantrel;

namespace {

class Reports : public ::testing::Test {
 protected:
  void SetUp() override {
    project = MakeRef<ObP>();
    project->AddProj("reports");
    project->databases().Add("db");
    project->currentDatabaseName("db");
    ObPTables& tables = project->openDatabase()->tables();
    source = tables.Add("orders").get();
    source->TblType("TABLE");
    source->TblLoaded(true);
    for (const char* name : {"id", "total"}) AddSourceField(name, true);
    project->LoadReport("orders_report", "orders");
    ASSERT_EQ(ObP::ProjErr(), "");
    report = tables.FindExact("orders_report");
  }
  void TearDown() override { Context().projErr.clear(); }
  ObPField* AddSourceField(const char* name, bool supported) {
    Ref<ObPField> f = source->Fields().Add(name);
    f->NativeDataType(3);
    f->FldSize(10);
    f->FldSupport(supported);
    f->FldGenerate(supported);
    return f.get();
  }

  test::TempConfig config;
  Ref<ObP> project;
  ObPTable* source = nullptr;
  ObPTable* report = nullptr;
};

TEST_F(Reports, FollowTheirSourceFields) {
  report->Fields().FindExact("total")->FldCaption("Sum");
  AddSourceField("blob", false);
  source->Fields().FindExact("total")->FldSize(12);
  source->Fields().Delete(Variant("id"));

  // total changed, id gone from the source, blob new to the report.
  ObPSchema unused;
  SchemaDifferences differences;
  EXPECT_EQ(DatabaseCheck(*project, unused, &differences).CheckReports(), 3);
  ASSERT_EQ(differences.items.size(), 3u);
  EXPECT_EQ(Describe(differences.items[0], false), "dropped field orders_report.id");
  EXPECT_EQ(Describe(differences.items[1], false), "changed field orders_report.total: FldSize \"10\" -> \"12\"");
  EXPECT_EQ(Describe(differences.items[2], false), "new field orders_report.blob");

  project->SyncReport("orders_report");
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(report->TblCustomError(), "");
  EXPECT_EQ(report->Fields().FindExact("id"), nullptr);
  ObPField* total = report->Fields().FindExact("total");
  EXPECT_EQ(total->FldSize(), 12);
  EXPECT_EQ(total->FldCaption(), "Sum");
  ObPField* blob = report->Fields().FindExact("blob");
  ASSERT_NE(blob, nullptr);
  EXPECT_FALSE(blob->FldGenerate()) << "an unsupported source field is not generated";
}

TEST_F(Reports, SourceInErrorOrGoneKeepsTheFields) {
  source->TblCustomError("query failed");
  project->SyncReport("orders_report");
  EXPECT_EQ(report->TblCustomError(), "Zantrel: Source Table Error");
  project->openDatabase()->tables().Delete(Variant("orders"));
  project->SyncReport("orders_report");
  EXPECT_EQ(report->TblCustomError(), "Zantrel: Source Table not found");
  EXPECT_EQ(report->Fields().Count(), 2);
  project->SyncReport("nothing");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table nothing not found!");
}

}  // namespace
