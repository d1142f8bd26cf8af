// Custom views and reports on the SQLite test database: joins and aliases
// traced to their source columns, the duplicate-column refusal, copying
// settings from loaded source columns, and reports over loaded tables.
#include "core/error.h"
#include "platform/status.h"
#include "project/obp_schema.h"
#include "schema_test_support.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

class CustomViews : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    Load(TestDatabase{"sqlite", file.path(), "", "", "", ""});
    ASSERT_EQ(ObP::ProjErr(), "");
  }
  SqliteFile file{ReadFixture("sqlite.sql")};
};

constexpr const char* kJoin =
    "SELECT o.order_id, c.name AS customer, o.placed, upper(c.city) city_upper "
    "FROM orders o JOIN customers c ON c.customer_id = o.customer_id";

TEST_F(CustomViews, JoinWithAliasesTracesSources) {
  project->LoadCustomView("order_list", kJoin, false);
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPTable* view = Table("order_list");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->TblType(), "CUSTOMVIEW");
  EXPECT_EQ(view->TblCustomSQL(), kJoin);
  EXPECT_EQ(view->TblCustomError(), "");
  EXPECT_TRUE(view->TblLoaded());
  EXPECT_FALSE(view->TblAdd());
  struct Expect {
    const char* field;
    bool alias;
    const char* sourceName;
    const char* table;
    const char* column;
    int16_t type;
  };
  const Expect rows[] = {
      {"order_id", false, "o.order_id", "orders", "order_id", 3},
      {"customer", true, "c.name", "customers", "name", 200},
      {"placed", false, "o.placed", "orders", "placed", 133},
      {"city_upper", true, "upper(c.city)", "", "", 200},
  };
  ASSERT_EQ(view->Fields().Count(), 4);
  for (const Expect& e : rows) {
    SCOPED_TRACE(e.field);
    ObPField* f = view->Fields().Find(e.field);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->FldAlias(), e.alias);
    EXPECT_EQ(f->FldSourceName(), e.sourceName);
    EXPECT_EQ(f->FldSourceTable(), e.table);
    EXPECT_EQ(f->FldSourceField(), e.column);
    EXPECT_EQ(f->FldType(), e.type);
  }
  EXPECT_TRUE(Field("order_list", "customer")->FldReq()) << "the definition of customers.name";
  EXPECT_EQ(Field("order_list", "customer")->FldSize(), 50);
}

TEST_F(CustomViews, DuplicateColumnsAreRefusedUntilAliased) {
  project->LoadCustomView("dup", "SELECT o.customer_id, c.customer_id FROM orders o, customers c", false);
  EXPECT_EQ(ObP::ProjErr(), "Columns with same field name: customer_id. Please create Alias for the fields.");
  EXPECT_EQ(Table("dup"), nullptr) << "a refused view leaves no table";
  project->LoadCustomView("dup", "SELECT o.customer_id, c.customer_id AS cid FROM orders o, customers c", false);
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_NE(Table("dup"), nullptr);
}

TEST_F(CustomViews, Refusals) {
  project->LoadCustomView("bad", "SELEC id FROM orders", false);
  EXPECT_NE(ObP::ProjErr().find("syntax error"), std::string::npos) << ObP::ProjErr();
  EXPECT_EQ(Table("bad"), nullptr);
  project->LoadCustomView("bad", "SELECT nope FROM orders", false);
  EXPECT_NE(ObP::ProjErr().find("no such column"), std::string::npos) << ObP::ProjErr();
  project->LoadCustomView("bad", "DELETE FROM orders", false);
  EXPECT_EQ(ObP::ProjErr(), "not a SELECT statement");
  EXPECT_EQ(Table("bad"), nullptr);
  project->LoadCustomView("orders", "SELECT 1", false);
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table/View orders already exists!");
  EXPECT_FALSE(Context().busy);
  EXPECT_FALSE(Status().shown);
}

TEST_F(CustomViews, CopyFieldsFromLoadedSourcesOnly) {
  ObPField* name = Field("customers", "name");
  name->FldCaption("Customer name");
  name->FldTagSize(44);
  name->FldQuoteS("#");  // not a Sync setting: never copied
  project->LoadCustomView("v", "SELECT c.name, c.city FROM customers c", true);
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(Field("v", "name")->FldCaption(), "Customer name");
  EXPECT_EQ(Field("v", "name")->FldTagSize(), 44);
  EXPECT_EQ(Field("v", "name")->FldQuoteS(), "'");
  EXPECT_EQ(Field("v", "city")->FldCaption(), "city");

  Table("customers")->TblLoaded(false);
  project->LoadCustomView("w", "SELECT c.name FROM customers c", true);
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(Field("w", "name")->FldCaption(), "name") << "a source not loaded keeps the view's own defaults";
}

TEST_F(CustomViews, StarTakesServerSources) {
  project->LoadCustomView("all_customers", "SELECT * FROM customers", false);
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPField* city = Field("all_customers", "city");
  ASSERT_NE(city, nullptr);
  EXPECT_EQ(city->FldSourceTable(), "customers");
  EXPECT_EQ(city->FldSourceField(), "city");
}

