#include "generate/output_files.h"

#include <filesystem>

#include "core/context.h"
#include "core/error.h"
#include "core/names.h"
#include "core/text.h"
#include "core/text_list.h"
#include "generate/generation_run.h"
#include "generate/template_errors.h"
#include "generate/page_merge.h"
#include "generate/output_text.h"
#include "model/project.h"
#include "platform/atomic_file.h"
#include "platform/prompter.h"
#include "platform/status.h"

namespace zantrel {
namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

bool EndsWithSeparator(const std::string& s) { return !s.empty() && (s.back() == '/' || s.back() == '\\'); }

std::string ToSlashes(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::string AfterLastSeparator(const std::string& path) {
  std::size_t at = path.find_last_of("/\\");
  return at == std::string::npos ? path : path.substr(at + 1);
}

// Writes text unless the file holds it already (its modification time then
// stays); whether it wrote.
bool ReplaceUnlessSame(const fs::path& to, std::string_view text) {
  std::error_code ec;
  if (fs::is_regular_file(to, ec) && fs::file_size(to, ec) == text.size() && ReadWholeFile(to) == text) return false;
  ReplaceFileAtomically(to, text, /*durable=*/false);
  return true;
}

bool CopyFileReplacing(const fs::path& from, const fs::path& to) { return ReplaceUnlessSame(to, ReadWholeFile(from)); }

// Whether any file of the folder was written.
bool CopyFolderReplacing(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  bool wrote = false;
  for (const auto& entry : fs::recursive_directory_iterator(from)) {
    fs::path target = to / fs::relative(entry.path(), from);
    if (entry.is_directory())
      fs::create_directories(target);
    else if (entry.is_regular_file())
      wrote |= CopyFileReplacing(entry.path(), target);
  }
  return wrote;
}

// Counts a copy or a style sheet as written, or as unchanged when identical.
void CountWrite(GenerationRun& run, bool wrote) { ++(wrote ? run.summary.written : run.summary.unchanged); }

// The overwrite dialog; sets the run's decision and answer.
void AskOverwrite(GenerationRun& run, const std::string& what, const std::string& path) {
  Prompt prompt{"overwrite", Context().product.name, what + " " + path + " already exists!",
                {"Overwrite", "Skip", "Cancel"}, 1, "All", ""};
  PromptReply reply = Prompts().Ask(prompt);
  if (reply.button == 0) {
    run.overwrite.decision = true;
    if (reply.checked) run.overwrite.answer = "O";
  } else if (reply.button == 1) {
    if (reply.checked) run.overwrite.answer = "S";
  } else {
    run.overwrite.answer = "C";
  }
}

// The decision for an existing output; the backup is made by the caller.
bool DecideOverwrite(GenerationRun& run, const std::string& what, const std::string& path, bool overwrite,
                     bool prompt) {
  run.overwrite.decision = false;
  if (run.overwrite.answer == "O") {
    run.overwrite.decision = true;
  } else if (run.overwrite.answer == "S") {
    return false;
  } else if (!prompt) {
    run.overwrite.decision = overwrite;
  } else if (overwrite) {
    AskOverwrite(run, what, path);
  }
  if (run.overwrite.answer == "C") CancelGeneration();
  return run.overwrite.decision;
}

bool BackupWanted(const GenerationRun& run) { return run.backupOverride.value_or(run.backupFile); }

// Where the backup of an output goes: NAME.bak beside it, or its path below
// the destination inside the run's backup folder (kept out of the web root).
std::string BackupPath(const ObPModel& project, const GenerationRun& run, std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (run.backupFolder.empty()) return path + ".bak";
  fs::path relative = fs::path(path).lexically_relative(ToSlashes(project.Destination()));
  if (relative.empty() || *relative.begin() == "..") relative = fs::path(path).filename();
  fs::path target = fs::path(run.backupFolder) / relative;
  fs::create_directories(target.parent_path());
  return target.string();
}

// Raises a failed write as the numbered path error, so that it ends the run as a message.
template <class F>
void Guarded(F&& write) {
  try {
    write();
  } catch (const FileError& e) {
    Raise(err::kPathFileAccess, e.what());
  } catch (const fs::filesystem_error& e) {
    Raise(err::kPathFileAccess, e.what());
  }
}

}  // namespace

std::string BuildOutputPath(const ObPModel& project, const std::string& name, bool applyNaming, bool inDestination) {
  std::string folder = inDestination ? project.Destination() : std::string();
  if (!folder.empty() && !EndsWithSeparator(folder)) folder += '/';
  std::string file = name;
  if (applyNaming) {
    std::string type = project.OutputNameType();
    if (type == "Prefix") file = project.OutputNameExt() + name;
    if (type == "Suffix") file = name + project.OutputNameExt();
  }
  // Lower case applies to the generated name only: on a case-sensitive file
  // system the destination folder must keep its own case.
  return folder + (project.OutputNameLCase() ? ToLowerText(file) : file);
}

std::string ExistingPath(const std::string& folder, const std::string& name) {
  std::string path = (fs::path(folder) / ToSlashes(name)).string();
  if (Exists(path)) return path;
  Status().CloseIfShown();
  return {};
}

std::string NormalizeFolder(const std::string& folder) {
  std::size_t a = folder.find_first_not_of(' ');
  std::string out = a == std::string::npos ? std::string() : folder.substr(a, folder.find_last_not_of(' ') - a + 1);
  if (!out.empty() && !EndsWithSeparator(out)) out += '/';
  return out;
}

void CreateFolderPath(const std::string& path) {
  std::error_code ec;
  if (!path.empty()) fs::create_directories(ToSlashes(path), ec);
}

bool ConfirmFileWrite(ObPModel& project, GenerationRun& run, const std::string& path, bool overwrite, bool prompt,
                      bool checkOnly) {
  if (checkOnly) return Exists(path);
  run.overwrite.existed = Exists(path);
  if (!run.overwrite.existed) return true;
  if (!DecideOverwrite(run, "File", path, overwrite, prompt)) {
    ++run.summary.skipped;
    return false;
  }
  if (BackupWanted(run)) {
    Guarded([&] { CopyFileReplacing(path, BackupPath(project, run, ToSlashes(path))); });
    ++run.summary.backedUp;
  }
  return true;
}

bool ConfirmFolderWrite(ObPModel& project, GenerationRun& run, const std::string& path, bool overwrite, bool prompt,
                        bool checkOnly) {
  if (checkOnly) return Exists(path);
  if (!Exists(path)) return true;
  if (!DecideOverwrite(run, "Folder", path, overwrite, prompt)) {
    ++run.summary.skipped;
    return false;
  }
  if (BackupWanted(run)) {
    std::string folder = ToSlashes(path);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    Guarded([&] {
      const std::string backup = BackupPath(project, run, folder);
      fs::remove_all(backup);
      CopyFolderReplacing(folder, backup);
    });
    ++run.summary.backedUp;
  }
  return true;
}

namespace {

// The page's path below the destination, as the record names it.
std::string RecordName(const ObPModel& project, const std::string& path) {
  return fs::path(path).lexically_relative(ToSlashes(project.Destination())).generic_string();
}

std::string ReadIfFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec) ? ReadWholeFile(path) : std::string();
}

