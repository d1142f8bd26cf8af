#include "generate/render.h"

#include <filesystem>

#include "core/context.h"
#include "core/error.h"
#include "core/names.h"
#include "core/text.h"
#include "generate/generation_run.h"
#include "generate/prepare.h"
#include "generate/script_builder.h"
#include "generate/template_errors.h"
#include "model/project.h"
#include "template/host_error.h"

namespace zantrel {

namespace {

namespace fs = std::filesystem;

// Loads the template's phrase file when there is one.
void LoadPhrases(GenerationRun& run) {
  fs::path file = fs::path(run.templateFolder) / "lang.xml";
  std::error_code ec;
  if (run.templateFolder.empty() || !fs::exists(file, ec)) return;
  if (!run.language->Load(file.string())) throw Error(err::kTemplate, run.language->LastError());
}

// Makes the table and field current; throws when one does not exist.
void SelectCurrent(ObPModel& project, const RenderRequest& request) {
  if (request.table.empty()) return;
  ObPDatabase* database = project.openDatabase();
  ObPTable* table = database ? database->tables().Find(request.table) : nullptr;
  if (!table) throw Error(err::kTableNotFound, ProductError(": Table " + request.table + " not found!"));
  database->tables().SetItem(Variant(table->TblName()));
  if (request.field.empty()) return;
  if (!table->Fields().Find(request.field))
    throw Error(err::kTableNotFound, ProductError(": Field " + request.field + " not found!"));
  table->Fields().SetItem(Variant(request.field));
}

// Throws what the script host or the block parser reported, at its template
// place when the run knows it, after releasing the engine.
void ThrowIfScriptFailed(GenerationRun& run) {
  if (!ScriptFailed(run)) return;
  if (run.script) run.script->ReleaseEngine();
  if (run.errorAt) run.errorAt->message = run.error;
  if (run.errorAt && run.errorAt->pos) {
    const TemplatePos& at = run.errorAt->pos;
    throw Error(err::kTemplate, run.error, at.file, at.line, at.column);
  }
  throw Error(err::kTemplate, run.error);
}

// Notes where the engine's error, or the run-time error the page hid, came from.
void NoteOutcome(GenerationRun& run, const SourceMap& map, const std::string& script) {
  if (run.script->lastError) {
    run.errorAt = DiagnoseScriptError(run.script->lastError, map, script);
  } else if (run.script->swallowed) {
    run.warnings.push_back(DiagnoseScriptError(run.script->swallowed, map, script));
  }
}

void ResetRun(GenerationRun& run) {
  ClearHostError();
  run.error.clear();
  run.errorAt.reset();
  run.warnings.clear();
}

}  // namespace

std::string RenderTemplate(ObPModel& project, const RenderRequest& request) {
  GenerationRun& run = RunOf(project);
  ResetRun(run);
  run.templateFolder = request.templateFolder;
  LoadPhrases(run);
  SelectCurrent(project, request);
  StartScriptHost(project, run);
  ThrowIfScriptFailed(run);
  ScriptBuilder builder(run.language.get(), run.script.get());
  TextOrigins origins(std::make_shared<SourceText>(SourceText{request.templateName, request.templateText}));
  builder.AppendScriptBlocks(request.templateText, &origins);
  NoteParseError(run, builder.parseErrorPos);
  ThrowIfScriptFailed(run);
  int16_t initType = request.table.empty() ? 0 : 2;
  std::string script = builder.FunctionText();
  std::string page = run.script->BuildNewCode(script, initType, Context().scriptEngineTimeout);
  NoteOutcome(run, builder.sourceMap(), script);
  ThrowIfScriptFailed(run);
  run.script->ReleaseEngine();
  return page;
}

namespace {

// Loads the template's control and phrase files, makes the control current
// and starts the engine; throws when that fails.
Ref<ObPControl> OpenControl(ObPModel& project, GenerationRun& run, const std::string& templateFolder,
                            const std::string& controlId) {
  run.templateFolder = templateFolder;
  if (!run.controls->LoadControls((fs::path(templateFolder) / "control.xml").string()))
    throw Error(err::kTemplate, run.controls->LastError());
  LoadPhrases(run);
  for (int16_t i = 1; i <= run.controls->Count(); ++i) {
    Ref<ObPControl> control = run.controls->Item(i);
    if (NameEquals(control->CtrlID, controlId)) {
      StartScriptHost(project, run);
      ThrowIfScriptFailed(run);
      return control;
    }
  }
  throw Error(err::kTemplate, ProductError(": Control " + controlId + " not found!"));
}

}  // namespace

std::string PrepareControl(ObPModel& project, const std::string& templateFolder, const std::string& controlId) {
  GenerationRun& run = RunOf(project);
  ResetRun(run);
  Ref<ObPControl> control = OpenControl(project, run, templateFolder, controlId);
  PreparedScript prepared = PrepareMappedScript(project, run, *control);
  NoteParseError(run, prepared.parseErrorPos);
  ThrowIfScriptFailed(run);
  run.script->ReleaseEngine();
  return prepared.text;
}

std::string GenerateControlPage(ObPModel& project, const std::string& templateFolder, const std::string& controlId,
                                const RenderRequest& current, std::string* script) {
  GenerationRun& run = RunOf(project);
  ResetRun(run);
  SelectCurrent(project, current);
  Ref<ObPControl> control = OpenControl(project, run, templateFolder, controlId);
  PreparedScript prepared = PrepareMappedScript(project, run, *control);
  if (script) *script = prepared.text;
  NoteParseError(run, prepared.parseErrorPos);
  ThrowIfScriptFailed(run);
  std::string page =
      run.script->BuildNewCode(prepared.text, current.table.empty() ? 1 : 2, Context().scriptEngineTimeout);
  NoteOutcome(run, prepared.map, prepared.text);
  ThrowIfScriptFailed(run);
  run.script->ReleaseEngine();
  return page;
}

}  // namespace zantrel
