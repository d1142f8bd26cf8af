// Golden template folders: tests/data/templates/<case>/ holds a template
// (control.xml, lang.xml, template files), case.txt (project=, control=, table=,
// field=, and usercode= naming a user script in the folder) and the expected
// prepared script (expected.vbs) and page (expected.out).
// ZANTREL_UPDATE_GOLDEN=1 writes the expectations instead of checking them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "core/context.h"
#include "generate/render.h"
#include "project/project.h"
#include "platform/registry_store.h"
#include "support/temp_config.h"

using namespace zantrel;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::map<std::string, std::string> ReadCase(const fs::path& file) {
  std::map<std::string, std::string> values;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);)
    if (auto eq = line.find('='); eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  return values;
}

void Check(const fs::path& file, const std::string& actual) {
  if (std::getenv("ZANTREL_UPDATE_GOLDEN")) {
    std::ofstream(file, std::ios::binary) << actual;
    return;
  }
  EXPECT_EQ(actual, ReadText(file)) << file;
}

TEST(GoldenTemplates, EveryCase) {
  fs::path root = fs::path(ZANTREL_TEST_DATA) / "templates";
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(root)) {
    test::TempConfig config;
    fs::path dir = entry.path();
    auto values = ReadCase(dir / "case.txt");
    auto project = MakeRef<ObP>();
    if (!values["project"].empty()) project->Load((fs::path(ZANTREL_TEST_DATA) / values["project"]).string());
    ASSERT_EQ(ObP::ProjErr(), "") << dir;
    // After the project is made: one made with no "Language" in the user key saves the defaults over it.
    if (!values["usercode"].empty())
      RegistryStore(config.userFile())
          .Write(Context().SettingsKey(), "USERCODE", RegValue::String((dir / values["usercode"]).string()));
    RenderRequest current;
    current.table = values["table"];
    current.field = values["field"];
    std::string script;
    std::string page = GenerateControlPage(*project, dir.string(), values["control"], current, &script);
    EXPECT_EQ(ObP::ProjErr(), "") << dir;
    Check(dir / "expected.vbs", script);
    Check(dir / "expected.out", page);
    ++cases;
  }
  EXPECT_GT(cases, 0);
}

}  // namespace
