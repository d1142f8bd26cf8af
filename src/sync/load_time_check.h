// The check at the end of loading a project whose AutoSync is on: read the live
// schema, count the differences, and when there are any ask whether to keep the
// old definition or update to the new one. What it found and decided is kept
// for the host to show.
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"
#include "model/project.h"
#include "sync/differences.h"

namespace zantrel {

struct LoadTimeCheckOutcome {
  bool ran = false;
  bool unreadable = false;        // the live database could not be read
  std::string failure;            // then: the loader's error text
  int16_t count = 0;              // differences counted
  SchemaDifferences differences;  // what the check found
  bool updated = false;           // the user chose Update
  SchemaDifferences changes;      // what synchronisation did
};

struct LoadTimeCheckState : ThreadService {
  LoadTimeCheckOutcome last;
  bool allowDrop = false;
};

// Makes Load on the calling thread run the check; false turns it off. An
// update that would remove most tables is refused unless allowDrop.
void InstallLoadTimeCheck(bool on = true, bool allowDrop = false);

// The check itself, as Load runs it: throws Error when the database cannot be
// read (after telling the user, unless no JDBC driver is configured) or the
// check fails; Load reports it once the project is loaded.
void RunLoadTimeCheck(ObPModel& project);

// What the thread's last check found; ran is false when Load did not check.
const LoadTimeCheckOutcome& LastLoadTimeCheck();
void ForgetLoadTimeCheck();

}  // namespace zantrel
