// The JDBC connection method: the URL builder and the java.sql.Types mapping as
// row tables, the refusals that need no server (missing settings, a wrong
// libjvm.so, a jar without a JDBC driver), and, against the test servers, the
// native and JDBC methods reading every table and field alike.
#include <fstream>
#include <thread>

#include "schema/drivers/jdbc_targets.h"
#include "schema/drivers/jdbc_types.h"
#include "schema/drivers/native_drivers.h"
#include "project/obp_schema.h"
#include "schema_test_support.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

TEST(JdbcUrl, BuiltFromHostPortDatabaseAndSid) {
  struct Case {
    const char* type;
    const char* host;
    int32_t port;
    const char* database;
    const char* sid;
    const char* url;
  };
  const Case cases[] = {
      {"oracle", "db.example", 0, "", "ORCL", "jdbc:oracle:thin:@db.example:1521:ORCL"},
      {"Oracle", "", 1522, "ignored", "XE", "jdbc:oracle:thin:@localhost:1522:XE"},
      {"oracle", "db.example", 0, "pdb1", "", "jdbc:oracle:thin:@//db.example:1521/pdb1"},
      {"oracle", "::1", 0, "", "XE", "jdbc:oracle:thin:@[::1]:1521:XE"},
      {"oracle", "[fe80::1]", 1600, "", "XE", "jdbc:oracle:thin:@[fe80::1]:1600:XE"},
      {"mysql", "127.0.0.1", 3307, "shop", "", "jdbc:mariadb://127.0.0.1:3307/shop"},
      {"MySQL", "", 0, "", "", "jdbc:mariadb://localhost:3306/"},
      {"postgresql", "pg", 0, "", "sales", "jdbc:postgresql://pg:5432/postgres"},
      {"postgresql", "pg", 6543, "crm", "", "jdbc:postgresql://pg:6543/crm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const jdbc::Target* target = jdbc::FindTarget(c.type);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(jdbc::BuildUrl(*target, c.host, c.port, c.database, c.sid), c.url);
  }
  EXPECT_EQ(jdbc::FindTarget("sqlite"), nullptr);
  EXPECT_EQ(jdbc::FindTarget("ORACLE")->jarSetting, "OracleJDBCDriver");
  EXPECT_EQ(jdbc::FindTarget("mysql")->jarSetting, "MySQLJDBCDriver");
  EXPECT_EQ(jdbc::FindTarget("postgresql")->jarSetting, "PostgreSQLJDBCDriver");
}

TEST(JdbcTypes, SqlTypesAndServerNamesMapToAdo) {
  struct Case {
    int32_t sqlType;
    const char* typeName;
    int64_t columnSize;
    int32_t ado;
    int32_t size;
    int32_t flags;  // kFldFixed / kFldLong
  };
  constexpr int32_t kMax = ado::kLongSize;
  const Case cases[] = {
      // Oracle's own column types
      {2, "NUMBER", 12, 131, 12, ado::kFldFixed},
      {93, "DATE", 7, 135, 19, ado::kFldFixed},
      {12, "VARCHAR2", 100, 200, 100, 0},
      {-9, "NVARCHAR2", 50, 202, 50, 0},
      {-15, "NCHAR", 2, 130, 2, ado::kFldFixed},
      {2005, "CLOB", -1, 201, kMax, ado::kFldLong},
      {2011, "NCLOB", -1, 203, kMax, ado::kFldLong},
      {2004, "BLOB", -1, 205, kMax, ado::kFldLong},
      {-3, "RAW", 16, 204, 16, 0},
      {-1, "LONG", 0, 201, kMax, ado::kFldLong},
      {100, "BINARY_FLOAT", 0, 4, 7, ado::kFldFixed},
      {101, "BINARY_DOUBLE", 0, 5, 15, ado::kFldFixed},
      {-101, "TIMESTAMP WITH TIME ZONE", 13, 135, 19, ado::kFldFixed},
      // display widths differ by driver; the native sizes win
      {91, "date", 13, 133, 10, ado::kFldFixed},
      {92, "time", 15, 134, 8, ado::kFldFixed},
      {7, "float4", 8, 4, 7, ado::kFldFixed},
      {-7, "BIT", 3, 11, 1, ado::kFldFixed},
      {16, "BOOLEAN", 1, 11, 1, ado::kFldFixed},
      // names that JDBC reports too loosely
      {12, "text", kMax, 201, kMax, ado::kFldLong},
      {-2, "bytea", kMax, 205, kMax, ado::kFldLong},
      {1111, "uuid", kMax, 72, 36, ado::kFldFixed},
      {1111, "UUID", 0, 72, 36, ado::kFldFixed},
      {1111, "jsonb", kMax, 201, kMax, ado::kFldLong},
      {4, "MEDIUMINT", 7, 3, 7, ado::kFldFixed},
      // unsigned integers
      {-6, "TINYINT UNSIGNED", 3, 17, 3, ado::kFldFixed},
      {5, "SMALLINT UNSIGNED", 5, 18, 5, ado::kFldFixed},
      {4, "MEDIUMINT UNSIGNED", 8, 19, 7, ado::kFldFixed},
      {4, "INT UNSIGNED", 10, 19, 10, ado::kFldFixed},
      {-5, "BIGINT UNSIGNED", 20, 21, 19, ado::kFldFixed},
      {3, "DECIMAL UNSIGNED", 8, 131, 8, ado::kFldFixed},
      // sizes beyond 32 bits and unknown types
      {-1, "LONGTEXT", 4294967295LL, 201, kMax, ado::kFldLong},
      {1111, "interval", 49, 200, 49, 0},
      {1111, "geometry", 0, 200, kMax, 0},
      {1, "CHAR", 0, 129, 0, ado::kFldFixed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typeName) + " " + std::to_string(c.sqlType));
    DriverField f = jdbc::FieldOf({"c", c.sqlType, c.typeName, c.columnSize, true, "NULL", false});
    EXPECT_EQ(f.ADODataType, c.ado);
    EXPECT_EQ(f.Size, c.size);
    EXPECT_EQ(f.ADOAttributes & (ado::kFldFixed | ado::kFldLong), c.flags);
    EXPECT_EQ(f.NativeDataType, c.sqlType);
    EXPECT_EQ(f.DataTypeName, c.typeName);
  }
}

