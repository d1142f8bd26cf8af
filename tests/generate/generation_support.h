// What the generation tests share: a SQLite project over the test schema (with
// a report and security through the customers table), a private copy of the
// test template, a destination and a documents folder, all under one temporary
// folder; and a way to pack the template into a zip archive.
#pragma once

#include <zip.h>

#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "core/context.h"
#include "generate/generation_run.h"
#include "project/project.h"
#include "platform/atomic_file.h"
#include "platform/progress.h"
#include "platform/prompter.h"
#include "schema/schema_test_support.h"
#include "support/temp_config.h"

namespace zantrel::test {

namespace fs = std::filesystem;

inline std::string Slurp(const fs::path& file) {
  try {
    return ReadWholeFile(file);
  } catch (const FileError&) {
    return "<missing>";
  }
}

// Every regular file below folder, by its relative path.
inline std::map<std::string, std::string> FolderFiles(const fs::path& folder) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::recursive_directory_iterator(); ++it)
    if (it->is_regular_file()) files[fs::relative(it->path(), folder).string()] = Slurp(it->path());
  return files;
}

inline void PackFolder(const fs::path& folder, const fs::path& archive) {
  int error = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(zip, nullptr);
  for (auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    zip_source_t* source = zip_source_file(zip, entry.path().c_str(), 0, -1);
    zip_file_add(zip, fs::relative(entry.path(), folder).c_str(), source, ZIP_FL_OVERWRITE);
  }
  ASSERT_EQ(zip_close(zip), 0);
}

class GenerationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(config_.user()).parent_path() / "generation";
    fs::create_directories(root_);
    setenv("ZANTREL_DOCUMENTS_DIR", documents().c_str(), 1);
    fs::copy(fs::path(ZANTREL_TEST_DATA) / "generate" / "template", templateDir(), fs::copy_options::recursive);
    project_ = MakeRef<ObP>();
    project_->LoadDB(database_.path(), "sqlite", "", "", "", "", "", "", "", "");
    ASSERT_EQ(ObP::ProjErr(), "");
    project_->LoadReport("rpt_orders", "orders");
    project_->ProjName("shop");
    project_->SecType("Use Table");
    project_->SecTbl("customers");
    table("orders").TblMasterTbl("Customers");  // names match in any letter case
    project_->Template(templateDir().string());
    project_->Destination(dest().string());
    project_->PromptOnOverwrite(false);
    project_->OtherOverwrite(true);
    project_->BackupFile = false;
  }
  void TearDown() override {
    InstallPrompter(std::make_unique<Prompter>());
    InstallProgress(std::make_unique<ProgressLibrary>());
  }

  fs::path documents() const { return root_ / "docs"; }
  fs::path templateDir() const { return root_ / "template"; }
  fs::path dest() const { return root_ / "out"; }
  ObP& project() { return *project_; }
  ObPTable& table(const std::string& name) { return *project_->openDatabase()->tables().Find(name); }
  GenerationRun& run() { return RunOf(*project_); }

  // Generates; the error text ("" on success).
  std::string Generate() {
    project_->GenScript();
    return ObP::ProjErr();
  }

  TempConfig config_;
  SqliteFile database_{ReadFixture("sqlite.sql")};
  fs::path root_;
  Ref<ObP> project_;
};

}  // namespace zantrel::test
