// The check Load runs at its end when the project's AutoSync is on: comparing
// the loaded definition with the live database. The synchronisation library
// provides it and a host installs it for its thread (InstallLoadTimeCheck in
// sync/load_time_check.h); with none installed, Load does not check. A check
// that fails throws Error, which Load passes on once the project is loaded.
#pragma once

#include "core/context.h"

namespace zantrel {

class ObPModel;

using LoadTimeCheck = void (*)(ObPModel& project);

struct LoadTimeCheckSlot : ThreadService {
  LoadTimeCheck check = nullptr;
};

// The calling thread's check; null removes it.
void SetLoadTimeCheck(LoadTimeCheck check);
LoadTimeCheck InstalledLoadTimeCheck();

}  // namespace zantrel