TEST(JdbcTypes, NullsDefaultsAndAutoIncrement) {
  DriverField serial = jdbc::FieldOf({"id", 4, "serial", 10, false, "nextval('t_id_seq'::regclass)", true});
  EXPECT_TRUE(serial.AutoIncrement);
  EXPECT_TRUE(serial.Required);
  EXPECT_FALSE(serial.HasDefault) << "a sequence default is no value";
  EXPECT_EQ(serial.ADOAttributes & (ado::kFldUpdatable | ado::kFldIsNullable), 0);

  struct Case {
    const char* columnDef;
    bool has;
    const char* value;
  };
  const Case cases[] = {
      {"NULL", false, ""},        {"null", false, ""},        {"'new'", true, "new"},
      {"new", true, "new"},       {"'it''s'", true, "it's"},  {"'new'::character varying", true, "new"},
      {"1", true, "1"},           {"''", true, ""},           {"NULL::character varying", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.columnDef);
    DriverField f = jdbc::FieldOf({"c", 12, "VARCHAR", 10, true, c.columnDef, false});
    EXPECT_EQ(f.HasDefault, c.has);
    if (c.has) {
      EXPECT_EQ(f.DefaultValue, c.value);
    }
    EXPECT_FALSE(f.Required);
    EXPECT_EQ(f.ADOAttributes & (ado::kFldUpdatable | ado::kFldIsNullable | ado::kFldMayBeNull), 0x64);
  }
}

// Refusals that happen before any server is asked.
class JdbcRefusals : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    if (!ZANTREL_TEST_HAVE_JDBC) GTEST_SKIP() << "this build has no JDBC connection method";
  }
  void LoadOracle() {
    project->LoadDB("ORCL", "oracle", "127.0.0.1", "1", "scott", "tiger", "XE", "JDBC", "", "");
  }
  static bool RuntimeBuilt() { return std::filesystem::exists(ZANTREL_TEST_JVM); }
};

