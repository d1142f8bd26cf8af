// What the synchronisation tests share: a live database of each kind that a
// test changes between steps — a SQLite file, a database of its own on the
// MariaDB server, a schema of its own on the PostgreSQL server (the servers of
// scripts/test-servers, described by ZANTREL_TEST_MYSQL_* and ZANTREL_TEST_PG_*;
// tests skip when they are absent) — and a project loaded from it.
#pragma once

#include <sqlite3.h>
#include <unistd.h>
#ifdef ZANTREL_HAVE_MYSQL
#include <mariadb/mysql.h>
#endif
#ifdef ZANTREL_HAVE_POSTGRES
#include <postgresql/libpq-fe.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "core/context.h"
#include "project/project.h"
#include "platform/prompter.h"
#include "support/temp_config.h"
#include "sync/differences.h"

namespace zantrel::test {

inline std::string Env(const std::string& key) {
  const char* v = std::getenv(key.c_str());
  return v ? v : "";
}

inline std::string UniqueName() {
  static int counter = 0;
  return "zsync_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
}

// A database a test owns: made empty, changed by Exec, removed with the object.
class LiveDatabase {
 public:
  virtual ~LiveDatabase() = default;
  // Runs statements separated by ";" (none of them holds one); false on failure.
  virtual bool Exec(const std::string& sql) = 0;
  // The project's connection values: DBName, DBType, host, port, user, password, SID.
  std::string name, type, host, port, user, password, sid;
  // A table name as a custom view's SQL must spell it.
  virtual std::string Qualified(const std::string& table) const { return table; }
};

class SqliteDatabase : public LiveDatabase {
 public:
  SqliteDatabase() {
    path_ = std::filesystem::temp_directory_path() / (UniqueName() + ".db");
    name = path_.string();
    type = "sqlite";
  }
  ~SqliteDatabase() override { std::filesystem::remove(path_); }
  bool Exec(const std::string& sql) override {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    char* error = nullptr;
    bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
    if (!ok) ADD_FAILURE() << "SQL failed: " << (error ? error : "") << "\n" << sql;
    sqlite3_free(error);
    sqlite3_close(db);
    return ok;
  }

 private:
  std::filesystem::path path_;
};

#ifdef ZANTREL_HAVE_MYSQL
class MariadbDatabase : public LiveDatabase {
 public:
  MariadbDatabase() {
    name = UniqueName();
    type = "mysql";
    host = Env("ZANTREL_TEST_MYSQL_HOST");
    port = Env("ZANTREL_TEST_MYSQL_PORT");
    user = Env("ZANTREL_TEST_MYSQL_USER");
    password = Env("ZANTREL_TEST_MYSQL_PASSWORD");
    conn_ = mysql_init(nullptr);
    if (!mysql_real_connect(conn_, host.c_str(), user.c_str(), password.c_str(), nullptr, std::atoi(port.c_str()),
                            nullptr, 0))
      ADD_FAILURE() << mysql_error(conn_);
    Exec("CREATE DATABASE " + name + "; USE " + name);
  }
  ~MariadbDatabase() override {
    Exec("DROP DATABASE " + name);
    mysql_close(conn_);
  }
  bool Exec(const std::string& sql) override {
    std::size_t start = 0;
    while (start < sql.size()) {
      std::size_t end = sql.find(';', start);
      std::string statement = sql.substr(start, end == std::string::npos ? std::string::npos : end - start);
      start = end == std::string::npos ? sql.size() : end + 1;
      if (statement.find_first_not_of(" \n\t") == std::string::npos) continue;
      if (mysql_query(conn_, statement.c_str()) != 0) {
        ADD_FAILURE() << "SQL failed: " << mysql_error(conn_) << "\n" << statement;
        return false;
      }
    }
    return true;
  }

