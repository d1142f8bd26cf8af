// Schema loading speed: ObP::LoadDB of a database of 1,000 tables x 20 columns
// against the raw catalogue queries that fetch the same information (columns,
// then keys), both in this process in the same run, for SQLite and — when the
// servers that scripts/test-servers starts are described by ZANTREL_TEST_MYSQL_*
// and ZANTREL_TEST_PG_* — MariaDB and PostgreSQL. Prints the best of several
// runs, the ratio LoadDB / raw and milliseconds per table.
//
//   bench_schema [TABLES] [COLUMNS] [RUNS]
#include <mariadb/mysql.h>
#include <postgresql/libpq-fe.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "project/project.h"

using namespace zantrel;
using Clock = std::chrono::steady_clock;

namespace {

// The column types of the generated tables, cycled; column 1 is the key.
struct Dialect {
  const char* name;
  const char* key;
  std::vector<const char*> types;
  char quote;
};

const Dialect kSqlite{"sqlite", "INTEGER PRIMARY KEY", {"INTEGER", "VARCHAR(50)", "TEXT", "DATE", "DECIMAL(10,2)", "DOUBLE", "BOOLEAN", "DATETIME"}, '"'};
const Dialect kMysql{"mysql", "INT AUTO_INCREMENT PRIMARY KEY", {"INT", "VARCHAR(50)", "TEXT", "DATE", "DECIMAL(10,2)", "DOUBLE", "BOOLEAN", "DATETIME"}, '`'};
const Dialect kPostgres{"postgresql", "SERIAL PRIMARY KEY", {"INTEGER", "VARCHAR(50)", "TEXT", "DATE", "NUMERIC(10,2)", "DOUBLE PRECISION", "BOOLEAN", "TIMESTAMP"}, '"'};

std::string SchemaSql(const Dialect& d, int tables, int columns) {
  std::string sql;
  for (int t = 0; t < tables; ++t) {
    sql += "CREATE TABLE t" + std::to_string(t) + " (c0 " + d.key;
    for (int c = 1; c < columns; ++c)
      sql += ", c" + std::to_string(c) + " " + d.types[(c + t) % d.types.size()] + (c == 1 ? " NOT NULL" : "");
    sql += ");\n";
  }
  return sql;
}

double BestMs(int runs, const std::function<void()>& fn) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    fn();
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  return best;
}

struct Target {
  std::string type, db, host, port, user, password;
};

// LoadDB into a fresh project, every table with its fields and defaults.
void LoadAll(const Target& t, int expectTables) {
  auto p = MakeRef<ObP>();
  p->LoadDB(t.db, t.type, t.host, t.port, t.user, t.password, "", "", "", "");
  if (!ObP::ProjErr().empty() || p->openDatabase()->tables().Count() != expectTables) {
    std::fprintf(stderr, "LoadDB failed: %s\n", ObP::ProjErr().c_str());
    std::exit(1);
  }
}

// The raw baselines: the same catalogue queries, every value read into a string.
std::vector<std::string> sink;

void RawSqlite(const Target& t) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(t.db.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  const char* queries[] = {
      "SELECT m.name, m.type, p.name, p.type, p.\"notnull\", p.dflt_value, p.pk FROM sqlite_master m "
      "JOIN pragma_table_info(m.name) p WHERE m.type IN ('table','view') ORDER BY m.name, p.cid",
      "SELECT m.name, ii.name FROM sqlite_master m JOIN pragma_index_list(m.name) il "
      "JOIN pragma_index_info(il.name) ii WHERE m.type = 'table' AND il.\"unique\" = 1"};
  sink.clear();
  for (const char* q : queries) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, q, -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
      for (int i = 0; i < sqlite3_column_count(st); ++i) {
        const unsigned char* v = sqlite3_column_text(st, i);
        sink.emplace_back(v ? reinterpret_cast<const char*>(v) : "");
      }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
}

