// One table of expectations — each column of type_zoo with its ADO type, size,
// flags and the defaults applied — checked against every driver: SQLite always,
// MariaDB and PostgreSQL when scripts/test runs their servers, natively and
// through the JDBC method.
#include <memory>

#include "model/schema_rules.h"
#include "schema_test_support.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

struct Expect {
  const char* column;
  int16_t type;
  int32_t size;  // -1: the drivers differ, not compared
  bool required, unique, autoInc;
  const char* htmlTag;
  const char* validate;
  const char* srchOpr;
  bool list, add, search, basicSearch;
  const char* defaultValue;  // nullptr: no default
};

// The default date format (5) gives date fields a format and DATE validation.
const Expect kTypeZoo[] = {
    // column   type size   req    uniq   auto   tag         validate   opr     list   add    search basic  default
    {"id",      3,   10,    true,  true,  true,  "NO",       "INTEGER", "=",    true,  false, true,  false, nullptr},
    {"small_n", 2,   5,     false, false, false, "TEXT",     "INTEGER", "=",    true,  true,  true,  false, nullptr},
    {"big_n",   20,  19,    false, false, false, "TEXT",     "INTEGER", "=",    true,  true,  true,  false, nullptr},
    {"price",   131, 10,    false, false, false, "TEXT",     "FLOAT",   "=",    true,  true,  true,  false, nullptr},
    {"ratio",   4,   -1,    false, false, false, "TEXT",     "FLOAT",   "=",    true,  true,  true,  false, nullptr},
    {"score",   5,   -1,    false, false, false, "TEXT",     "FLOAT",   "=",    true,  true,  true,  false, nullptr},
    {"flag",    11,  1,     false, false, false, "RADIO",    "",        "=",    true,  true,  true,  false, nullptr},
    {"born",    133, 10,    false, false, false, "TEXT",     "DATE",    "=",    true,  true,  true,  false, nullptr},
    {"created", 135, 19,    false, false, false, "TEXT",     "DATE",    "=",    true,  true,  true,  false, nullptr},
    {"alarm",   134, 8,     false, false, false, "TEXT",     "TIME",    "=",    true,  true,  true,  false, nullptr},
    {"code",    129, 4,     false, false, false, "TEXT",     "",        "LIKE", true,  true,  true,  true,  nullptr},
    {"title",   200, 40,    true,  false, false, "TEXT",     "",        "LIKE", true,  true,  true,  true,  nullptr},
    {"body",    201, -1,    false, false, false, "TEXTAREA", "",        "LIKE", false, true,  true,  true,  nullptr},
    {"data",    205, -1,    false, false, false, "FILE",     "",        "=",    false, true,  false, false, nullptr},
    {"uid",     72,  36,    false, false, false, "TEXT",     "GUID",    "=",    true,  true,  true,  false, nullptr},
    {"doc",     201, -1,    false, false, false, "TEXTAREA", "",        "LIKE", false, true,  true,  true,  nullptr},
    {"status",  200, 10,    false, false, false, "TEXT",     "",        "LIKE", true,  true,  true,  true,  "new"},
    {"email",   200, 60,    false, true,  false, "TEXT",     "",        "LIKE", true,  true,  true,  true,  nullptr},
};

class DriverExpectations : public ProjectTest, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    const std::string& driver = GetParam();
    if (driver == "sqlite") {
      file_ = std::make_unique<SqliteFile>(ReadFixture("sqlite.sql"));
      db_ = TestDatabase{"sqlite", file_->path(), "", "", "", ""};
      return;
    }
    std::string skip;
    auto server = ServerFor(driver, skip);
    if (!server) GTEST_SKIP() << skip;
    db_ = *server;
  }

  std::unique_ptr<SqliteFile> file_;
  TestDatabase db_;
};

