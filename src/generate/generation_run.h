// What one generation run holds beside the project: the template's control
// list and phrase file, the script engine host, the folders, and the session
// counters that script preparation advances.
#pragma once

#include <cstdint>
#include <string>

#include "template/control_file.h"
#include "template/language_file.h"
#include "template/script_host.h"

namespace zantrel {

struct GenerationRun {
  Ref<ObPControls> controls = MakeRef<ObPControls>();
  Ref<ObPLanguage> language = MakeRef<ObPLanguage>();
  Ref<ObScript> script;
  std::string templateFolder;  // where template files and includes are read
  std::string tempFolder;      // where joined input files and prepared scripts go
  int16_t sessionCount = 0;
  int16_t sessionTotal = 0;

  ~GenerationRun() {
    if (script) script->ReleaseEngine();
  }
};

// The project's run state, made on first use.
GenerationRun& RunOf(ObP& project);

}  // namespace zantrel