 private:
  MYSQL* conn_ = nullptr;
};
#endif

#ifdef ZANTREL_HAVE_POSTGRES
class PostgresDatabase : public LiveDatabase {
 public:
  PostgresDatabase() {
    name = Env("ZANTREL_TEST_PG_DB");
    type = "postgresql";
    host = Env("ZANTREL_TEST_PG_HOST");
    port = Env("ZANTREL_TEST_PG_PORT");
    user = Env("ZANTREL_TEST_PG_USER");
    password = Env("ZANTREL_TEST_PG_PASSWORD");
    sid = UniqueName();
    std::string conninfo =
        "host=" + host + " port=" + port + " dbname=" + name + " user=" + user + " password=" + password;
    conn_ = PQconnectdb(conninfo.c_str());
    if (PQstatus(conn_) != CONNECTION_OK) ADD_FAILURE() << PQerrorMessage(conn_);
    Exec("SET client_min_messages TO WARNING; CREATE SCHEMA " + sid + "; SET search_path TO " + sid);
  }
  ~PostgresDatabase() override {
    Exec("DROP SCHEMA " + sid + " CASCADE");
    PQfinish(conn_);
  }
  bool Exec(const std::string& sql) override {
    PGresult* r = PQexec(conn_, sql.c_str());
    bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    if (!ok) ADD_FAILURE() << "SQL failed: " << PQerrorMessage(conn_) << "\n" << sql;
    PQclear(r);
    return ok;
  }
  std::string Qualified(const std::string& table) const override { return sid + "." + table; }

 private:
  PGconn* conn_ = nullptr;
};
#endif

// The database of a kind, or null (with the reason) when its server is absent.
inline std::unique_ptr<LiveDatabase> MakeLiveDatabase(const std::string& kind, std::string& reason) {
  if (kind == "sqlite") return std::make_unique<SqliteDatabase>();
#ifdef ZANTREL_HAVE_MYSQL
  if (kind == "mysql" && !Env("ZANTREL_TEST_MYSQL_PORT").empty()) return std::make_unique<MariadbDatabase>();
#endif
#ifdef ZANTREL_HAVE_POSTGRES
  if (kind == "postgresql" && !Env("ZANTREL_TEST_PG_PORT").empty()) return std::make_unique<PostgresDatabase>();
#endif
  reason = kind + " server not configured (scripts/test starts one)";
  return nullptr;
}

// The kinds of DifferenceKind that a list holds, for compact expectations.
inline int CountOf(const SchemaDifferences& d, DifferenceKind kind) {
  int n = 0;
  for (const Difference& item : d.items) n += item.kind == kind;
  return n;
}

inline const Difference* FindDifference(const SchemaDifferences& d, DifferenceKind kind, const std::string& table,
                                        const std::string& field = "") {
  for (const Difference& item : d.items)
    if (item.kind == kind && item.table == table && item.field == field) return &item;
  return nullptr;
}

// A test on every kind of database, with a project loaded from it and a
// prompter that answers from a script and records what it was asked.
class SyncTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    std::string reason;
    db = MakeLiveDatabase(GetParam(), reason);
    if (!db) GTEST_SKIP() << reason;
    auto scripted = std::make_unique<ScriptedPrompter>();
    prompter = scripted.get();
    InstallPrompter(std::move(scripted));
  }
  void TearDown() override {
    project = nullptr;
    InstallPrompter(std::make_unique<Prompter>());
    Context().projErr.clear();
  }

  // A new project loaded from the database (every table and view, or with
  // dynamic load only their names).
  Ref<ObP> LoadProject(bool dynamic = false) {
    auto p = MakeRef<ObP>();
    p->AddProj("sync test");
    p->DynamicLoadDB(dynamic);
    p->LoadDB(db->name, db->type, db->host, db->port, db->user, db->password, db->sid, "", "", "");
    EXPECT_EQ(ObP::ProjErr(), "");
    return p;
  }
  ObPTable* Table(const std::string& name) const {
    ObPDatabase* d = project->openDatabase();
    return d ? d->tables().FindExact(name) : nullptr;
  }
  ObPField* Field(const std::string& table, const std::string& field) const {
    ObPTable* t = Table(table);
    return t ? t->Fields().FindExact(field) : nullptr;
  }
  void Reply(std::size_t button) { prompter->replies.push_back(PromptReply{button, false}); }

  TempConfig config;
  std::unique_ptr<LiveDatabase> db;
  Ref<ObP> project;
  ScriptedPrompter* prompter = nullptr;
};

}  // namespace zantrel::test