TEST_P(DriverExpectations, TypeZooColumns) {
  Load(db_);
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPTable* zoo = Table("type_zoo");
  ASSERT_NE(zoo, nullptr);
  ASSERT_EQ(zoo->Fields().Count(), int32_t(std::size(kTypeZoo)));
  EXPECT_EQ(zoo->TblKey(), "id");
  for (std::size_t i = 0; i < std::size(kTypeZoo); ++i) {
    const Expect& e = kTypeZoo[i];
    SCOPED_TRACE(std::string(GetParam()) + " column " + e.column);
    ObPField* f = zoo->Fields().At(int32_t(i));
    ASSERT_EQ(f->FldName(), e.column);
    EXPECT_EQ(f->FldSeq(), int16_t(i + 1));
    EXPECT_EQ(f->FldType(), e.type);
    if (e.size >= 0) {
      EXPECT_EQ(f->FldSize(), e.size);
    }
    EXPECT_EQ(f->FldReq(), e.required);
    EXPECT_EQ(f->FldRequired(), e.required);
    EXPECT_EQ(f->FldUniqueIdx(), e.unique);
    EXPECT_EQ(f->FldAutoIncrement(), e.autoInc);
    EXPECT_EQ(f->FldIsPrimaryKey(), std::string(e.column) == "id");
    EXPECT_TRUE(f->FldSupport());
    EXPECT_EQ(f->FldHtmlTag(), e.htmlTag);
    EXPECT_EQ(f->FldValidate(), e.validate);
    EXPECT_EQ(f->FldSrchOpr(), e.srchOpr);
    EXPECT_EQ(f->FldList(), e.list);
    EXPECT_EQ(f->FldAdd(), e.add);
    EXPECT_TRUE(f->FldEdit());
    EXPECT_EQ(f->FldSearch(), e.search);
    EXPECT_EQ(f->FldBasicSearch(), e.basicSearch);
    EXPECT_EQ(f->FldVar(), std::string("x_") + e.column);
    if (e.defaultValue) EXPECT_EQ(CStr(f->FldDefault()), e.defaultValue);
    else EXPECT_TRUE(f->FldDefault().IsEmpty()) << CStr(f->FldDefault());
    bool quoted = FieldCategory(e.type) != 1 && e.type != 11;
    EXPECT_EQ(f->FldQuoteS(), quoted ? "'" : "");
    EXPECT_EQ((f->FldAttribute() & 0x20) != 0, !e.required) << "nullable attribute";
  }
}

TEST_P(DriverExpectations, TablesViewsAndKeys) {
  Load(db_);
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPDatabase* db = project->openDatabase();
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->DBType(), db_.type);
  EXPECT_EQ(db->DBDBMSName(), "Orvel DB Driver");

  ObPTable* items = Table("order items");
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items->TblKey(), "order_id,item_no");
  EXPECT_TRUE(Field("order items", "order_id")->FldIsPrimaryKey());
  EXPECT_TRUE(Field("order items", "item_no")->FldIsPrimaryKey());
  EXPECT_FALSE(Field("order items", "order_id")->FldUniqueIdx()) << "one column of a composite key is not unique";
  EXPECT_EQ(items->TblVar(), "order_items");
  ObPField* size = Field("order items", "größe");
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(size->FldVar(), "x_grF6DFe");
  EXPECT_EQ(CStr(Field("order items", "qty")->FldDefault()), "1");

  ObPTable* log = Table("log_entries");
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(log->TblKey(), "");
  EXPECT_TRUE(log->TblAdd());
  // TEXT: long text on the servers; SQLite's usual string, listed like VARCHAR.
  ObPField* message = Field("log_entries", "message");
  const bool sqlite = GetParam() == "sqlite";
  EXPECT_EQ(message->FldType(), sqlite ? 200 : 201);
  EXPECT_EQ(message->FldList(), sqlite);
  EXPECT_EQ(message->FldHtmlTag(), sqlite ? "TEXT" : "TEXTAREA");

  ObPTable* view = Table("v_titles");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->TblType(), "VIEW");
  EXPECT_FALSE(view->TblAdd());
  EXPECT_FALSE(view->TblEdit());
  EXPECT_FALSE(view->TblView());
  EXPECT_EQ(view->Fields().Count(), 2);
  EXPECT_EQ(Field("v_titles", "title")->FldType(), 200);

  ObPTable* zoo = Table("type_zoo");
  EXPECT_EQ(zoo->TblType(), "TABLE");
  EXPECT_TRUE(zoo->TblLoaded());
  EXPECT_TRUE(zoo->TblGen());
  EXPECT_EQ(zoo->TblSrchType(), "BASIC");
}

INSTANTIATE_TEST_SUITE_P(Drivers, DriverExpectations,
                         ::testing::Values("sqlite", "mysql", "postgresql", "mysql-jdbc", "postgresql-jdbc"),
                         [](const auto& info) {
                           std::string name = info.param;
                           if (name.ends_with("-jdbc")) name.replace(name.size() - 5, 1, "_");
                           return name;
                         });

}  // namespace
