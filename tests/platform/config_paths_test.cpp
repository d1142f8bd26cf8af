// Where the registry files are looked for, by the environment variables set.
#include "platform/config_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <optional>
#include <string>

namespace zantrel {
namespace {

// Sets the variables for one test and puts the old values back afterwards.
using Vars = std::map<std::string, std::optional<std::string>>;

class Environment {
 public:
  explicit Environment(const Vars& vars) {
    for (const auto& [name, value] : vars) {
      const char* old = getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
      Set(name, value);
    }
  }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;
  ~Environment() {
    for (const auto& [name, value] : saved_) Set(name, value);
  }

 private:
  static void Set(const std::string& name, const std::optional<std::string>& value) {
    if (value) setenv(name.c_str(), value->c_str(), 1);
    else unsetenv(name.c_str());
  }
  Vars saved_;
};

TEST(ConfigPaths, UserFileFollowsTheFirstVariableSet) {
  {
    Environment env(Vars{{"ZANTREL_CONFIG_DIR", "/z"}, {"XDG_CONFIG_HOME", "/xdg"}, {"HOME", "/home/u"}});
    EXPECT_EQ(UserRegistryFile(), "/z/user.reg");
  }
  {
    Environment env(Vars{{"ZANTREL_CONFIG_DIR", std::nullopt}, {"XDG_CONFIG_HOME", "/xdg"}, {"HOME", "/home/u"}});
    EXPECT_EQ(UserRegistryFile(), "/xdg/zantrel/user.reg");
  }
  {
    Environment env(Vars{{"ZANTREL_CONFIG_DIR", ""}, {"XDG_CONFIG_HOME", ""}, {"HOME", "/home/u"}});
    EXPECT_EQ(UserRegistryFile(), "/home/u/.config/zantrel/user.reg");
  }
  {
    Environment env(Vars{{"ZANTREL_CONFIG_DIR", std::nullopt}, {"XDG_CONFIG_HOME", "relative"}, {"HOME", "/home/u"}});
    EXPECT_EQ(UserRegistryFile(), "/home/u/.config/zantrel/user.reg");
  }
}

TEST(ConfigPaths, MachineFileDefaultsToEtc) {
  {
    Environment env(Vars{{"ZANTREL_MACHINE_CONFIG_DIR", "/m"}});
    EXPECT_EQ(MachineRegistryFile(), "/m/machine.reg");
  }
  Environment env(Vars{{"ZANTREL_MACHINE_CONFIG_DIR", std::nullopt}});
  EXPECT_EQ(MachineRegistryFile(), "/etc/zantrel/machine.reg");
}

}  // namespace
}  // namespace zantrel