TEST_F(CustomViews, NeedsADatabase) {
  project->UnLoadDB();
  project->LoadCustomView("v", "SELECT 1", false);
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Database not loaded!");
  project->LoadReport("r", "orders");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Database not loaded!");
}

TEST_F(CustomViews, ReportCopiesFieldsButNotPages) {
  Field("orders", "placed")->FldCaption("Placed on");
  project->LoadReport("orders_report", "orders");
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPTable* r = Table("orders_report");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->TblType(), "REPORT");
  EXPECT_EQ(r->TblRptSrc(), "orders");
  EXPECT_TRUE(r->TblLoaded());
  EXPECT_TRUE(r->TblGen());
  EXPECT_EQ(r->TblSrchType(), "NONE");
  EXPECT_FALSE(r->TblAdd());
  ASSERT_EQ(r->Fields().Count(), 3);
  ObPField* placed = r->Fields().Find("placed");
  EXPECT_EQ(placed->FldCaption(), "Placed on");
  EXPECT_EQ(placed->FldType(), 133);
  EXPECT_EQ(placed->FldSeq(), 3);
  EXPECT_TRUE(placed->FldList());
  for (int32_t i = 0; i < r->Fields().Count(); ++i) {
    ObPField* f = r->Fields().At(i);
    EXPECT_FALSE(f->FldAdd() || f->FldEdit() || f->FldView() || f->FldSearch() || f->FldBasicSearch() ||
                 f->FldRegister())
        << f->FldName();
  }
  project->LoadReport("orders_report", "orders");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table/View orders_report already exists!");
}

TEST_F(CustomViews, ReportNeedsALoadedSource) {
  project->LoadReport("r", "nope");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table/View nope not exist or loaded!");
  project->UnLoadDB();
  project->DynamicLoadDB(true);
  Load(TestDatabase{"sqlite", file.path(), "", "", "", ""});
  project->LoadReport("r", "orders");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table/View orders not exist or loaded!");
  EXPECT_EQ(Table("r"), nullptr);
  project->LoadTable("orders");
  project->LoadReport("r", "orders");
  EXPECT_EQ(ObP::ProjErr(), "");
}

TEST(ReferenceLoader, RecordsMatchTheModel) {
  TempConfig config;
  SqliteFile file(ReadFixture("sqlite.sql"));
  ObPSchema schema;
  schema.LoadDB(file.path(), "sqlite", "", "", "", "", "", "", "", "");
  ASSERT_EQ(ObP::ProjErr(), "");
  ASSERT_EQ(schema.tblcnt(), 6);
  ObSchemaTable items = schema.Tbl(3);
  EXPECT_EQ(schema.currentIndex(), 3);
  EXPECT_EQ(items.TblName, "order items");
  EXPECT_EQ(items.TblSeq, 3);
  EXPECT_EQ(items.TblKey, "order_id,item_no");
  ASSERT_EQ(items.TblFldCnt, 4);
  EXPECT_TRUE(items.TblFields.Fld[1].FldIsPrimaryKey);
  EXPECT_TRUE(items.TblFields.Fld[2].FldIsPrimaryKey);
  EXPECT_FALSE(items.TblFields.Fld[3].FldIsPrimaryKey);
  EXPECT_EQ(items.TblFields.Fld[3].FldQuoteS, "'");
  EXPECT_EQ(items.TblFields.Fld[4].FldQuoteS, "");
  EXPECT_EQ(CStr(items.TblFields.Fld[4].FldDefault), "1");
  EXPECT_THROW(schema.Tbl(7), Error);
  EXPECT_THROW(schema.Tbl(-1), Error);
  EXPECT_EQ(schema.Tbl(0).TblName, "") << "index 0 is allocated but unused";

  schema.LoadDB(file.path(), "sqlite", "", "", "", "", "", "", "", "");
  EXPECT_EQ(ObP::ProjErr(), "database already loaded!");
  EXPECT_EQ(schema.LoadovCustomView("", file.path(), "sqlite", "", "", "", "", "", "", "", "cv",
                                    "SELECT name FROM customers"),
            0);
  EXPECT_EQ(schema.tblcnt(), 7);
  EXPECT_EQ(schema.Tbl(7).TblType, "CUSTOMVIEW");
}

TEST(ReferenceLoader, JdbcNeedsConfiguredPaths) {
  TempConfig config;
  ObPSchema schema;
  schema.LoadDB("db", "mysql", "", "", "", "", "", "JDBC", "", "");
  EXPECT_EQ(ObP::ProjErr(), "JDBC ERROR");
  EXPECT_FALSE(schema.loaded());
  ObPSchema missing;
  missing.LoadDB("/nonexistent.db", "sqlite", "", "", "", "", "", "", "", "");
  EXPECT_EQ(ObP::ProjErr(), "unable to open database file: /nonexistent.db");
  EXPECT_FALSE(missing.loaded());
  Context().projErr.clear();
}

}  // namespace
