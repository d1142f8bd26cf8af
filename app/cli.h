// The command line host: subcommands in the style of git. Each command parses
// its own arguments with ArgParser and returns the process exit code:
// 0 success, 1 a reported failure (the message goes to stderr), 2 bad usage.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zantrel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitDiffers = 3;  // zantrel check: the project and its database differ
inline constexpr int kExitConflicts = 4;  // zantrel generate: edited pages that could not be merged
inline constexpr int kExitCancelled = 130;  // the person pressed Ctrl-C (128 + SIGINT)

// Wrong arguments: the message and the command's usage go to stderr, exit 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A reported failure: the message goes to stderr, exit 1.
class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Splits arguments into positionals and --options. Options that take a value
// are declared; --name=value and --name value both work; "--" ends options.
class ArgParser {
 public:
  ArgParser(std::vector<std::string> args, std::vector<std::string> valueOptions,
            std::vector<std::string> flagOptions);

  const std::vector<std::string>& positionals() const { return positionals_; }
  bool flag(std::string_view name) const;
  std::string option(std::string_view name, std::string_view fallback = {}) const;
  bool has(std::string_view name) const;
  bool help() const { return flag("help"); }

 private:
  std::vector<std::string> positionals_;
  std::map<std::string, std::string, std::less<>> options_;
};

struct Command {
  std::string_view name;
  std::string_view summary;
  std::string_view usage;
  int (*run)(const std::vector<std::string>& args);
};

// Every command, in the order `zantrel --help` lists them.
const std::vector<Command>& Commands();

int RunNew(const std::vector<std::string>& args);
int RunShow(const std::vector<std::string>& args);
int RunSet(const std::vector<std::string>& args);
int RunRender(const std::vector<std::string>& args);
int RunPrepare(const std::vector<std::string>& args);
int RunCheckTemplate(const std::vector<std::string>& args);
int RunConfig(const std::vector<std::string>& args);
int RunScript(const std::vector<std::string>& args);
int RunDatabases(const std::vector<std::string>& args);
int RunLoadTable(const std::vector<std::string>& args);
int RunCustomView(const std::vector<std::string>& args);
int RunReport(const std::vector<std::string>& args);
int RunUnload(const std::vector<std::string>& args);
int RunGenerate(const std::vector<std::string>& args);
int RunDemo(const std::vector<std::string>& args);
int RunCheck(const std::vector<std::string>& args);
int RunSync(const std::vector<std::string>& args);

}  // namespace zantrel::cli