void RawMysql(const Target& t) {
  MYSQL* c = mysql_init(nullptr);
  mysql_real_connect(c, t.host.c_str(), t.user.c_str(), t.password.c_str(), t.db.c_str(), std::atoi(t.port.c_str()),
                     nullptr, 0);
  const char* queries[] = {
      "SELECT c.TABLE_NAME, t.TABLE_TYPE, c.COLUMN_NAME, c.DATA_TYPE, c.COLUMN_TYPE, c.CHARACTER_MAXIMUM_LENGTH, "
      "c.NUMERIC_PRECISION, c.IS_NULLABLE, c.COLUMN_DEFAULT, c.EXTRA FROM information_schema.COLUMNS c "
      "JOIN information_schema.TABLES t ON t.TABLE_SCHEMA = c.TABLE_SCHEMA AND t.TABLE_NAME = c.TABLE_NAME "
      "WHERE c.TABLE_SCHEMA = DATABASE() ORDER BY c.TABLE_NAME, c.ORDINAL_POSITION",
      "SELECT TABLE_NAME, INDEX_NAME, COLUMN_NAME FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE() "
      "AND NON_UNIQUE = 0 ORDER BY TABLE_NAME, INDEX_NAME, SEQ_IN_INDEX"};
  sink.clear();
  for (const char* q : queries) {
    mysql_query(c, q);
    MYSQL_RES* r = mysql_store_result(c);
    unsigned n = mysql_num_fields(r);
    while (MYSQL_ROW row = mysql_fetch_row(r))
      for (unsigned i = 0; i < n; ++i) sink.emplace_back(row[i] ? row[i] : "");
    mysql_free_result(r);
  }
  mysql_close(c);
}

void RawPostgres(const Target& t) {
  std::string conninfo = "host=" + t.host + " port=" + t.port + " dbname=" + t.db + " user=" + t.user +
                         " password=" + t.password;
  PGconn* c = PQconnectdb(conninfo.c_str());
  const char* queries[] = {
      "WITH en AS (SELECT enumtypid, string_agg(enumlabel, E'\\n' ORDER BY enumsortorder) AS labels FROM pg_enum "
      "GROUP BY enumtypid) SELECT c.relname, c.relkind, a.attname, t.typname, format_type(a.atttypid, a.atttypmod), "
      "a.atttypid, a.atttypmod, a.attnotnull, pg_get_expr(d.adbin, d.adrelid), a.attidentity, t.typtype, en.labels "
      "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace JOIN pg_attribute a ON a.attrelid = c.oid "
      "AND a.attnum > 0 AND NOT a.attisdropped JOIN pg_type t ON t.oid = a.atttypid LEFT JOIN pg_attrdef d ON "
      "d.adrelid = c.oid AND d.adnum = a.attnum LEFT JOIN en ON en.enumtypid = t.oid WHERE n.nspname = 'public' "
      "AND c.relkind IN ('r', 'p', 'v', 'm') ORDER BY c.relname, a.attnum",
      "SELECT c.relname, i.indexrelid, i.indisprimary, a.attname FROM pg_index i JOIN pg_class c ON c.oid = "
      "i.indrelid JOIN pg_namespace n ON n.oid = c.relnamespace CROSS JOIN LATERAL unnest(i.indkey::int2[]) WITH "
      "ORDINALITY AS k(attnum, ord) JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = k.attnum WHERE "
      "n.nspname = 'public' AND i.indisunique ORDER BY c.relname, i.indexrelid, k.ord"};
  sink.clear();
  for (const char* q : queries) {
    PGresult* r = PQexec(c, q);
    for (int row = 0; row < PQntuples(r); ++row)
      for (int i = 0; i < PQnfields(r); ++i) sink.emplace_back(PQgetvalue(r, row, i));
    PQclear(r);
  }
  PQfinish(c);
}

// Runs SQL through a client program (the bench database is made once per run).
bool Pipe(const std::string& command, const std::string& sql) {
  FILE* p = popen(command.c_str(), "w");
  if (!p) return false;
  std::fwrite(sql.data(), 1, sql.size(), p);
  return pclose(p) == 0;
}

