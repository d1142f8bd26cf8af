// Generate and CountExistingPages: the generation driver. It validates the
// project, prepares the template's work folders, keeps copies of the inputs in
// the cache folder so that prepared scripts are reused while nothing they were
// made from changed, loads the control and phrase files, starts the script
// engine, prepares the stale scripts and hands over to page generation.
#include <filesystem>
#include <algorithm>
#include <climits>
#include <functional>
#include <vector>

#include "core/context.h"
#include "core/error.h"
#include "core/names.h"
#include "core/text.h"
#include "core/text_list.h"
#include "generate/generate.h"
#include "generate/generation_run.h"
#include "generate/page_merge.h"
#include "generate/output_files.h"
#include "generate/page_generation.h"
#include "generate/prepare.h"
#include "generate/script_builder.h"
#include "generate/work_folders.h"
#include "template/host_error.h"
#include "platform/atomic_file.h"
#include "platform/prompter.h"
#include "platform/status.h"
#include "platform/zip_archive.h"

namespace zantrel {

namespace {

namespace fs = std::filesystem;

const std::string& Product() { return Context().product.errorName; }

void Fail(GenerationRun& run, const std::string& text) { run.error = Product() + ": " + text + " Generation aborted!"; }

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

fs::file_time_type ModifiedTime(const fs::path& path) {
  std::error_code ec;
  return fs::last_write_time(path, ec);
}

// Replaces the cached copy when it differs from the input; true when it did.
bool RefreshCopy(const fs::path& input, const fs::path& copy) {
  if (!IsFile(input) || SameFile(input, copy)) return false;
  CopyKeepingTime(input, copy);
  return true;
}

// The project and database settings that session conditions read when scripts
// are prepared: a change makes every prepared script stale. Where the template
// comes from and where the pages go are not part of it, so that a run with
// another --dest or --template keeps the scripts.
std::string SettingsSignature(ObPModel& project) {
  std::string text;
  auto add = [&text](const ObProperties& bag) {
    for (int32_t i = 0; i < bag.Count(); ++i) {
      const std::string& name = bag.MetaAt(i).name;
      if (name == "Destination" || name == "Template") continue;
      text += name + '=';
      try {
        text += CStr(bag.ValueAt(i));
      } catch (const std::exception&) {
      }
      text += '\n';
    }
  };
  add(project.Properties());
  if (ObPDatabase* database = project.openDatabase()) add(database->Properties());
  return std::to_string(std::hash<std::string>{}(text));
}

// Asks whether to keep the files extracted from an earlier version of the archive.
bool KeepExtractedTemplate() {
  Prompt prompt{"template", Context().product.name,
                "Template version in zip file is different with that in the template folder. Do you want to keep "
                "the existing files in the template folder or extract and overwrite from the zip file?",
                {"Keep", "Overwrite"}, 0, "", ""};
  return Prompts().Ask(prompt).button == 0;
}

// Extracts into a staging folder first, so that a broken or oversized archive
// leaves the template folder as it was (and no partial copy behind); then moves
// the files over it.
void ExtractTemplate(const fs::path& archive, const fs::path& templateFolder) {
  fs::path staging = templateFolder.string() + ".extract";
  RemoveWorkFolder(staging);
  try {
    ExtractArchive(archive, staging);
  } catch (...) {
    RemoveWorkFolder(staging);
    throw;
  }
  for (const auto& entry : fs::recursive_directory_iterator(staging)) {
    fs::path target = templateFolder / fs::relative(entry.path(), staging);
    if (entry.is_directory())
      fs::create_directories(target);
    else
      fs::rename(entry.path(), target);
  }
  RemoveWorkFolder(staging);
}

bool CacheTemplateArchive(ObPModel& project, GenerationRun& run) {
  run.keepTemplate = true;
  if (TemplateIsFolder(project)) return true;
  fs::path archive = project.Template();
  if (!IsFile(archive)) {
    Fail(run, "Template file \"" + archive.string() + "\" not found!");
    return false;
  }
  fs::path copy = fs::path(run.cacheFolder) / archive.filename();
  if (IsFile(copy) && !SameFile(archive, copy)) run.keepTemplate = KeepExtractedTemplate();
  else if (!IsFile(copy)) run.keepTemplate = false;
  if (run.keepTemplate && IsFile(copy)) return true;
  try {
    ExtractTemplate(archive, run.templateFolder);
  } catch (const std::exception& e) {
    Fail(run, "Extract Template File \"" + archive.string() + "\" failed! " + e.what());
    return false;
  }
  CopyKeepingTime(archive, copy);
  return true;
}

bool CacheInputs(ObPModel& project, GenerationRun& run) {
  fs::path cache = run.cacheFolder;
  if (!project.USERCODE.empty())
    run.userScriptChanged = RefreshCopy(project.USERCODE, cache / fs::path(project.USERCODE).filename());
  if (!CacheTemplateArchive(project, run)) return false;
  run.controlFileChanged = RefreshCopy(fs::path(run.templateFolder) / "control.xml", cache / "control.xml");
  run.phraseFileChanged = RefreshCopy(fs::path(run.templateFolder) / "lang.xml", cache / "lang.xml");
  fs::path signatureFile = cache / "settings.sig";
  std::string signature = SettingsSignature(project);
  run.settingsChanged = !IsFile(signatureFile) || ReadWholeFile(signatureFile) != signature;
  if (run.settingsChanged) ReplaceFileAtomically(signatureFile, signature, false);
  return true;
}

bool LoadPhraseFile(ObPModel& project, GenerationRun& run) {
  fs::path file = fs::path(run.templateFolder) / "lang.xml";
  // Without the project's own phrase file, the message names the template's.
  std::string path = IsFile(file) || project.Language.empty() ? file.string() : project.Language;
  if (run.language->Load(path)) return true;
  Fail(run, "Load Language File \"" + path + "\" failed!");
  run.error += " Reason: " + run.language->LastReason() + ".";
  return false;
}

bool LoadControlFile(GenerationRun& run) {
  std::string path = run.templateFolder + "/control.xml";
  if (run.controls->LoadControls(path)) return true;
  Fail(run, "Load Template Control File \"" + path + "\" failed!");
  run.error += " Reason: " + run.controls->LastReason() + ".";
  return false;
}

// Whether a file exists and was modified after time.
bool ChangedAfter(const fs::path& file, fs::file_time_type time) { return IsFile(file) && ModifiedTime(file) > time; }

// Whether a comma-separated list of template files, or a file they include, changed after time.
bool InputsChangedAfter(const GenerationRun& run, const std::string& fileList, fs::file_time_type time) {
  for (const std::string& name : SplitList(fileList)) {
    fs::path file = fs::path(run.templateFolder) / name;
    if (!IsFile(file)) continue;
    if (ChangedAfter(file, time)) return true;
    std::string includes = GetIncludeNames(ReadWholeFile(file));
    if (includes.empty()) continue;
    for (const std::string& included : SplitList(includes))
      if (ChangedAfter(fs::path(run.templateFolder) / included, time)) return true;
  }
  return false;
}

bool IsScriptStale(const GenerationRun& run, ObPControl& control) {
  fs::path script = fs::path(run.cacheFolder) / (control.CtrlID + ".tmp");
  // The run reads the script from the temp folder: without it there, it must be made again.
  if (!IsFile(script) || !IsFile(fs::path(run.tempFolder) / (control.CtrlID + ".tmp"))) return true;
  fs::file_time_type time = ModifiedTime(script);
  if (InputsChangedAfter(run, control.CtrlIFiles, time)) return true;
  ObPSessions& sessions = control.Sessions();
  for (int32_t i = 1; i <= sessions.Count(); ++i) {
    Ref<ObPSession> session = sessions.Item(i);
    if (NameEquals(session->SessType, "key") && !session->SessIFile.empty() &&
        InputsChangedAfter(run, session->SessIFile, time))
      return true;
  }
  return false;
}

void PrepareStaleScripts(ObPModel& project, GenerationRun& run) {
  int32_t total = 0;
  std::vector<int16_t> stale;
  for (int16_t i = 1; i <= run.controls->Count(); ++i) {
    Ref<ObPControl> control = run.controls->Item(i);
    if (!ProducesScript(*control) || !IsScriptStale(run, *control)) continue;
    total += control->Sessions().Count();
    stale.push_back(i);
  }
  if (total < 1 && stale.empty()) return;
  run.sessionTotal = static_cast<int16_t>(std::min<int32_t>(total, INT16_MAX));
  run.sessionCount = 0;
  if (ObPDatabase* database = project.openDatabase()) database->tables().ClearCurrent();
  StatusScope window(&ObPStatus::ShowStatus3, project.hWnd(),
                     Product() + " - Preparing Script Files for generation...");
  for (int16_t index : stale) {
    if (Status().StatusIsCancelled()) CancelGeneration();
    Ref<ObPControl> control = run.controls->Item(index);  // the current control while it is prepared
    Status().DispStatus("Loading " + control->CtrlID + " script ...");
    PrepareScript(project, run, *control, run.tempFolder + "/" + control->CtrlID + ".tmp");
    if (ScriptFailed(run)) break;
  }
}

void StartEngine(ObPModel& project, GenerationRun& run) {
  StatusScope window(&ObPStatus::ShowStatus2, project.hWnd(), Product() + " - Initializing VBScript Engine ...");
  Status().DispStatus("Please wait ...");
  StartScriptHost(project, run);
  ScriptFailed(run);
}

void RunGeneration(ObPModel& project, GenerationRun& run) {
  ObPDatabase* database = project.openDatabase();
  if (!database) return Fail(run, "Database not loaded!");
  if (!database->HasTables() || database->tables().Count() == 0)
    return Fail(run, "No tables found in the Database!");
  if (!PrepareWorkFolders(project, run, "Script") || !CacheInputs(project, run) || !LoadPhraseFile(project, run))
    return;
  if (!run.keepTemplate || run.userScriptChanged || run.controlFileChanged || run.phraseFileChanged ||
      run.settingsChanged) {
    DeleteFilesByExt(run.tempFolder, "tmp");
    DeleteFilesByExt(run.cacheFolder, "tmp");
  }
  CopyNewerFiles(run.tempFolder, run.cacheFolder);
  if (!LoadControlFile(run)) return;
  run.backupFile = project.BackupFile;
  run.timeoutMs = Context().scriptEngineTimeout;
  StartEngine(project, run);
  if (!run.error.empty()) return;
  PrepareStaleScripts(project, run);
  if (!run.error.empty()) return;
  StatusScope window(&ObPStatus::ShowStatus3, project.hWnd(),
                     Product() + " - Generating " + Context().product.languageTag + " Scripts...");
  PageGeneration(project, run, false).GeneratePages();
}

// Runs a stage, turning what it raises into the run's error unless the stage
// said what went wrong already. A cancel says so in its own words.
void Guarded(GenerationRun& run, const std::function<void()>& stage) {
  try {
    stage();
  } catch (const Error& e) {
    run.cancelled = run.cancelled || e.number() == kGenerationCancelled;
    if (run.error.empty())
      run.error = e.number() == kGenerationCancelled ? e.description() : Product() + ": " + e.what();
  } catch (const std::exception& e) {
    if (run.error.empty()) run.error = Product() + ": " + e.what();
  }
  Status().CloseIfShown();
}

void ResetRun(GenerationRun& run) {
  ClearHostError();
  run.error.clear();
  run.cancelled = false;
  run.summary = GenerationSummary{};
  run.scriptTexts.clear();
  run.sourceMaps.clear();
  run.errorAt.reset();
  run.warnings.clear();
  run.outputFolders.clear();
  run.userScriptChanged = run.controlFileChanged = run.phraseFileChanged = run.settingsChanged = false;
}

// After a complete run: a recorded page the run no longer produces is removed
// when the user has not touched it, else kept and reported.
void RemoveDroppedPages(ObPModel& project, GenerationRun& run) {
  GenerationRecord& record = *run.record;
  for (const std::string& name : record.NotProduced()) {
    const fs::path file = fs::path(project.Destination()) / name;
    if (!IsFile(file)) {
      record.Forget(name);
    } else if (ContentHash(ReadWholeFile(file)) == *record.HashOf(name)) {
      fs::remove(file);
      record.Forget(name);
      ++run.summary.removed;
    } else {
      run.summary.kept.push_back(name);
    }
  }
}

// The record keeps what was written even when the run was cancelled or failed.
void FinishRecord(ObPModel& project, GenerationRun& run) {
  if (!run.record) return;
  Guarded(run, [&] {
    if (run.error.empty() && run.merge) RemoveDroppedPages(project, run);
    run.record->Save();
  });
  run.record.reset();
}

std::string AbsoluteDestination(const ObPModel& project) {
  std::error_code ec;
  return fs::weakly_canonical(fs::absolute(project.Destination()), ec).generic_string();
}

}  // namespace

bool HasGenerationRecord(const ObPModel& project, const std::string& recordFolder) {
  return GenerationRecord(recordFolder, AbsoluteDestination(project)).loaded();
}

GenerateOutcome Generate(ObPModel& project, const GenerateOptions& options) {
  GenerationRun& run = RunOf(project);
  ResetRun(run);
  if (options.backup) run.backupOverride = options.backup;
  run.strict = options.strict;
  run.backupFolder = options.backupFolder;
  if (!options.recordFolder.empty())
    run.record = std::make_unique<GenerationRecord>(options.recordFolder, AbsoluteDestination(project));
  run.merge = options.merge && run.record && run.record->loaded();
  Guarded(run, [&] { RunGeneration(project, run); });
  if (run.script) run.script->ReleaseEngine();
  FinishRecord(project, run);
  return GenerateOutcome{run.summary, run.error, run.errorAt, run.warnings, run.cancelled};
}


ExistingPagesOutcome CountExistingPages(ObPModel& project) {
  GenerationRun& run = RunOf(project);
  ResetRun(run);
  int32_t count = 0;
  Guarded(run, [&] {
    if (!PrepareWorkFolders(project, run, "Check")) return;
    if (!TemplateIsFolder(project)) {
      try {
        ExtractTemplate(project.Template(), run.templateFolder);
      } catch (const std::exception& e) {
        return Fail(run, "Extract Template File \"" + project.Template() + "\" failed! " + e.what());
      }
    }
    if (!LoadControlFile(run)) return;
    count = PageGeneration(project, run, true).GeneratePages();
    if (!TemplateIsFolder(project)) RemoveWorkFolder(run.templateFolder);
  });
  return {static_cast<int16_t>(std::min<int32_t>(count, INT16_MAX)), run.error};
}

}  // namespace zantrel
