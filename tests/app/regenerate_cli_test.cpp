// Generating again into a destination that holds an earlier run: Ctrl-C
// during a long run, and backups kept out of the web root.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/folder_text.h"
#include "support/run_cli.h"
#include "support/temp_config.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using zantrel::test::Cli;
using zantrel::test::ReadText;
using zantrel::test::FolderFiles;

struct Ended {
  int exitCode = -1;  // -1 when a signal ended it
  std::string err;
};

// Runs the CLI with stderr in a file; after micros (when >= 0) sends it SIGINT.
Ended RunInterrupted(const std::vector<std::string>& args, long micros, const fs::path& errFile) {
  std::vector<char*> argv{const_cast<char*>(ZANTREL_CLI)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, ZANTREL_CLI, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return {};
  if (micros >= 0) {
    usleep(static_cast<useconds_t>(micros));
    kill(pid, SIGINT);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(errFile)};
}

// A SQLite project of many tables, so that a run of the default template lasts
// long enough to be interrupted.
struct LongProject {
  zantrel::test::TempConfig config;
  fs::path root = config.user().parent_path();
  std::string project = (root / "big.zpr").string();
  std::string templateDir = std::string(ZANTREL_TEST_DATA) + "/../../templates/default";

  LongProject() {
    setenv("ZANTREL_DOCUMENTS_DIR", (root / "docs").c_str(), 1);
    std::string sql;
    for (int i = 0; i < 60; ++i)
      sql += "create table t" + std::to_string(i) + " (id integer primary key, name text, price real, note text);";
    const std::string db = (root / "big.db").string();
    EXPECT_EQ(std::system(("sqlite3 " + db + " \"" + sql + "\"").c_str()), 0);
    EXPECT_EQ(Cli("new " + project + " --type sqlite --db " + db).exitCode, 0);
  }
  ~LongProject() { unsetenv("ZANTREL_DOCUMENTS_DIR"); }

  std::vector<std::string> Generate(const fs::path& dest, const std::string& file = "") const {
    return {"generate", file.empty() ? project : file, "--template", templateDir, "--dest", dest.string(), "--quiet"};
  }
};

TEST(Regenerate, CtrlCStopsAtAPageSaysSoExits130AndARerunCompletesTheTree) {
  LongProject p;
  const fs::path clean = p.root / "clean";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunInterrupted(p.Generate(clean), -1, p.root / "err").exitCode, 0);
  const long runMicros = static_cast<long>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
  const auto cleanFiles = FolderFiles(clean);
  ASSERT_GT(cleanFiles.size(), 100u);

  int cancelled = 0;
  for (int tenth = 1; tenth <= 9; tenth += 2) {
    SCOPED_TRACE("signal at " + std::to_string(tenth) + "/10 of a run");
    const fs::path dest = p.root / ("out" + std::to_string(tenth));
    const std::string file = (p.root / ("big" + std::to_string(tenth) + ".zpr")).string();  // a record of its own
    fs::copy_file(p.project, file);
    const Ended ended = RunInterrupted(p.Generate(dest, file), runMicros * tenth / 10, p.root / "err");
    if (ended.exitCode == 0) continue;  // finished before the signal came
    // A signal during the exit, once Ctrl-C is no longer watched, ends the
    // process; the run itself had finished (slow exits under sanitizers).
    if (ended.exitCode == -1 && FolderFiles(dest) == cleanFiles) continue;
    ++cancelled;
    EXPECT_EQ(ended.exitCode, 130) << ended.err;
    EXPECT_NE(ended.err.find("Generation cancelled by user!"), std::string::npos) << ended.err;
    // What was written is whole: every file is the page a clean run writes.
    for (const auto& [name, text] : FolderFiles(dest)) {
      ASSERT_TRUE(cleanFiles.count(name)) << name;
      EXPECT_TRUE(text == cleanFiles.at(name)) << name;
    }
    // The next run, merging by the record of the cancelled one, completes the application.
    const Ended rerun = RunInterrupted(p.Generate(dest, file), -1, p.root / "err");
    ASSERT_EQ(rerun.exitCode, 0) << rerun.err;
    EXPECT_TRUE(FolderFiles(dest) == cleanFiles);
  }
  EXPECT_GT(cancelled, 0) << "every run ended before its signal";
}

TEST(Regenerate, BackupsGoToTheRecordFolderNeverUnderTheDestination) {
  LongProject p;
  const fs::path dest = p.root / "site";
  std::vector<std::string> args = p.Generate(dest);
  args.insert(args.end(), {"--overwrite", "all"});
  ASSERT_EQ(RunInterrupted(args, -1, p.root / "err").exitCode, 0);
  const auto first = FolderFiles(dest);
  args.push_back("--backup");
  ASSERT_EQ(RunInterrupted(args, -1, p.root / "err").exitCode, 0);

  EXPECT_TRUE(FolderFiles(dest) == first) << "a backup landed under the destination";
  const fs::path backups = fs::path(p.project + ".d") / "backups";
  ASSERT_TRUE(fs::is_directory(backups));
  std::vector<fs::path> runs(fs::directory_iterator(backups), fs::directory_iterator{});
  ASSERT_EQ(runs.size(), 1u);
  const auto copies = FolderFiles(runs[0]);
  EXPECT_EQ(copies.size(), first.size());  // every replaced file, under its own relative path
  for (const auto& [name, text] : copies) EXPECT_TRUE(first.count(name) && first.at(name) == text) << name;
}

