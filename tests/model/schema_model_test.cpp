#include <gtest/gtest.h>

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "model/database.h"
#include "model/schema_rules.h"

using namespace zantrel;

namespace {

std::string Seqs(ObPTables& tables) {
  std::string out;
  for (int32_t i = 0; i < tables.Count(); ++i)
    out += tables.At(i)->TblName() + "=" + std::to_string(tables.At(i)->TblSeq()) + " ";
  return out;
}

TEST(Tables, SequenceNumbersStayDense) {
  auto tables = MakeRef<ObPTables>();
  tables->Add("A");
  tables->Add("B");
  tables->Add("C");
  EXPECT_EQ(Seqs(*tables), "A=1 B=2 C=3 ");
  EXPECT_EQ(tables->curName(), "C");
  EXPECT_EQ(tables->curSeq(), 3);
  tables->Delete(Variant("B"));
  EXPECT_EQ(Seqs(*tables), "A=1 C=2 ");
  ASSERT_TRUE(tables->Seq(2));
  EXPECT_EQ(tables->Seq(2)->TblName(), "C");
  EXPECT_FALSE(tables->Seq(3));
  tables->Delete(Variant(1));  // by position
  EXPECT_EQ(Seqs(*tables), "C=1 ");
}

TEST(Tables, LookupsIgnoreCaseAndNeverRaise) {
  auto tables = MakeRef<ObPTables>();
  tables->Add("Orders");
  tables->Add("Items");
  Ref<ObPTable> t = tables->Item(Variant("ORDERS"));
  ASSERT_TRUE(t);
  EXPECT_EQ(tables->curName(), "Orders");
  EXPECT_EQ(tables->curSeq(), 1);
  EXPECT_FALSE(tables->Item(Variant("missing")));
  EXPECT_FALSE(tables->Item(Variant::Null()));
  EXPECT_EQ(tables->curName(), "Orders");  // a miss leaves the current table alone
  tables->Delete(Variant("missing"));
  tables->SetSeq(2);
  EXPECT_EQ(tables->curName(), "Items");
  tables->SetItem(Variant("orders"));
  EXPECT_EQ(tables->curSeq(), 1);
  EXPECT_THROW(tables->Add("ORDERS"), Error);
  EXPECT_EQ(tables->Count(), 2);
}

TEST(Tables, ChangeRenamesKeyNameAndVariable) {
  auto tables = MakeRef<ObPTables>();
  tables->Add("old name");
  tables->Add("other");
  tables->Change("old name", "order details");
  EXPECT_FALSE(tables->Item(Variant("old name")));
  Ref<ObPTable> t = tables->Item(Variant("Order Details"));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->TblName(), "order details");
  EXPECT_EQ(t->TblVar(), "order_details");
  EXPECT_THROW(tables->Change("order details", "OTHER"), Error);
}

TEST(Fields, NumberingAndDeletion) {
  auto table = MakeRef<ObPTable>();
  ObPFields& fields = table->Fields();
  fields.Add("a");
  fields.Add("b");
  fields.Add("c");
  fields.Delete(Variant("a"));
  EXPECT_EQ(fields.Item(Variant("B"))->FldSeq(), 1);
  EXPECT_EQ(fields.Item(Variant("c"))->FldSeq(), 2);
  EXPECT_EQ(fields.Seq(1)->FldName(), "b");
  EXPECT_EQ(fields.curName(), "c");
}

TEST(Fields, VariantSettingsKeepTheirTypeAndNewFieldsReadZero) {
  auto f = MakeRef<ObPField>();
  EXPECT_FALSE(f->FldGenerate());
  EXPECT_EQ(f->FldSize(), 0);
  EXPECT_EQ(f->Properties().Count(), 95);
  f->FldMin(Variant(10));
  EXPECT_EQ(f->FldMin().type(), VarType::Long);
  f->FldMin(Variant("ten"));
  EXPECT_EQ(CStr(f->FldMin()), "ten");
  EXPECT_EQ(f->Properties().MetaAt(36).name, "FldViewTag");
}

TEST(Databases, OneDatabaseOnly) {
  Context().projErr.clear();
  auto dbs = MakeRef<ObPDatabases>();
  dbs->Add("shop");
  EXPECT_EQ(dbs->curSeq(), "1");
  EXPECT_EQ(dbs->Item(Variant("SHOP"))->MaxUploadSize(), 2000000);
  dbs->Add("second");
  EXPECT_EQ(dbs->Count(), 1);
  EXPECT_EQ(Context().projErr, "support 1 db only!");
  EXPECT_THROW(dbs->Item(Variant("second")), Error);
  Context().projErr.clear();
}

TEST(SchemaRules, MakeVarName) {
  struct Row {
    const char* name;
    const char* prefix;
    const char* expected;
  } rows[] = {
      {"order details", "", "order_details"},
      {"price#1", "x_", "x_price231"},
      {"a-b.c", "", "a2Db2Ec"},
      {"Straße", "", "Stra" "DF" "e"},
      {"_ok_", "", "_ok_"},
      {"", "x_", "x_"},
  };
  for (const Row& r : rows) EXPECT_EQ(MakeVarName(r.name, r.prefix), r.expected) << r.name;
}

TEST(SchemaRules, DBMSClassAndFieldCategory) {
  EXPECT_EQ(DBMSClass("MS Jet"), 1);
  EXPECT_EQ(DBMSClass("ms jet"), 5);  // equality is exact
  EXPECT_EQ(DBMSClass("Microsoft SQL Server"), 2);
  EXPECT_EQ(DBMSClass("mysql"), 3);
  EXPECT_EQ(DBMSClass("Oracle"), 4);
  EXPECT_EQ(DBMSClass("PostgreSQL"), 5);
  struct Row {
    int32_t type;
    int16_t category;
  } rows[] = {{3, 1}, {131, 1}, {133, 2}, {135, 2}, {200, 3}, {203, 3}, {11, 4}, {72, 5}, {205, 6}, {0, 6}};
  for (const Row& r : rows) EXPECT_EQ(FieldCategory(r.type), r.category) << r.type;
}

}  // namespace