TEST_F(JdbcRefusals, MissingSettingsAreJdbcErrors) {
  LoadOracle();
  EXPECT_EQ(ObP::ProjErr(), "JDBC ERROR: set JavaRuntimeLib to use the JDBC connection method");
  EXPECT_EQ(project->DBCnt(), 0);
  SetUserDefault("JavaRuntimeLib", "/nowhere/libjvm.so");
  LoadOracle();
  EXPECT_EQ(ObP::ProjErr(), "JDBC ERROR: set OracleJDBCDriver to use the JDBC connection method");
  project->LoadDB("x", "sqlite", "", "", "", "", "", "JDBC", "", "");
  EXPECT_EQ(ObP::ProjErr(), "JDBC ERROR: no JDBC driver is known for the database type sqlite");
  EXPECT_EQ(project->DBCnt(), 0);
}

TEST_F(JdbcRefusals, ReferenceLoaderSaysJdbcErrorWithoutConnecting) {
  ObPSchema schema;
  schema.LoadDB("shop", "mysql", "127.0.0.1", "1", "u", "p", "", "JDBC", "", "");
  EXPECT_EQ(ObP::ProjErr(), "JDBC ERROR");
  SetUserDefault("JavaRuntimeLib", "/nowhere/libjvm.so");
  SetUserDefault("MySQLJDBCDriver", "/nowhere/driver.jar");
  ObPSchema oracle;
  oracle.LoadDB("ORCL", "oracle", "127.0.0.1", "1", "u", "p", "XE", "JDBC", "", "");
  EXPECT_EQ(ObP::ProjErr(), "JDBC ERROR") << "Oracle has no driver jar set";
  EXPECT_FALSE(oracle.loaded());
}

TEST_F(JdbcRefusals, WrongRuntimeLibraryIsAnErrorNotACrash) {
  if (JavaRuntimeLoaded()) GTEST_SKIP() << "a Java runtime already runs in this process";
  SetUserDefault("OracleJDBCDriver", "/nowhere/ojdbc11.jar");
  SetUserDefault("JavaRuntimeLib", "/nowhere/libjvm.so");
  LoadOracle();
  EXPECT_EQ(ObP::ProjErr().rfind("JDBC ERROR: cannot load the Java runtime library /nowhere/libjvm.so: ", 0), 0u)
      << ObP::ProjErr();
  SetUserDefault("JavaRuntimeLib", "libm.so.6");  // a library, but no Java runtime
  LoadOracle();
  EXPECT_EQ(ObP::ProjErr(), "JDBC ERROR: libm.so.6 is not a Java runtime library (no JNI_CreateJavaVM)");
  EXPECT_FALSE(project->JVMLoaded());
  EXPECT_EQ(project->DBCnt(), 0);
}

TEST_F(JdbcRefusals, JarsWithoutTheDriver) {
  if (!RuntimeBuilt() || !std::filesystem::exists(ZANTREL_TEST_PG_JAR)) GTEST_SKIP() << "no Java runtime or jar";
  SetUserDefault("JavaRuntimeLib", ZANTREL_TEST_JVM);
  SetUserDefault("OracleJDBCDriver", "/nowhere/ojdbc11.jar");
  LoadOracle();
  EXPECT_EQ(ObP::ProjErr(), "JDBC driver jar not found: /nowhere/ojdbc11.jar");
  EXPECT_TRUE(project->JVMLoaded());

  const std::string junk = (config.user() / "not-a-driver.jar").string();
  std::ofstream(junk) << "this is no zip archive";
  SetUserDefault("OracleJDBCDriver", junk);
  LoadOracle();
  EXPECT_EQ(ObP::ProjErr(), junk + " holds no JDBC driver that accepts jdbc:oracle:thin:@127.0.0.1:1:XE");

  SetUserDefault("OracleJDBCDriver", ZANTREL_TEST_PG_JAR);  // a driver, but for another database
  project->LoadDB("ORCL", "oracle", "", "", "scott", "tiger", "", "JDBC", "jdbc:oracle:thin:@//h:1521/svc", "");
  EXPECT_EQ(ObP::ProjErr(),
            std::string(ZANTREL_TEST_PG_JAR) + " holds no JDBC driver that accepts jdbc:oracle:thin:@//h:1521/svc");
  EXPECT_EQ(project->DBCnt(), 0);
}

