// What only the servers have: MariaDB ENUM/SET and unsigned types, PostgreSQL
// enum types and identity columns, database lists, custom views over joins
// described by the server, and connection failures (wrong password,
// unreachable port) that reach ProjErr and leave no database.
#include "schema_test_support.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

class Servers : public ProjectTest, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    std::string skip;
    auto server = ServerFor(GetParam(), skip);
    if (!server) GTEST_SKIP() << skip;
    db_ = *server;
  }
  bool IsMysql() const { return GetParam().starts_with("mysql"); }
  TestDatabase db_;
};

TEST_P(Servers, WrongPasswordAndUnreachablePort) {
  TestDatabase bad = db_;
  bad.password = "wrong";
  Load(bad);
  EXPECT_NE(ObP::ProjErr().find(IsMysql() ? "Access denied" : "password authentication failed"),
            std::string::npos)
      << ObP::ProjErr();
  EXPECT_EQ(project->DBCnt(), 0);
  TestDatabase closed = db_;
  closed.port = "1";
  Load(closed);
  EXPECT_FALSE(ObP::ProjErr().empty());
  EXPECT_EQ(project->DBCnt(), 0);
  Load(db_);
  EXPECT_EQ(ObP::ProjErr(), "");
}

TEST_P(Servers, DatabaseNamesListTheTestDatabase) {
  std::string names =
      project->LoadDatabaseNames(db_.type, db_.host, db_.port, db_.user, db_.password, "", "", "", "");
  EXPECT_NE(("\r\n" + names + "\r\n").find("\r\nzantrel_test\r\n"), std::string::npos) << names;
}

TEST_P(Servers, CustomViewOverJoin) {
  Load(db_);
  ASSERT_EQ(ObP::ProjErr(), "");
  project->LoadCustomView("order_list",
                          "SELECT o.order_id, c.name AS customer, o.placed FROM orders o "
                          "JOIN customers c ON c.customer_id = o.customer_id",
                          true);
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPField* customer = Field("order_list", "customer");
  ASSERT_NE(customer, nullptr);
  EXPECT_EQ(customer->FldSourceTable(), "customers");
  EXPECT_EQ(customer->FldSourceField(), "name");
  EXPECT_TRUE(customer->FldAlias());
  EXPECT_EQ(customer->FldType(), 200);
  EXPECT_EQ(customer->FldSize(), 50);
  EXPECT_EQ(Field("order_list", "placed")->FldType(), 133);

  project->LoadCustomView("dup", "SELECT o.customer_id, c.customer_id FROM orders o, customers c", false);
  EXPECT_EQ(ObP::ProjErr(), "Columns with same field name: customer_id. Please create Alias for the fields.");
  project->LoadCustomView("bad", "SELECT FROM WHERE", false);
  EXPECT_FALSE(ObP::ProjErr().empty());
  EXPECT_EQ(Table("bad"), nullptr);
  project->LoadReport("customers_report", "customers");
  EXPECT_EQ(ObP::ProjErr(), "");
}

TEST_P(Servers, TableDroppedBeforeLoadTable) {
  project->DynamicLoadDB(true);
  Load(db_);
  ASSERT_EQ(ObP::ProjErr(), "");
  project->openDatabase()->tables().Add("gone")->TblLoaded(false);  // listed, not in the database
  project->LoadTable("gone");
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: Table gone not found!");
}

INSTANTIATE_TEST_SUITE_P(Drivers, Servers, ::testing::Values("mysql", "postgresql", "mysql-jdbc", "postgresql-jdbc"),
                         [](const auto& info) {
                           std::string name = info.param;
                           if (name.ends_with("-jdbc")) name.replace(name.size() - 5, 1, "_");
                           return name;
                         });

class ServerTypes : public ProjectTest {};

TEST_F(ServerTypes, EnumSetAndUnsigned) {
  auto server = MysqlServer();
  if (!server) GTEST_SKIP() << "mysql server not configured (scripts/test starts one)";
  Load(*server);
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(project->openDatabase()->DBQuoteS(), "`");
  struct Case {
    const char* field;
    int16_t type;
    int16_t native;
    const char* tags;
    const char* tag;
  };
  const Case cases[] = {
      {"yes_no", 202, 247, "\"Y\",\"Y\"\r\n\"N\",\"N\"", "CHECKBOX"},
      {"abc", 202, 247, "\"a\",\"a\"\r\n\"b\",\"b\"\r\n\"c\",\"c\"", "RADIO"},
      {"tags", 202, 248, "\"red\",\"red\"\r\n\"green\",\"green\"", "CHECKBOX"},
      {"tiny_n", 17, 1, "", "TEXT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    ObPField* f = Field("choices", c.field);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->FldType(), c.type);
    EXPECT_EQ(f->NativeDataType(), c.native);
    EXPECT_EQ(f->FldTagValues(), c.tags);
    EXPECT_EQ(f->FldHtmlTag(), c.tag);
  }
  EXPECT_EQ(CStr(Field("choices", "yes_no")->FldDefault()), "Y");
}

TEST_F(ServerTypes, PostgresEnumAndIdentity) {
  auto server = PostgresServer();
  if (!server) GTEST_SKIP() << "postgresql server not configured (scripts/test starts one)";
  Load(*server);
  ASSERT_EQ(ObP::ProjErr(), "");
  ObPField* mood = Field("feelings", "current");
  ASSERT_NE(mood, nullptr);
  EXPECT_EQ(mood->FldType(), 202);
  EXPECT_EQ(mood->FldTagValues(), "\"sad\",\"sad\"\r\n\"ok\",\"ok\"\r\n\"happy\",\"happy\"");
  EXPECT_EQ(mood->FldHtmlTag(), "RADIO") << "an enum is a choice of its labels";
  EXPECT_TRUE(Field("customers", "customer_id")->FldAutoIncrement()) << "identity column";
  EXPECT_EQ(Field("customers", "customer_id")->FldHtmlTag(), "NO");
  EXPECT_TRUE(Field("feelings", "id")->FldAutoIncrement()) << "serial column";
  EXPECT_TRUE(Field("feelings", "id")->FldDefault().IsEmpty()) << "nextval() is no default value";
}

}  // namespace
