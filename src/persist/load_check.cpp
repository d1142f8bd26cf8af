#include "persist/load_check.h"

namespace zantrel {

void SetLoadTimeCheck(LoadTimeCheck check) { Context().Service<LoadTimeCheckSlot>().check = check; }

LoadTimeCheck InstalledLoadTimeCheck() { return Context().Service<LoadTimeCheckSlot>().check; }

}  // namespace zantrel
