// Where the registry files live: the user's file under the configuration folder
// (ZANTREL_CONFIG_DIR, else $XDG_CONFIG_HOME/zantrel, else ~/.config/zantrel) and
// the machine's file (ZANTREL_MACHINE_CONFIG_DIR, else /etc/zantrel). Resolved on
// every call, so a change of the environment takes effect at once.
#pragma once

#include <filesystem>

namespace zantrel {

std::filesystem::path UserConfigDir();
std::filesystem::path MachineConfigDir();
std::filesystem::path UserRegistryFile();     // <UserConfigDir>/user.reg
std::filesystem::path MachineRegistryFile();  // <MachineConfigDir>/machine.reg

}  // namespace zantrel
