// The object model as a template script reaches it: by member names through
// dispatch, default members and enumeration.
#include <gtest/gtest.h>

#include "core/convert.h"
#include "core/error.h"
#include "model/project.h"
#include "support/temp_config.h"

using namespace zantrel;

namespace {

Variant Get(const Variant& obj, std::string_view name, std::vector<Variant> args = {}) {
  return obj.AsObject()->GetMember(name, std::move(args));
}

Variant Default(const Variant& obj, std::vector<Variant> args) {
  return obj.AsObject()->Invoke(kDispDefault, InvokeKind::Get, args);
}

class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest() {
    project = MakeRef<ObPModel>();
    project->databases().Add("shop");
    project->currentDatabaseName("shop");
    ObPTables& tables = project->db()->tables();
    Ref<ObPTable> orders = tables.Add("orders");
    orders->Fields().Add("id")->FldCaption("Order ID");
    orders->Fields().Add("total");
    tables.Add("customers");
    PROJ = ObjectVariant(project);
  }
  test::TempConfig config;
  Ref<ObPModel> project;
  Variant PROJ;
};

TEST_F(DispatchTest, SettingsByName) {
  PROJ.AsObject()->LetMember("ProjName", Variant("Shop"));
  EXPECT_EQ(CStr(Get(PROJ, "projname")), "Shop");
  EXPECT_EQ(Get(PROJ, "PagerStyle").type(), VarType::Integer);
  PROJ.AsObject()->LetMember("RecPerPage", Variant("25"));  // converted to the setting's type
  EXPECT_EQ(project->Properties().FindValue("RecPerPage")->type(), VarType::Integer);
  EXPECT_EQ(CStr(Get(PROJ, "sqlquote")), "");
  EXPECT_THROW(Get(PROJ, "NoSuchSetting"), Error);
}

TEST_F(DispatchTest, NestedObjectsAndDefaultMembers) {
  Variant DB = Get(PROJ, "db");
  Variant field = Get(Get(Get(DB, "Tables", {}), "Item", {Variant("ORDERS")}), "Fields");
  EXPECT_EQ(CStr(Get(Default(field, {Variant("id")}), "FldCaption")), "Order ID");
  EXPECT_EQ(CStr(Get(Get(DB, "tables"), "curName")), "orders");

  Variant table = Default(Get(DB, "tables"), {Variant("customers")});
  Variant props = Get(table, "Properties");
  EXPECT_EQ(CStr(Get(Get(props, "Item", {Variant("TblName")}), "Value")), "customers");
  EXPECT_EQ(CStr(Get(Default(props, {Variant("tblname")}), "Value")), "customers");
  EXPECT_EQ(CInt(Get(table, "TblSeq")), 2);
}

TEST_F(DispatchTest, ForEachOverFieldsAndBags) {
  Variant fields = Get(Get(Get(PROJ, "db"), "tables"), "Item", {Variant("orders")});
  Ref<Enumerator> e = Get(fields, "Fields").AsObject()->NewEnum();
  ASSERT_TRUE(e);
  std::string names;
  Variant f;
  while (e->Next(f)) names += CStr(Get(f, "FldName")) + " ";
  EXPECT_EQ(names, "id total ");

  Ref<Enumerator> settings = project->Properties().NewEnum();
  int n = 0;
  while (settings->Next(f)) ++n;
  EXPECT_EQ(n, 88);
}

TEST_F(DispatchTest, ReadOnlyAndHiddenDatabaseSettings) {
  Variant DB = Get(PROJ, "db");
  EXPECT_EQ(CStr(Get(DB, "DBDBMSName")), "");
  EXPECT_THROW(DB.AsObject()->LetMember("DBDBMSName", Variant("x")), Error);
  EXPECT_THROW(Get(DB, "DBDatabaseNames"), Error);
  EXPECT_EQ(CLng(Get(DB, "MaxUploadSize")), 2000000);
}

}  // namespace
