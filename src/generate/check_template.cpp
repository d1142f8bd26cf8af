#include "generate/check_template.h"

#include <filesystem>
#include <set>

#include "core/text_list.h"
#include "generate/generation_run.h"
#include "generate/prepare.h"
#include "generate/script_builder.h"
#include "generate/template_errors.h"
#include "model/project.h"
#include "platform/atomic_file.h"
#include "template/block_parser.h"
#include "template/host_error.h"

namespace zantrel {

namespace {

namespace fs = std::filesystem;

TemplateDiagnostic Problem(std::string file, std::string description, std::string message = {}) {
  TemplateDiagnostic d;
  d.pos.file = std::move(file);
  d.kind = "template error";
  d.description = std::move(description);
  d.message = std::move(message);
  return d;
}

// The template files the script controls read, with the files they include.
std::set<std::string> TemplateFiles(const GenerationRun& run) {
  std::set<std::string> names;
  auto add = [&names](const std::string& list) {
    for (const std::string& name : SplitList(list))
      if (!name.empty()) names.insert(name);
  };
  for (int16_t i = 1; i <= run.controls->Count(); ++i) {
    Ref<ObPControl> control = run.controls->Item(i);
    if (!ProducesScript(*control)) continue;
    add(control->CtrlIFiles);
    for (int32_t s = 1; s <= control->Sessions().Count(); ++s) add(control->Sessions().Item(s)->SessIFile);
  }
  std::set<std::string> all = names;
  for (const std::string& name : names) {
    std::error_code ec;
    fs::path path = fs::path(run.templateFolder) / name;
    if (fs::is_regular_file(path, ec)) add(GetIncludeNames(ReadWholeFile(path)));
  }
  return all.empty() ? names : (all.insert(names.begin(), names.end()), all);
}

void ParseFile(const GenerationRun& run, const std::string& name, std::vector<TemplateDiagnostic>& problems) {
  fs::path path = fs::path(run.templateFolder) / name;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return problems.push_back(Problem(name, "file not found"));
  SourceText file{name, ReadWholeFile(path)};
  ObParser parser;
  parser.Parse(file.text);
  if (parser.errorOffset == std::string_view::npos) return;
  problems.push_back(ParseErrorDiagnostic(PositionIn(file, parser.errorOffset), TakeHostError()));
}

// Makes the project's first table and its first field current.
void SelectFirstTable(ObPModel& project) {
  ObPDatabase* database = project.openDatabase();
  if (!database || !database->HasTables() || database->tables().Count() == 0) return;
  ObPTable* table = database->tables().At(0);
  database->tables().SetItem(Variant(table->TblName()));
  if (table->Fields().Count() > 0) table->Fields().SetItem(Variant(table->Fields().At(0)->FldName()));
}

void CheckScript(ObPModel& project, GenerationRun& run, ObPControl& control, std::vector<TemplateDiagnostic>& problems) {
  PreparedScript prepared;
  try {
    prepared = PrepareMappedScript(project, run, control);
  } catch (const std::exception& e) {
    problems.push_back(Problem(control.CtrlIFiles, e.what()));
    ClearHostError();
    return;
  }
  if (std::string report = TakeHostError(); !report.empty()) {
    problems.push_back(ParseErrorDiagnostic(prepared.parseErrorPos, report));
    return;
  }
  script::ScriptError error = run.script->engine().CompileCode("TemplateCheck", prepared.text);
  if (error) problems.push_back(DiagnoseScriptError(error, prepared.map, prepared.text));
}

// The same problem found twice (a file's block error, again in its session) is told once.
void DropRepeats(std::vector<TemplateDiagnostic>& problems) {
  std::set<std::string> seen;
  std::vector<TemplateDiagnostic> kept;
  for (TemplateDiagnostic& d : problems)
    if (seen.insert(FormatPosition(d)).second) kept.push_back(std::move(d));
  problems = std::move(kept);
}

}  // namespace

std::vector<TemplateDiagnostic> CheckTemplate(ObPModel& project, const std::string& templateFolder) {
  ClearHostError();
  std::vector<TemplateDiagnostic> problems;
  GenerationRun& run = RunOf(project);
  run.templateFolder = templateFolder;
  std::string controlFile = (fs::path(templateFolder) / "control.xml").string();
  if (!run.controls->LoadControls(controlFile)) return {Problem("control.xml", run.controls->LastError())};
  fs::path phraseFile = fs::path(templateFolder) / "lang.xml";
  std::error_code ec;
  if (fs::exists(phraseFile, ec) && !run.language->Load(phraseFile.string()))
    problems.push_back(Problem("lang.xml", run.language->LastError()));
  for (const std::string& name : TemplateFiles(run)) ParseFile(run, name, problems);
  StartScriptHost(project, run);
  if (std::string report = TakeHostError(); !report.empty()) {
    problems.push_back(Problem("", "the system or user script does not load", report));
    return problems;
  }
  SelectFirstTable(project);
  for (int16_t i = 1; i <= run.controls->Count(); ++i) {
    Ref<ObPControl> control = run.controls->Item(i);  // the current control while it is prepared
    if (ProducesScript(*control)) CheckScript(project, run, *control, problems);
  }
  run.script->ReleaseEngine();
  DropRepeats(problems);
  return problems;
}

}  // namespace zantrel
