// What one generation run holds beside the project: the template's control
// list and phrase file, the script engine host, the work folders, the flags of
// the input cache, the overwrite answers, and the counters of the run.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "generate/generation_record.h"
#include "model/project.h"
#include "template/control_file.h"
#include "template/language_file.h"
#include "template/script_host.h"
#include "template/source_map.h"

namespace zantrel {

// The answers of the overwrite dialog for the run: "" (ask), "O" (overwrite
// all), "S" (skip all), "C" (cancel).
struct OverwriteState {
  std::string answer;
  bool decision = false;
  bool existed = false;  // whether the output last confirmed existed
};

// What the run did to the destination, for the host's summary.
struct GenerationSummary {
  int32_t written = 0;    // pages and copied files written
  int32_t skipped = 0;    // existing outputs left as they were
  int32_t backedUp = 0;   // backup copies made
  int32_t updated = 0;    // existing pages replaced by a new text
  int32_t unchanged = 0;  // pages generated identical to the file, not rewritten
  int32_t merged = 0;     // edited pages merged cleanly with the new text
  int32_t failed = 0;     // pages not written because their script hid an error (strict runs)
  int32_t removed = 0;    // untouched pages the run no longer produces, deleted
  std::vector<std::string> conflicts;  // edited pages left as they were: the merge conflicted
  std::vector<std::string> kept;       // edited pages the run no longer produces, kept
};

struct GenerationRun : ObPModel::Attachment {
  Ref<ObPControls> controls = MakeRef<ObPControls>();
  Ref<ObPLanguage> language = MakeRef<ObPLanguage>();
  Ref<ObScript> script;
  std::string templateFolder;  // where template files and includes are read
  std::string tempFolder;      // where joined input files and prepared scripts go
  std::string cacheFolder;     // copies of the inputs and of earlier runs' scripts
  int16_t sessionCount = 0;
  int16_t sessionTotal = 0;

  // Input cache: what changed since the copies were made.
  bool userScriptChanged = false;
  bool controlFileChanged = false;
  bool phraseFileChanged = false;
  bool settingsChanged = false;
  bool keepTemplate = false;

  bool backupFile = false;  // back up before overwriting
  int32_t timeoutMs = 0;    // the engine's time-out per page
  std::optional<bool> backupOverride;  // the host's choice for this run
  std::string backupFolder;            // "" for NAME.bak beside the page
  std::unique_ptr<GenerationRecord> record;  // null: no record is kept
  bool merge = false;                        // merge edited pages with the record's base

  std::map<std::string, std::string> scriptTexts;  // prepared scripts read this run, by path
  std::set<std::string> outputFolders;             // folders made (or found) this run
  std::map<std::string, SourceMap> sourceMaps;     // of the scripts prepared this run, by path
  std::optional<TemplateDiagnostic> errorAt;       // the template place of the error ProjErr reports
  std::vector<TemplateDiagnostic> warnings;        // pages whose script hid a run-time error
  bool strict = false;                             // such pages fail instead of being written
  OverwriteState overwrite;
  GenerationSummary summary;
  std::string error;  // what ended the run, worded for the user; "" while it goes well
  bool cancelled = false;
  int32_t pagesTotal = 0;
  int32_t pagesDone = 0;

  ~GenerationRun() override {
    if (script) script->ReleaseEngine();
  }
};

// The project's run state, made on first use.
GenerationRun& RunOf(ObPModel& project);

// Starts the run's engine with the project as the scripts see it (PROJ, DB,
// Controls, LANG); what fails is reported by the script host.
void StartScriptHost(ObPModel& project, GenerationRun& run);

// Takes what the script host or the block parser reported into the run's
// error; whether the run has an error now (from this report or an earlier one).
bool ScriptFailed(GenerationRun& run);

}  // namespace zantrel
