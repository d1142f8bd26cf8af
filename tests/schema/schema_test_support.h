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
#include "model/project.h"
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

// One database a test loads: its type and connection values.
struct TestDatabase {
  std::string type, name, host, port, user, password;
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
    project->LoadDB(db.name, db.type, db.host, db.port, db.user, db.password, "", "", "", "");
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
