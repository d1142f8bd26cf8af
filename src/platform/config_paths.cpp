// Resolution of the configuration folders from the environment.
#include "platform/config_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

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

// XDG_DOCUMENTS_DIR="$HOME/Docs" from user-dirs.dirs, with $HOME expanded; "" when absent.
std::filesystem::path XdgDocumentsDir() {
  std::filesystem::path configHome = HomeDir() / ".config";
  if (const char* xdg = EnvValue("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') configHome = xdg;
  std::ifstream in(configHome / "user-dirs.dirs");
  const std::string key = "XDG_DOCUMENTS_DIR=\"";
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.rfind("$HOME", 0) == 0) return HomeDir().string() + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return {};
}

}  // namespace

std::filesystem::path DocumentsDir() {
  if (const char* dir = EnvValue("ZANTREL_DOCUMENTS_DIR")) return dir;
  std::filesystem::path xdg = XdgDocumentsDir();
  return xdg.empty() ? HomeDir() / "Documents" : xdg;
}

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