void WriteOutput(GenerationRun& run, const std::string& path, std::string_view text, bool existed) {
  std::string folder = fs::path(path).parent_path().string();
  if (run.outputFolders.insert(folder).second) CreateFolderPath(folder);
  Guarded([&] {
    if (existed)
      ReplaceFileAtomically(path, text, /*durable=*/false);
    else
      WriteNewFileAtomically(path, text);
  });
  ++run.summary.written;
  if (existed) ++run.summary.updated;
}

// A page the record knows and that exists: replaced when the user has not
// touched it, else merged with the edit; a conflict leaves the file as it is.
void MergeIntoPage(ObPModel& project, GenerationRun& run, const std::string& path, const std::string& name,
                   const std::string& page) {
  GenerationRecord& record = *run.record;
  std::string current;
  Guarded([&] { current = ReadWholeFile(path); });
  std::string text = page;
  if (ContentHash(current) != *record.HashOf(name)) {
    MergedPage merged = MergePage(record.BaseOf(name), current, page);
    if (!merged.clean) {
      Guarded([&] { record.WriteConflict(name, merged.text); });
      record.Keep(name);
      run.summary.conflicts.push_back(name);
      return;
    }
    text = std::move(merged.text);
    if (text != current) ++run.summary.merged;
  }
  if (text == current) {
    ++run.summary.unchanged;
  } else {
    if (BackupWanted(run)) {
      Guarded([&] { CopyFileReplacing(path, BackupPath(project, run, path)); });
      ++run.summary.backedUp;
    }
    WriteOutput(run, path, text, true);
  }
  Guarded([&] { record.Record(name, page); });
}

}  // namespace

void WritePage(ObPModel& project, GenerationRun& run, const std::string& scriptPath, const std::string& outputPath,
               bool overwrite, bool space, int16_t initType) {
  const std::string path = ToSlashes(outputPath);
  const std::string name = RecordName(project, path);
  const bool merging = run.merge && run.record && run.record->HashOf(name) && Exists(path);
  if (!merging && !ConfirmFileWrite(project, run, outputPath, overwrite, project.PromptOnOverwrite(), false)) {
    if (run.record) run.record->Keep(name);
    return;
  }
  auto cached = run.scriptTexts.find(scriptPath);
  if (cached == run.scriptTexts.end()) {
    std::string text;
    Guarded([&] { text = ReadWholeFile(scriptPath); });
    cached = run.scriptTexts.emplace(scriptPath, std::move(text)).first;
  }
  std::string page = run.script->BuildNewCode(cached->second, initType, run.timeoutMs, scriptPath);
  if (ScriptFailed(run)) return NoteScriptFailure(project, run, scriptPath, cached->second, outputPath);
  if (NoteHiddenError(project, run, scriptPath, cached->second, outputPath)) return;
  page = space ? CleanOutput(page, project.versionText()) : StripLeadingBlankLines(page);
  if (merging) return MergeIntoPage(project, run, path, name, page);
  const bool existed = run.overwrite.existed;
  // An identical page is not rewritten, so its modification time stays.
  if (existed && ReadIfFile(path) == page)
    ++run.summary.unchanged;
  else
    WriteOutput(run, path, page, existed);
  if (run.record) Guarded([&] { run.record->Record(name, page); });
}