// A small shop: generated, then edited by hand and changed in its database.
struct Shop {
  zantrel::test::TempConfig config;
  fs::path root = config.user().parent_path();
  std::string db = (root / "shop.db").string();
  std::string project = (root / "shop.zpr").string();
  fs::path site = root / "site";
  std::string templateDir = std::string(ZANTREL_TEST_DATA) + "/../../templates/default";

  Shop() {
    setenv("ZANTREL_DOCUMENTS_DIR", (root / "docs").c_str(), 1);
    Sql("create table products (id integer primary key, name text, price real);"
        "create table orders (id integer primary key, note text);");
    EXPECT_EQ(Cli("new " + project + " --type sqlite --db " + db).exitCode, 0);
  }
  ~Shop() { unsetenv("ZANTREL_DOCUMENTS_DIR"); }
  void Sql(const std::string& sql) const {
    EXPECT_EQ(std::system(("sqlite3 " + db + " \"" + sql + "\"").c_str()), 0);
  }
  zantrel::test::CliResult Generate(const std::string& more = "") const {
    return Cli("generate " + project + " --template " + templateDir + " --dest " + site.string() + " " + more);
  }
  void Edit(const std::string& page, const std::string& from, const std::string& to) const {
    std::string text = ReadText(site / page);
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << page << " lacks " << from;
    std::ofstream(site / page, std::ios::binary) << text.replace(at, from.size(), to);
  }
};

// What PHP's built-in server answers for a path below folder: the HTTP status.
std::string StatusServed(const fs::path& folder, const std::string& path) {
  const std::string port = std::to_string(20000 + getpid() % 20000);
  const std::string server = "php -S 127.0.0.1:" + port + " -t " + folder.string() + " >/dev/null 2>&1 & echo $!";
  FILE* pipe = popen(server.c_str(), "r");
  char pid[32] = {};
  if (!pipe || !std::fgets(pid, sizeof pid, pipe)) return "";
  pclose(pipe);
  const std::string url = "http://127.0.0.1:" + port + "/" + path;
  std::string status;
  for (int i = 0; i < 50 && (status.empty() || status == "000"); ++i) {
    usleep(100000);
    FILE* curl = popen(("curl -s -o /dev/null -w '%{http_code}' " + url).c_str(), "r");
    char code[8] = {};
    if (curl && std::fgets(code, sizeof code, curl)) status = code;
    if (curl) pclose(curl);
  }
  kill(std::atoi(pid), SIGTERM);
  return status;
}

std::map<std::string, fs::file_time_type> Times(const fs::path& folder) {
  std::map<std::string, fs::file_time_type> times;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) times[fs::relative(entry.path(), folder).string()] = entry.last_write_time();
  return times;
}

TEST(Regenerate, EditsAreMergedChangesReachEveryPageAndDroppedTablesGo) {
  Shop shop;
  ASSERT_EQ(shop.Generate().exitCode, 0);
  ASSERT_TRUE(fs::exists(fs::path(shop.project + ".d") / "record.txt"));
  shop.Edit("products_info.php", "'caption' => 'products',", "'caption' => 'Our products',");
  const std::string untouchedList = ReadText(shop.site / "products_list.php");
  shop.Sql("alter table products add column stock integer;"
           "create table suppliers (id integer primary key, city text); drop table orders;");
  ASSERT_EQ(Cli("sync " + shop.project).exitCode, 0);

  const auto second = shop.Generate("--backup");
  ASSERT_EQ(second.exitCode, 0) << second.out;
  const std::string info = ReadText(shop.site / "products_info.php");
  EXPECT_NE(info.find("'caption' => 'Our products',"), std::string::npos) << "the edit is lost";
  EXPECT_NE(info.find("'stock' =>"), std::string::npos) << "the new column is missing from the edited page";
  EXPECT_NE(ReadText(shop.site / "products_edit.php").size(), 0u);
  EXPECT_TRUE(fs::exists(shop.site / "suppliers_list.php"));
  EXPECT_NE(ReadText(shop.site / "config.php").find("suppliers_list.php"), std::string::npos) << "no menu entry";
  EXPECT_FALSE(fs::exists(shop.site / "orders_list.php")) << "an untouched page of a dropped table stays";
  EXPECT_EQ(ReadText(shop.site / "products_list.php"), untouchedList);
  for (const auto& entry : fs::recursive_directory_iterator(shop.site))
    EXPECT_NE(entry.path().extension(), ".bak") << entry.path();
  EXPECT_EQ(StatusServed(shop.site, "config.php.bak"), "404");

  // Nothing changed: nothing is written.
  const auto before = Times(shop.site);
  const auto third = shop.Generate();
  ASSERT_EQ(third.exitCode, 0) << third.out;
  EXPECT_NE(third.out.find(": 0 written"), std::string::npos) << third.out;
  EXPECT_TRUE(Times(shop.site) == before);
}

