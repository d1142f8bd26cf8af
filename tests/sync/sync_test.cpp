// The check and synchronisation against real SQLite, MariaDB and PostgreSQL
// databases that each test changes between steps.
#include "sync_test_support.h"

#include "core/convert.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

constexpr const char* kSchema =
    "CREATE TABLE customers (customer_id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(50) NOT NULL, "
    "email VARCHAR(80), fax VARCHAR(20), note VARCHAR(20) DEFAULT 'x');"
    "CREATE TABLE orders (order_id INTEGER NOT NULL PRIMARY KEY, customer_id INTEGER NOT NULL, total DECIMAL(10,2));"
    "CREATE VIEW big_orders AS SELECT order_id, total FROM orders WHERE total > 100;"
    "CREATE TABLE legacy (id INTEGER NOT NULL PRIMARY KEY, code VARCHAR(10));"
    "CREATE TABLE order_lines (line_id INTEGER NOT NULL PRIMARY KEY, order_id INTEGER NOT NULL, qty INTEGER);"
    "CREATE TABLE keyed (code VARCHAR(10) NOT NULL PRIMARY KEY, label VARCHAR(20))";

// customers with name resized, email retyped, fax dropped, phone added and the
// default of note changed.
constexpr const char* kCustomersChanged =
    "DROP TABLE customers;"
    "CREATE TABLE customers (customer_id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(80) NOT NULL, "
    "email INTEGER, note VARCHAR(20) DEFAULT 'y', phone VARCHAR(20))";

class Check : public SyncTest {
 protected:
  void SetUp() override {
    SyncTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(db->Exec(kSchema));
    project = LoadProject();
  }
  int16_t CheckDB() {
    differences = SchemaDifferences{};
    return project->CheckDB(&differences);
  }
  SchemaDifferences differences;
};

TEST_P(Check, UnchangedDatabaseIsInStep) {
  EXPECT_EQ(CheckDB(), 0);
  EXPECT_EQ(ObP::ProjErr(), "");
  for (const Difference& d : differences.items) ADD_FAILURE() << Describe(d, false);
  project->SynchronizeDB(&differences);
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_TRUE(differences.empty()) << Describe(differences.items[0], true);
  EXPECT_TRUE(prompter->asked.empty());
}

TEST_P(Check, TablesAddedDroppedAndViewTurnedIntoTable) {
  ASSERT_TRUE(db->Exec("CREATE TABLE invoices (invoice_id INTEGER NOT NULL PRIMARY KEY, amount DECIMAL(10,2));"
                       "DROP TABLE legacy; DROP VIEW big_orders;"
                       "CREATE TABLE big_orders (order_id INTEGER NOT NULL PRIMARY KEY, total DECIMAL(10,2))"));
  // The view that became a table counts as a new table and a dropped view.
  EXPECT_EQ(CheckDB(), 4);
  EXPECT_NE(FindDifference(differences, DifferenceKind::NewTable, "invoices"), nullptr);
  EXPECT_NE(FindDifference(differences, DifferenceKind::DroppedTable, "legacy"), nullptr);
  const Difference* view = FindDifference(differences, DifferenceKind::DroppedTable, "big_orders");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->tableType, "VIEW");
  EXPECT_EQ(FindDifference(differences, DifferenceKind::NewTable, "big_orders")->tableType, "TABLE");
  EXPECT_EQ(Table("legacy")->TblType(), "TABLE") << "the check changes nothing";

  project->SynchronizeDB();
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(Table("legacy"), nullptr);
  EXPECT_EQ(Table("big_orders")->TblType(), "TABLE");
  ObPTable* invoices = Table("invoices");
  ASSERT_NE(invoices, nullptr);
  EXPECT_TRUE(invoices->TblLoaded());
  EXPECT_TRUE(invoices->TblGen());
  EXPECT_EQ(invoices->TblKey(), "invoice_id");
  EXPECT_EQ(invoices->TblCaption(), "invoices");  // table defaults
  EXPECT_TRUE(invoices->TblAdd());
  EXPECT_TRUE(Field("invoices", "invoice_id")->FldIsPrimaryKey());
  EXPECT_TRUE(Field("invoices", "invoice_id")->FldReq());
  EXPECT_EQ(Field("invoices", "amount")->FldCaption(), "amount");  // field defaults
  EXPECT_EQ(CheckDB(), 0);
}

