// What the schema tests share: a project with its own registry folders, the
// SQLite test database built from tests/data/schema/sqlite.sql, and the
// connections to the MariaDB and PostgreSQL servers that scripts/test starts
// (read from ZANTREL_TEST_MYSQL_* and ZANTREL_TEST_PG_*; absent when no server runs).
#pragma once

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "core/context.h"
#include "core/convert.h"
#include "project/project.h"
#include "platform/registry.h"
#include "support/temp_config.h"

namespace zantrel::test {

inline std::string ReadFixture(const std::string& name) {
  std::ifstream in(std::string(ZANTREL_TEST_DATA) + "/schema/" + name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A SQLite file made from SQL text, removed with the object.
class SqliteFile {
 public:
  explicit SqliteFile(const std::string& sql, const std::string& name = "test.db") {
    path_ = std::filesystem::temp_directory_path() /
            ("zantrel-schema-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++) + "-" + name);
    std::filesystem::remove(path_);
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      ADD_FAILURE() << "fixture SQL failed: " << (error ? error : "");
      sqlite3_free(error);
    }
    sqlite3_close(db);
  }
  ~SqliteFile() { std::filesystem::remove(path_); }
  // Runs more SQL on the file (a test that changes the database under a project).
  void Exec(const std::string& sql) const {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  std::string path() const { return path_.string(); }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

// One database a test loads: its type, connection values and method.
struct TestDatabase {
  std::string type, name, host, port, user, password;
  std::string method = "";  // "" native, "JDBC"
};

inline std::optional<TestDatabase> ServerFromEnv(const std::string& type, const std::string& prefix) {
  auto env = [&](const char* key) {
    const char* v = std::getenv((prefix + key).c_str());
    return std::string(v ? v : "");
  };
  if (env("PORT").empty()) return std::nullopt;
  return TestDatabase{type, env("DB"), env("HOST"), env("PORT"), env("USER"), env("PASSWORD")};
}

inline std::optional<TestDatabase> MysqlServer() { return ServerFromEnv("mysql", "ZANTREL_TEST_MYSQL_"); }
inline std::optional<TestDatabase> PostgresServer() { return ServerFromEnv("postgresql", "ZANTREL_TEST_PG_"); }

// Writes a text user default under the product's settings key.
inline void SetUserDefault(const std::string& name, const std::string& value) {
  cRegistry& reg = Context().Service<cRegistry>();
  reg.ClassKey = kHKeyCurrentUser;
  reg.SectionKey = Context().SettingsKey();
  reg.ValueKey = name;
  reg.ValueType = static_cast<int32_t>(kRegSz);
  reg.Value(Variant(value));
}

// The server for a driver name of the tests: "mysql", "postgresql", and with
// "-jdbc" the same server through the JDBC method, whose user defaults (the
// build's libjvm.so and Debian's driver jars) it sets. Empty with the reason in
// `skip` when the server or the JDBC pieces are missing.
inline std::optional<TestDatabase> ServerFor(const std::string& driver, std::string& skip) {
  const bool jdbc = driver.ends_with("-jdbc");
  const std::string type = jdbc ? driver.substr(0, driver.size() - 5) : driver;
  auto server = type == "mysql" ? MysqlServer() : PostgresServer();
  if (!server) {
    skip = type + " server not configured (scripts/test starts one)";
    return std::nullopt;
  }
  if (!jdbc) return server;
  if (!ZANTREL_TEST_HAVE_JDBC) {
    skip = "this build has no JDBC connection method";
    return std::nullopt;
  }
  const std::string jar = type == "mysql" ? ZANTREL_TEST_MARIADB_JAR : ZANTREL_TEST_PG_JAR;
  if (std::string(ZANTREL_TEST_JVM).empty() || !std::filesystem::exists(ZANTREL_TEST_JVM) ||
      !std::filesystem::exists(jar)) {
    skip = "no Java runtime or JDBC driver jar for " + type + " (scripts/bootstrap installs them)";
    return std::nullopt;
  }
  SetUserDefault("JavaRuntimeLib", ZANTREL_TEST_JVM);
  SetUserDefault(type == "mysql" ? "MySQLJDBCDriver" : "PostgreSQLJDBCDriver", jar);
  server->method = "JDBC";
  return server;
}

// A fresh project with its own registry folders.
class ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project = MakeRef<ObP>();
    project->AddProj("schema test");
  }
  void TearDown() override {
    project = nullptr;
    Context().projErr.clear();
  }
  void Load(const TestDatabase& db) {
    project->LoadDB(db.name, db.type, db.host, db.port, db.user, db.password, "", db.method, "", "");
  }
  ObPTable* Table(const std::string& name) { return project->openDatabase()->tables().Find(name); }
  ObPField* Field(const std::string& table, const std::string& field) {
    ObPTable* t = Table(table);
    return t ? t->Fields().Find(field) : nullptr;
  }

  TempConfig config;
  Ref<ObP> project;
};

}  // namespace zantrel::test
