// `zantrel new --method JDBC` as a user runs it: the hint when the Java pieces
// are not set, a Java runtime that fails to start (each run is its own
// process, and a process starts its runtime once), and on the test servers
// the same project as the native drivers make.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "support/run_cli.h"
#include "support/temp_config.h"

namespace {

namespace fs = std::filesystem;

using zantrel::test::Cli;
using Result = zantrel::test::CliResult;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// The project file without what differs by method or name: the method itself,
// the project name, and each field's server type name and code.
std::string Comparable(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  static const std::regex kByMethod(R"( (ProjName|DBConnectionMethod|FldTypeName|NativeDataType)="[^"]*")");
  return std::regex_replace(text, kByMethod, "");
}

class JdbcCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ZANTREL_TEST_HAVE_JDBC) GTEST_SKIP() << "this build has no JDBC connection method";
  }
  bool JavaPresent() const { return fs::exists(ZANTREL_TEST_JVM) && fs::exists(ZANTREL_TEST_MARIADB_JAR); }
  void ConfigureJava() {
    ASSERT_EQ(Cli(std::string("config set JavaRuntimeLib ") + ZANTREL_TEST_JVM).exitCode, 0);
    ASSERT_EQ(Cli(std::string("config set MySQLJDBCDriver ") + ZANTREL_TEST_MARIADB_JAR).exitCode, 0);
    ASSERT_EQ(Cli(std::string("config set PostgreSQLJDBCDriver ") + ZANTREL_TEST_PG_JAR).exitCode, 0);
  }
  std::string Project(const std::string& name) const { return (config.user() / name).string(); }

  zantrel::test::TempConfig config;
};

TEST_F(JdbcCli, MissingSettingsGiveTheHint) {
  Result r = Cli("new " + Project("p.zpr") + " --type oracle --db ORCL --sid XE --method JDBC");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("zantrel new: JDBC ERROR: set JavaRuntimeLib to use the JDBC connection method"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("zantrel config set JavaRuntimeLib "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("zantrel config set OracleJDBCDriver "), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(Project("p.zpr")));
  Result native = Cli("new " + Project("p.zpr") + " --type oracle --db ORCL");
  EXPECT_EQ(native.exitCode, 1);
  EXPECT_EQ(native.out.find("hint:"), std::string::npos) << "the hint is for the JDBC method only";
}

TEST_F(JdbcCli, RuntimeThatFailsToStartIsAnError) {
  if (!JavaPresent()) GTEST_SKIP() << "no Java runtime or MariaDB JDBC jar";
  ConfigureJava();
  Result r = Cli("new " + Project("p.zpr") + " --type mysql --db shop --host 127.0.0.1 --port 1 --method JDBC",
                 "JAVA_TOOL_OPTIONS=-XX:+ZantrelNoSuchOption");
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_NE(r.out.find("failed to start (JNI error"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(Project("p.zpr")));
}

TEST_F(JdbcCli, NewBuildsTheNativeProject) {
  if (!JavaPresent()) GTEST_SKIP() << "no Java runtime or MariaDB JDBC jar";
  ConfigureJava();
  int servers = 0;
  for (std::string prefix : {"ZANTREL_TEST_MYSQL_", "ZANTREL_TEST_PG_"}) {
    if (Env((prefix + "PORT").c_str()).empty()) continue;
    ++servers;
    const std::string type = prefix == "ZANTREL_TEST_MYSQL_" ? "mysql" : "postgresql";
    SCOPED_TRACE(type);
    const std::string args = " --type " + type + " --db " + Env((prefix + "DB").c_str()) + " --host " +
                             Env((prefix + "HOST").c_str()) + " --port " + Env((prefix + "PORT").c_str()) +
                             " --user " + Env((prefix + "USER").c_str()) + " --password-env " + prefix + "PASSWORD";
    Result native = Cli("new " + Project(type + "-native.zpr") + args);
    ASSERT_EQ(native.exitCode, 0) << native.out;
    Result jdbc = Cli("new " + Project(type + "-jdbc.zpr") + args + " --method JDBC");
    ASSERT_EQ(jdbc.exitCode, 0) << jdbc.out;
    EXPECT_EQ(Comparable(Project(type + "-native.zpr")), Comparable(Project(type + "-jdbc.zpr")));
  }
  if (servers == 0) GTEST_SKIP() << "no server configured (scripts/test starts them)";
}

}  // namespace