TEST(Regenerate, AConflictLeavesThePageAsEditedAndExits4AfterEveryOtherPage) {
  Shop shop;
  ASSERT_EQ(shop.Generate().exitCode, 0);
  shop.Edit("config.php", "'upload_dir' => 'uploads/'", "'upload_dir' => 'files/'");
  shop.Edit("orders_info.php", "'caption' => 'orders',", "'caption' => 'Orders',");
  const std::string edited = ReadText(shop.site / "config.php");
  ASSERT_EQ(Cli("set " + shop.project + " UploadPath=up/").exitCode, 0);
  shop.Sql("create table suppliers (id integer primary key, city text); drop table orders;");
  ASSERT_EQ(Cli("sync " + shop.project).exitCode, 0);

  const auto run = shop.Generate();
  EXPECT_EQ(run.exitCode, 4) << run.out;
  EXPECT_NE(run.out.find("conflict in config.php"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("kept orders_info.php"), std::string::npos) << run.out;
  EXPECT_EQ(ReadText(shop.site / "config.php"), edited);
  EXPECT_TRUE(fs::exists(shop.site / "orders_info.php")) << "an edited page of a dropped table was removed";
  EXPECT_FALSE(fs::exists(shop.site / "orders_list.php"));
  EXPECT_TRUE(fs::exists(shop.site / "suppliers_list.php")) << "the run stopped at the conflict";
  const std::string conflict = ReadText(fs::path(shop.project + ".d") / "conflicts" / "config.php");
  EXPECT_NE(conflict.find("<<<<<<<"), std::string::npos);
  EXPECT_NE(conflict.find("'upload_dir' => 'up/'"), std::string::npos);
}

TEST(Regenerate, TemplateUpdateExtractTakesAChangedArchiveWithoutATerminal) {
  Shop shop;
  const fs::path source = shop.root / "tpl";
  fs::copy(shop.templateDir, source, fs::copy_options::recursive);
  const std::string zip = (shop.root / "tpl.zip").string();
  auto pack = [&] {
    fs::remove(zip);
    ASSERT_EQ(std::system(("python3 -c \"import shutil; shutil.make_archive('" + zip.substr(0, zip.size() - 4) +
                           "', 'zip', '" + source.string() + "')\"").c_str()),
              0);
  };
  pack();
  const std::string args = " --template " + zip;
  ASSERT_EQ(shop.Generate(args).exitCode, 0);
  {
    std::ofstream config(source / "config.php", std::ios::app);
    config << "// changed template\n";
  }
  pack();
  const auto kept = shop.Generate(args + " --template-update keep");
  ASSERT_EQ(kept.exitCode, 0) << kept.out;
  EXPECT_EQ(ReadText(shop.site / "config.php").find("// changed template"), std::string::npos);
  const auto extracted = shop.Generate(args + " --template-update extract");
  ASSERT_EQ(extracted.exitCode, 0) << extracted.out;
  EXPECT_NE(ReadText(shop.site / "config.php").find("// changed template"), std::string::npos) << extracted.out;
  EXPECT_EQ(shop.Generate(args + " --template-update sometimes").exitCode, 2);
}

TEST(Regenerate, AStyleSheetGoesIntoANewDestinationOfATemplateWithOnlyOtherPages) {
  Shop shop;
  const fs::path tpl = shop.root / "tpl";
  fs::create_directories(tpl);
  std::ofstream(tpl / "control.xml") << "<Zantrel version=\"1.0\" desc=\"x\" author=\"x\">\n"
                                        "  <control id=\"index\" type=\"other\" ofile=\"index\" oext=\"php\" "
                                        "ifiles=\"index.php\"/>\n</Zantrel>\n";
  std::ofstream(tpl / "index.php") << "hello\n";
  fs::copy_file(std::string(ZANTREL_TEST_DATA) + "/generate/template/lang.xml", tpl / "lang.xml");
  ASSERT_EQ(Cli("set " + shop.project + " UseCss=True").exitCode, 0);
  const fs::path dest = shop.root / "new" / "deep";
  const auto run = Cli("generate " + shop.project + " --template " + tpl.string() + " --dest " + dest.string());
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_TRUE(fs::exists(dest / "shop.css"));
  EXPECT_TRUE(fs::exists(dest / "index.php"));
}

}  // namespace