TEST_P(Check, ColumnsResizedKeepTheirSettingsRetypedLoseThem) {
  ObPField* name = Field("customers", "name");
  name->FldCaption("Full name");
  name->FldDefault(Variant("anonymous"));  // set by the user: kept
  Field("customers", "email")->FldCaption("E-mail");
  Field("customers", "note")->FldDefault(Variant());  // empty: takes the database's
  ASSERT_TRUE(db->Exec(kCustomersChanged));

  // resized, retyped, dropped, added: one each.
  EXPECT_EQ(CheckDB(), 4);
  const Difference* resized = FindDifference(differences, DifferenceKind::ChangedField, "customers", "name");
  ASSERT_NE(resized, nullptr);
  ASSERT_EQ(resized->attributes.size(), 1u);
  EXPECT_EQ(resized->attributes[0].name, "FldSize");
  EXPECT_EQ(resized->attributes[0].database, "80");
  const Difference* retyped = FindDifference(differences, DifferenceKind::ChangedField, "customers", "email");
  ASSERT_NE(retyped, nullptr);
  EXPECT_EQ(retyped->attributes[0].name, "NativeDataType");
  EXPECT_NE(FindDifference(differences, DifferenceKind::DroppedField, "customers", "fax"), nullptr);
  EXPECT_NE(FindDifference(differences, DifferenceKind::NewField, "customers", "phone"), nullptr);

  SchemaDifferences changes;
  project->SynchronizeDB(&changes);
  ASSERT_EQ(ObP::ProjErr(), "");
  name = Field("customers", "name");
  EXPECT_EQ(name->FldSize(), 80);
  EXPECT_EQ(name->FldCaption(), "Full name");
  EXPECT_EQ(CStr(name->FldDefault()), "anonymous");
  EXPECT_EQ(Field("customers", "email")->FldCaption(), "email");
  EXPECT_EQ(Field("customers", "fax"), nullptr);
  ASSERT_NE(Field("customers", "phone"), nullptr);
  EXPECT_EQ(Field("customers", "phone")->FldSeq(), 5);

  // The refreshed default is the one a fresh load reads.
  Ref<ObP> fresh = LoadProject();
  Variant live = fresh->openDatabase()->tables().FindExact("customers")->Fields().FindExact("note")->FldDefault();
  EXPECT_FALSE(live.IsEmpty());
  EXPECT_EQ(CStr(Field("customers", "note")->FldDefault()), CStr(live));
  EXPECT_EQ(Describe(*FindDifference(changes, DifferenceKind::ChangedField, "customers", "email"), true),
            "retyped field (settings reset) customers.email: NativeDataType \"" + retyped->attributes[0].project +
                "\" -> \"" + retyped->attributes[0].database + "\"");
  EXPECT_EQ(CheckDB(), 0);
}

TEST_P(Check, ChangedKeyKeptThenUpdated) {
  ASSERT_TRUE(db->Exec("DROP TABLE order_lines;"
                       "CREATE TABLE order_lines (line_id INTEGER NOT NULL, order_id INTEGER NOT NULL, qty INTEGER, "
                       "PRIMARY KEY (order_id, line_id))"));
  EXPECT_GE(CheckDB(), 1);
  const Difference* key = FindDifference(differences, DifferenceKind::ChangedKey, "order_lines");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->attributes[0].project, "line_id");
  const std::string liveKey = key->attributes[0].database;
  EXPECT_NE(liveKey.find("order_id"), std::string::npos);

  Reply(0);  // Keep
  project->SynchronizeDB();
  ASSERT_EQ(prompter->asked.size(), 1u);
  EXPECT_EQ(prompter->asked[0].id, "primarykey");
  EXPECT_EQ(prompter->asked[0].message, "Primary key for \"order_lines\" has been modified. Keep/Update primary Key?");
  EXPECT_EQ(Table("order_lines")->TblKey(), "line_id");
  EXPECT_FALSE(Field("order_lines", "order_id")->FldIsPrimaryKey());

  Reply(1);  // Update
  project->SynchronizeDB();
  EXPECT_EQ(prompter->asked.size(), 2u);
  EXPECT_EQ(Table("order_lines")->TblKey(), liveKey);
  EXPECT_TRUE(Field("order_lines", "order_id")->FldIsPrimaryKey());
  EXPECT_TRUE(Field("order_lines", "line_id")->FldIsPrimaryKey());
  EXPECT_EQ(CheckDB(), 0);
}