void WriteStyleSheet(ObPModel& project, GenerationRun& run, bool checkOnly, int32_t& count) {
  if (project.UseCss()) {
    std::string path = BuildOutputPath(project, project.ProjName() + ".css", false, true);
    if (ConfirmFileWrite(project, run, path, project.OtherOverwrite(), project.PromptOnOverwrite(), checkOnly)) {
      if (checkOnly) {
        ++count;
      } else {
        bool wrote = false;
        Guarded([&] {
          CreateFolderPath(fs::path(ToSlashes(path)).parent_path().string());  // the destination may be new
          wrote = ReplaceUnlessSame(ToSlashes(path), project.CssStyles());
        });
        CountWrite(run, wrote);
      }
    }
  }
  std::string source = project.CSS();
  if (source.empty()) return;
  std::string target = BuildOutputPath(project, AfterLastSeparator(source), false, true);
  if (target == source ||
      !ConfirmFileWrite(project, run, target, project.OtherOverwrite(), project.PromptOnOverwrite(), checkOnly))
    return;
  if (checkOnly) {
    ++count;
    return;
  }
  Status().DispStatus("copying css");
  bool wrote = false;
  Guarded([&] {
    CreateFolderPath(fs::path(ToSlashes(target)).parent_path().string());
    wrote = CopyFileReplacing(ToSlashes(source), ToSlashes(target));
  });
  CountWrite(run, wrote);
}

namespace {

bool CopyListedFiles(ObPModel& project, GenerationRun& run, const ObPControl& control, bool checkOnly, int32_t& count) {
  for (const std::string& name : SplitList(control.CtrlIFiles)) {
    std::string source = ExistingPath(run.templateFolder, name);
    if (source.empty()) {
      run.error = ProductError(": Source file does not exist - \"" + name + "\"! Check if correct template.");
      return false;
    }
    std::string target = name;
    if (!control.CtrlOFolder.empty()) {
      if (!checkOnly) CreateFolderPath(BuildOutputPath(project, control.CtrlOFolder, false, true));
      target = NormalizeFolder(control.CtrlOFolder) + name;
    }
    target = BuildOutputPath(project, target, false, true);
    if (ConfirmFileWrite(project, run, target, project.OtherOverwrite(), project.PromptOnOverwrite(), checkOnly)) {
      if (checkOnly) {
        ++count;
      } else {
        if (Status().shown) Status().DispStatus("Copying file " + name);
        bool wrote = false;
        Guarded([&] {
          CreateFolderPath(fs::path(ToSlashes(target)).parent_path().string());
          wrote = CopyFileReplacing(source, ToSlashes(target));
        });
        CountWrite(run, wrote);
      }
    }
  }
  return true;
}

bool CopyFolder(ObPModel& project, GenerationRun& run, const ObPControl& control, bool checkOnly, int32_t& count) {
  std::string source = ExistingPath(run.templateFolder, control.CtrlIFolder);
  if (source.empty()) {
    run.error = ProductError(": Source folder does not exist - \"" + control.CtrlIFolder +
                            "\"! Check if correct template.");
    return false;
  }
  std::string folder = control.CtrlOFolder.empty() ? control.CtrlIFolder : control.CtrlOFolder;
  std::string target = BuildOutputPath(project, folder, false, true);
  if (!ConfirmFolderWrite(project, run, target, project.OtherOverwrite(), project.PromptOnOverwrite(), checkOnly))
    return true;
  if (checkOnly) {
    ++count;
    return true;
  }
  if (Status().shown) Status().DispStatus("Copying folder " + folder);
  bool wrote = false;
  Guarded([&] { wrote = CopyFolderReplacing(source, ToSlashes(target)); });
  CountWrite(run, wrote);
  return true;
}

}  // namespace

void CopyTemplateFiles(ObPModel& project, GenerationRun& run, bool checkOnly, int32_t& count) {
  for (int16_t i = 1; i <= run.controls->Count(); ++i) {
    Ref<ObPControl> control = run.controls->Item(i);
    if (control->Kind() != ControlKind::Copy) continue;
    bool ok = !control->CtrlIFiles.empty()    ? CopyListedFiles(project, run, *control, checkOnly, count)
              : !control->CtrlIFolder.empty() ? CopyFolder(project, run, *control, checkOnly, count)
                                              : true;
    if (!ok) return;
  }
}

void CancelGeneration() {
  Status().CloseIfShown();
  Raise(kGenerationCancelled, "Generation cancelled by user!");
}

}  // namespace zantrel
