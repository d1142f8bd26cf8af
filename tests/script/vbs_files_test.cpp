// Runs every tests/script/*.vbs through the built `zantrel script` and checks
// its output against the expectations written inside the file:
//   ' expect: TEXT   one expected line of standard output, in order
//   ' error: TEXT    standard error must contain TEXT and the exit code be 1
//   ' args: A B      arguments after the file name
//   ' exit: N        the expected exit code (WScript.Quit)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Expectations {
  std::vector<std::string> lines;
  std::string error;
  std::string args;
  int exitCode = 0;
};

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

Expectations Parse(const std::string& source) {
  Expectations e;
  for (const std::string& line : Lines(source)) {
    auto take = [&](std::string_view tag, std::string& into) {
      const std::size_t at = line.find(tag);
      if (at == std::string::npos) return false;
      into = line.substr(at + tag.size());
      return true;
    };
    std::string value;
    if (take("' expect: ", value)) e.lines.push_back(value);
    else if (line.find("' expect:") != std::string::npos && line.substr(line.find("' expect:")) == "' expect:") e.lines.emplace_back();
    else if (take("' error: ", value)) e.error = value, e.exitCode = 1;
    else if (take("' args: ", value)) e.args = value;
    else if (take("' exit: ", value)) e.exitCode = std::atoi(value.c_str());
  }
  return e;
}

std::vector<std::string> ScriptFiles() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ZANTREL_SCRIPT_TESTS))
    if (entry.path().extension() == ".vbs") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class VbsFile : public ::testing::TestWithParam<std::string> {};

TEST_P(VbsFile, ProducesExpectedOutput) {
  const fs::path file = fs::path(ZANTREL_SCRIPT_TESTS) / (GetParam() + ".vbs");
  const Expectations want = Parse(Slurp(file));
  const fs::path tmp = fs::temp_directory_path() / ("zantrel_vbs_" + GetParam() + "_" + std::to_string(::getpid()));
  const std::string command = "timeout 60 '" + std::string(ZANTREL_CLI) + "' script '" + file.string() + "' " +
                              want.args + " >'" + tmp.string() + ".out' 2>'" + tmp.string() + ".err'";
  const int status = std::system(command.c_str());
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const std::string out = Slurp(tmp.string() + ".out"), err = Slurp(tmp.string() + ".err");
  fs::remove(tmp.string() + ".out");
  fs::remove(tmp.string() + ".err");

  const std::vector<std::string> got = Lines(out);
  for (std::size_t i = 0; i < std::max(got.size(), want.lines.size()); ++i) {
    const std::string g = i < got.size() ? got[i] : "<missing>";
    const std::string w = i < want.lines.size() ? want.lines[i] : "<none expected>";
    EXPECT_EQ(w, g) << GetParam() << ".vbs output line " << i + 1;
    if (w != g) break;
  }
  EXPECT_EQ(want.exitCode, code) << "stderr: " << err;
  if (!want.error.empty()) EXPECT_NE(err.find(want.error), std::string::npos) << "stderr: " << err;
  else EXPECT_EQ("", err);
}

INSTANTIATE_TEST_SUITE_P(Scripts, VbsFile, ::testing::ValuesIn(ScriptFiles()),
                         [](const ::testing::TestParamInfo<std::string>& i) { return i.param; });

}  // namespace
