// Generation for a project: the application through its template into its
// destination, the count of the pages that exist already, and one template
// text run by hand.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "generate/generation_run.h"
#include "model/project.h"

namespace zantrel {

// What the caller chooses for one run.
struct GenerateOptions {
  std::optional<bool> backup;  // back up replaced pages; unset: the user default
  // Where backups go, under their paths relative to the destination; "" keeps
  // NAME.bak beside each page.
  std::string backupFolder;
  // Where the record of generations into this destination is kept; "" keeps none.
  std::string recordFolder;
  // With a record: untouched pages are replaced, edited ones merged, and pages
  // no longer produced removed when untouched.
  bool merge = false;
  bool strict = false;  // a page whose script hid a run-time error is not written
};

// What a run did, and what ended it: error is "" when it went well, else the
// user's text (several lines when pages failed one inside another).
struct GenerateOutcome {
  GenerationSummary summary;
  std::string error;
  std::optional<TemplateDiagnostic> errorAt;  // the template place of the error, when it has one
  std::vector<TemplateDiagnostic> warnings;   // pages whose script hid a run-time error
  bool cancelled = false;  // the person cancelled (error is "Generation cancelled by user!")
};

// Validates the project, prepares the work folders and the scripts, and
// generates every page.
GenerateOutcome Generate(ObPModel& project, const GenerateOptions& options = {});

// Whether recordFolder holds a record of generations into the project's destination.
bool HasGenerationRecord(const ObPModel& project, const std::string& recordFolder);

// How many output pages the template would write that exist already (the
// count stops at the first table that has some), and what ended the count.
struct ExistingPagesOutcome {
  int16_t count = 0;
  std::string error;
};
ExistingPagesOutcome CountExistingPages(ObPModel& project);

// A template text turned into its script and run with no current control,
// table or field; failures throw Error.
std::string ParseTemplateText(ObPModel& project, const std::string& text);

}  // namespace zantrel