TEST_P(Check, DroppedKeyColumnTakesTheLiveKeyWithoutAQuestion) {
  ASSERT_TRUE(db->Exec("DROP TABLE keyed; CREATE TABLE keyed (id INTEGER NOT NULL PRIMARY KEY, label VARCHAR(20))"));
  SchemaDifferences changes;
  project->SynchronizeDB(&changes);
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_TRUE(prompter->asked.empty());
  EXPECT_EQ(Table("keyed")->TblKey(), "id");
  EXPECT_TRUE(Field("keyed", "id")->FldIsPrimaryKey());
  const Difference* key = FindDifference(changes, DifferenceKind::ChangedKey, "keyed");
  ASSERT_NE(key, nullptr);
  EXPECT_FALSE(key->kept);
  EXPECT_EQ(Describe(*key, true), "updated key keyed: TblKey \"code\" -> \"id\"");
}

// A widened column: the type name and the settings derived from the size
// follow, unless the user changed them.
TEST_P(Check, WidenedColumnTakesTheDerivedSettingsTheUserLeft) {
  Field("legacy", "code")->FldTagSize(44);
  Field("keyed", "label")->FldTagMaxLength(7);
  ASSERT_EQ(Field("legacy", "code")->FldTagMaxLength(), 10);
  ASSERT_TRUE(db->Exec("DROP TABLE legacy; CREATE TABLE legacy (id INTEGER NOT NULL PRIMARY KEY, code VARCHAR(25));"
                       "DROP TABLE keyed; CREATE TABLE keyed (code VARCHAR(10) NOT NULL PRIMARY KEY, label VARCHAR(30))"));
  SchemaDifferences changes;
  project->SynchronizeDB(&changes);
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPField* code = Field("legacy", "code");
  EXPECT_EQ(code->FldSize(), 25);
  EXPECT_NE(code->FldTypeName().find("25"), std::string::npos) << code->FldTypeName();
  EXPECT_EQ(code->FldTagMaxLength(), 25);
  EXPECT_EQ(code->FldTagSize(), 44) << "the user's";
  EXPECT_EQ(Field("keyed", "label")->FldTagMaxLength(), 7) << "the user's";
  EXPECT_EQ(Field("keyed", "label")->FldSize(), 30);
  const Difference* widened = FindDifference(changes, DifferenceKind::ChangedField, "legacy", "code");
  ASSERT_NE(widened, nullptr);
  EXPECT_NE(Describe(*widened, true).find("FldTagMaxLength \"10\" -> \"25\""), std::string::npos)
      << Describe(*widened, true);
  EXPECT_EQ(CheckDB(), 0);
}

// A column renamed in place keeps its settings after a yes, loses them after a no.
TEST_P(Check, RenamedColumnKeepsItsSettingsWhenConfirmed) {
  Field("legacy", "code")->FldCaption("Legacy code");
  Field("legacy", "code")->FldTagSize(44);
  ASSERT_TRUE(db->Exec("DROP TABLE legacy; CREATE TABLE legacy (id INTEGER NOT NULL PRIMARY KEY, ref VARCHAR(10))"));
  EXPECT_EQ(CheckDB(), 2) << "the check sees a dropped and a new field";
  SchemaDifferences changes;
  project->SynchronizeDB(&changes);
  ASSERT_EQ(ObP::ProjErr(), "");
  ASSERT_EQ(prompter->asked.size(), 1u);
  EXPECT_EQ(prompter->asked[0].id, "renamedfield");
  EXPECT_EQ(Field("legacy", "code"), nullptr);
  ObPField* ref = Field("legacy", "ref");
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(ref->FldCaption(), "Legacy code");
  EXPECT_EQ(ref->FldTagSize(), 44);
  EXPECT_EQ(ref->FldVar(), "x_ref");
  const Difference* renamed = FindDifference(changes, DifferenceKind::RenamedField, "legacy", "ref");
  ASSERT_NE(renamed, nullptr);
  EXPECT_EQ(Describe(*renamed, true), "renamed field legacy.code -> ref");
  EXPECT_EQ(CheckDB(), 0);

  ASSERT_TRUE(db->Exec("DROP TABLE legacy; CREATE TABLE legacy (id INTEGER NOT NULL PRIMARY KEY, tag VARCHAR(10))"));
  Reply(1);  // Drop and add
  project->SynchronizeDB();
  ASSERT_NE(Field("legacy", "tag"), nullptr);
  EXPECT_EQ(Field("legacy", "tag")->FldCaption(), "tag");
  EXPECT_EQ(Field("legacy", "ref"), nullptr);
}

