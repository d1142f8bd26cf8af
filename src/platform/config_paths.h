// Where the registry files live: the user's file under the configuration folder
// (ZANTREL_CONFIG_DIR, else $XDG_CONFIG_HOME/zantrel, else ~/.config/zantrel) and
// the machine's file (ZANTREL_MACHINE_CONFIG_DIR, else /etc/zantrel). Resolved on
// every call, so a change of the environment takes effect at once. Also the
// user's documents folder, below which generation keeps its work folders.
#pragma once

#include <filesystem>

namespace zantrel {

std::filesystem::path UserConfigDir();
std::filesystem::path MachineConfigDir();
std::filesystem::path UserRegistryFile();     // <UserConfigDir>/user.reg
std::filesystem::path MachineRegistryFile();  // <MachineConfigDir>/machine.reg
// ZANTREL_DOCUMENTS_DIR, else XDG_DOCUMENTS_DIR of the user's user-dirs.dirs
// (what xdg-user-dir DOCUMENTS reports), else ~/Documents.
std::filesystem::path DocumentsDir();

}  // namespace zantrel