const char* Env(const std::string& key) {
  const char* v = std::getenv(key.c_str());
  return v ? v : "";
}

void Report(const std::string& name, int tables, int runs, const Target& t, const std::function<void()>& raw) {
  LoadAll(t, tables);  // warm the server's and the file system's caches
  raw();
  double load = BestMs(runs, [&] { LoadAll(t, tables); });
  double base = BestMs(runs, raw);
  std::printf("%-11s %8.1f %8.1f %6.2fx %10.3f\n", name.c_str(), load, base, load / base, load / tables);
}

}  // namespace

int main(int argc, char** argv) {
  const int tables = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int columns = argc > 2 ? std::atoi(argv[2]) : 20;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  auto config = std::filesystem::temp_directory_path() / ("zantrel-bench-schema-" + std::to_string(getpid()));
  std::filesystem::create_directories(config);
  setenv("ZANTREL_CONFIG_DIR", config.c_str(), 1);
  setenv("ZANTREL_MACHINE_CONFIG_DIR", config.c_str(), 1);

  std::printf("schema load: %d tables x %d columns, best of %d runs\n", tables, columns, runs);
  std::printf("%-11s %8s %8s %7s %10s\n", "database", "LoadDB", "raw", "ratio", "ms/table");

  auto file = config / "bench.db";
  {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    std::string sql = "BEGIN;" + SchemaSql(kSqlite, tables, columns) + "COMMIT;";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  Target lite{"sqlite", file.string(), "", "", "", ""};
  Report("sqlite", tables, runs, lite, [&] { RawSqlite(lite); });

  if (*Env("ZANTREL_TEST_MYSQL_PORT")) {
    Target t{"mysql", "zantrel_bench", Env("ZANTREL_TEST_MYSQL_HOST"), Env("ZANTREL_TEST_MYSQL_PORT"),
             Env("ZANTREL_TEST_MYSQL_USER"), Env("ZANTREL_TEST_MYSQL_PASSWORD")};
    std::string cmd = "MYSQL_PWD='" + t.password + "' mariadb --no-defaults -h " + t.host + " -P " + t.port + " -u " +
                      t.user;
    std::string sql = "DROP DATABASE IF EXISTS zantrel_bench; CREATE DATABASE zantrel_bench; USE zantrel_bench;\n" +
                      SchemaSql(kMysql, tables, columns);
    if (Pipe(cmd, sql)) Report("mariadb", tables, runs, t, [&] { RawMysql(t); });
  } else {
    std::printf("mariadb     skipped: ZANTREL_TEST_MYSQL_* not set (scripts/test-servers starts a server)\n");
  }
  if (*Env("ZANTREL_TEST_PG_PORT")) {
    Target t{"postgresql", "zantrel_bench", Env("ZANTREL_TEST_PG_HOST"), Env("ZANTREL_TEST_PG_PORT"),
             Env("ZANTREL_TEST_PG_USER"), Env("ZANTREL_TEST_PG_PASSWORD")};
    std::string base = "PGPASSWORD='" + t.password + "' psql -q -v ON_ERROR_STOP=1 -h " + t.host + " -p " + t.port +
                       " -U " + t.user;
    bool made = Pipe(base + " -d postgres >/dev/null",
                     "DROP DATABASE IF EXISTS zantrel_bench;\nCREATE DATABASE zantrel_bench;\n") &&
                Pipe(base + " -d zantrel_bench >/dev/null", "BEGIN;\n" + SchemaSql(kPostgres, tables, columns) + "COMMIT;\n");
    if (made) Report("postgresql", tables, runs, t, [&] { RawPostgres(t); });
  } else {
    std::printf("postgresql  skipped: ZANTREL_TEST_PG_* not set (scripts/test-servers starts a server)\n");
  }
  std::filesystem::remove_all(config);
  return 0;
}