// Every table and field read through both methods, record by record. Type
// names and codes are each method's own, except the ENUM and SET codes.
class JdbcAgreesWithNative : public ProjectTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(JdbcAgreesWithNative, FieldByField) {
  std::string skip;
  auto native = ServerFor(GetParam(), skip);
  auto jdbc = native ? ServerFor(GetParam() + "-jdbc", skip) : std::nullopt;
  if (!jdbc) GTEST_SKIP() << skip;
  auto load = [](const TestDatabase& d, ObPSchema& s) {
    s.LoadDB(d.name, d.type, d.host, d.port, d.user, d.password, "", d.method, "", "");
    EXPECT_EQ(ObP::ProjErr(), "") << d.method;
  };
  ObPSchema a, b;
  load(*native, a);
  load(*jdbc, b);
  ASSERT_EQ(a.tblcnt(), b.tblcnt());
  ASSERT_GE(a.tblcnt(), 6);
  for (int16_t i = 1; i <= a.tblcnt(); ++i) {
    ObSchemaTable x = a.Tbl(i), y = b.Tbl(i);
    SCOPED_TRACE(x.TblName);
    ASSERT_EQ(x.TblName, y.TblName);
    EXPECT_EQ(x.TblType, y.TblType);
    EXPECT_EQ(x.TblKey, y.TblKey);
    ASSERT_EQ(x.TblFldCnt, y.TblFldCnt);
    for (int16_t k = 1; k <= x.TblFldCnt; ++k) {
      const ObSchemaField& f = x.TblFields.Fld[k];
      const ObSchemaField& g = y.TblFields.Fld[k];
      SCOPED_TRACE(f.FldName);
      EXPECT_EQ(f.FldName, g.FldName);
      EXPECT_EQ(f.FldType, g.FldType);
      EXPECT_EQ(f.FldSize, g.FldSize);
      EXPECT_EQ(f.FldReq, g.FldReq);
      EXPECT_EQ(f.FldUniqueIdx, g.FldUniqueIdx);
      EXPECT_EQ(f.FldAutoIncrement, g.FldAutoIncrement);
      EXPECT_EQ(f.FldIsPrimaryKey, g.FldIsPrimaryKey);
      EXPECT_EQ(f.FldAttribute, g.FldAttribute);
      EXPECT_EQ(f.FldSupport, g.FldSupport);
      EXPECT_EQ(f.FldQuoteS, g.FldQuoteS);
      EXPECT_EQ(f.FldTagValues, g.FldTagValues);
      EXPECT_EQ(f.FldDefault.IsEmpty(), g.FldDefault.IsEmpty());
      if (!f.FldDefault.IsEmpty()) {
        EXPECT_EQ(CStr(f.FldDefault), CStr(g.FldDefault));
      }
      if (!f.FldTagValues.empty()) {
        EXPECT_EQ(f.NativeDataType, g.NativeDataType);
      }
    }
  }
}

// A host's worker threads each attach to the one runtime and keep their own
// driver and connection; a thread that ends detaches and closes them.
TEST_P(JdbcAgreesWithNative, OneRuntimeServesEveryThread) {
  std::string skip;
  auto server = ServerFor(GetParam() + "-jdbc", skip);
  if (!server) GTEST_SKIP() << skip;
  auto loadOnThisThread = [&] {
    auto p = MakeRef<ObP>();
    p->AddProj("thread");
    p->LoadDB(server->name, server->type, server->host, server->port, server->user, server->password, "",
              "JDBC", "", "");
    std::string result = ObP::ProjErr().empty() ? std::to_string(p->openDatabase()->tables().Count()) : ObP::ProjErr();
    Context().projErr.clear();
    return result;
  };
  const std::string onMain = loadOnThisThread();
  std::string first, second;
  std::thread a([&] { first = loadOnThisThread(); });
  std::thread b([&] { second = loadOnThisThread(); });
  a.join();
  b.join();
  EXPECT_GE(std::atoi(onMain.c_str()), 6) << onMain;
  EXPECT_EQ(first, onMain);
  EXPECT_EQ(second, onMain);
  std::thread again([&] { first = loadOnThisThread(); });
  again.join();
  EXPECT_EQ(first, onMain) << "a new thread after others ended";
  EXPECT_TRUE(project->JVMLoaded());
}

INSTANTIATE_TEST_SUITE_P(Servers, JdbcAgreesWithNative, ::testing::Values("mysql", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
