// Resolution of the configuration folders from the environment.
#include "platform/config_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace zantrel {
namespace {

// A variable that is set and not empty.
const char* EnvValue(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? v : nullptr;
}

std::filesystem::path HomeDir() {
  if (const char* home = EnvValue("HOME")) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

}  // namespace

std::filesystem::path UserConfigDir() {
  if (const char* dir = EnvValue("ZANTREL_CONFIG_DIR")) return dir;
  // A relative XDG_CONFIG_HOME is invalid and ignored.
  if (const char* xdg = EnvValue("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
    return std::filesystem::path(xdg) / "zantrel";
  return HomeDir() / ".config" / "zantrel";
}

std::filesystem::path MachineConfigDir() {
  if (const char* dir = EnvValue("ZANTREL_MACHINE_CONFIG_DIR")) return dir;
  return "/etc/zantrel";
}

std::filesystem::path UserRegistryFile() { return UserConfigDir() / "user.reg"; }

std::filesystem::path MachineRegistryFile() { return MachineConfigDir() / "machine.reg"; }

}  // namespace zantrel