TEST_P(Check, DynamicLoadTablesAreLeftAlone) {
  project = LoadProject(true);
  ASSERT_FALSE(Table("customers")->TblLoaded());
  ASSERT_TRUE(db->Exec(std::string(kCustomersChanged) +
                       ";CREATE TABLE invoices (invoice_id INTEGER NOT NULL PRIMARY KEY, amount DECIMAL(10,2))"));
  // Only presence counts for a table held by name.
  EXPECT_EQ(CheckDB(), 1);
  EXPECT_NE(FindDifference(differences, DifferenceKind::NewTable, "invoices"), nullptr);
  project->SynchronizeDB();
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_FALSE(Table("customers")->TblLoaded());
  EXPECT_EQ(Table("customers")->Fields().Count(), 0);
  ObPTable* invoices = Table("invoices");
  ASSERT_NE(invoices, nullptr);
  EXPECT_FALSE(invoices->TblLoaded());
  EXPECT_FALSE(invoices->TblGen());
  EXPECT_EQ(invoices->Fields().Count(), 0);
  EXPECT_EQ(CheckDB(), 0);
}

TEST_P(Check, CustomViewBreaksAndHealsReportsFollow) {
  project->LoadCustomView("cv", "SELECT customer_id, name, email FROM " + db->Qualified("customers"), false);
  ASSERT_EQ(ObP::ProjErr(), "");
  project->LoadReport("cv_report", "cv");
  project->LoadReport("legacy_report", "legacy");
  ASSERT_EQ(ObP::ProjErr(), "");
  Field("cv", "name")->FldCaption("Customer");
  EXPECT_EQ(CheckDB(), 0);

  ASSERT_TRUE(db->Exec("DROP TABLE customers; DROP TABLE legacy;"
                       "CREATE TABLE customers (customer_id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(50) NOT NULL)"));
  CheckDB();
  EXPECT_FALSE(Table("cv")->TblCustomError().empty()) << "the check records the failure";
  const Difference* failure = FindDifference(differences, DifferenceKind::Failure, "cv");
  ASSERT_NE(failure, nullptr);
  EXPECT_EQ(failure->message, Table("cv")->TblCustomError());

  project->SynchronizeDB();
  EXPECT_EQ(ObP::ProjErr(), "") << "a failing view does not stop the run";
  EXPECT_FALSE(Table("cv")->TblCustomError().empty());
  EXPECT_EQ(Table("cv")->Fields().Count(), 3) << "a failing view keeps its fields";
  EXPECT_EQ(Table("cv_report")->TblCustomError(), "Zantrel: Source Table Error");
  EXPECT_EQ(Table("legacy_report")->TblCustomError(), "Zantrel: Source Table not found");
  EXPECT_EQ(Table("legacy_report")->Fields().Count(), 2);
  // The check reports a missing source in ProjErr, beside its count.
  EXPECT_GE(CheckDB(), 0);
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Source Table not found");

  ASSERT_TRUE(db->Exec("DROP TABLE customers; CREATE TABLE customers (customer_id INTEGER NOT NULL PRIMARY KEY, "
                       "name VARCHAR(50) NOT NULL, email VARCHAR(80))"));
  ObP::ProjErr("");
  project->SynchronizeDB();
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(Table("cv")->TblCustomError(), "");
  EXPECT_EQ(Field("cv", "name")->FldCaption(), "Customer");
  EXPECT_EQ(Table("cv_report")->TblCustomError(), "");
  EXPECT_EQ(Table("cv_report")->Fields().Count(), 3);
}

TEST_P(Check, UnreachableDatabase) {
  ObPDatabase* d = project->openDatabase();
  if (db->type == "sqlite") d->DBName(d->DBName() + ".missing");
  else d->DBPort("1");
  EXPECT_EQ(project->CheckDB(), -1);
  const std::string reason = ObP::ProjErr();
  EXPECT_FALSE(reason.empty());
  const int32_t tables = d->tables().Count();
  project->SynchronizeDB();
  EXPECT_EQ(ObP::ProjErr(), reason);
  EXPECT_EQ(d->tables().Count(), tables);
}

INSTANTIATE_TEST_SUITE_P(Databases, Check, ::testing::Values("sqlite", "mysql", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
