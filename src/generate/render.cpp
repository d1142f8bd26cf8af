#include "generate/render.h"

#include <filesystem>

#include "core/context.h"
#include "core/names.h"
#include "generate/generation_run.h"
#include "generate/prepare.h"
#include "generate/script_builder.h"
#include "generate/template_errors.h"
#include "model/project.h"

namespace zantrel {

void StartScriptHost(ObP& project, GenerationRun& run);

namespace {

namespace fs = std::filesystem;

// Loads the template's phrase file when there is one.
bool LoadPhrases(GenerationRun& run) {
  fs::path file = fs::path(run.templateFolder) / "lang.xml";
  std::error_code ec;
  if (run.templateFolder.empty() || !fs::exists(file, ec)) return true;
  if (run.language->Load(file.string())) return true;
  Context().projErr = run.language->LastError();
  return false;
}

// Makes the table and field current; false with ProjErr when one does not exist.
bool SelectCurrent(ObP& project, const RenderRequest& request) {
  if (request.table.empty()) return true;
  ObPDatabase* database = project.openDatabase();
  ObPTable* table = database ? database->tables().Find(request.table) : nullptr;
  if (!table) {
    Context().projErr = Context().product.errorName + ": Table " + request.table + " not found!";
    return false;
  }
  database->tables().SetItem(Variant(table->TblName()));
  if (request.field.empty()) return true;
  if (!table->Fields().Find(request.field)) {
    Context().projErr = Context().product.errorName + ": Field " + request.field + " not found!";
    return false;
  }
  table->Fields().SetItem(Variant(request.field));
  return true;
}


// What the run tells the host beside ProjErr: where an error or a hidden
// run-time error of script came from.
void NoteOutcome(GenerationRun& run, const SourceMap& map, const std::string& script) {
  if (!Context().projErr.empty()) {
    if (run.script->lastError) {
      run.errorAt = DiagnoseScriptError(run.script->lastError, map, script);
      run.errorAt->message = Context().projErr;
    }
  } else if (run.script->swallowed) {
    run.warnings.push_back(DiagnoseScriptError(run.script->swallowed, map, script));
  }
}

void ResetReports(GenerationRun& run) {
  run.errorAt.reset();
  run.warnings.clear();
}

}  // namespace

std::string RenderTemplate(ObP& project, const RenderRequest& request) {
  Context().projErr.clear();
  GenerationRun& run = RunOf(project);
  ResetReports(run);
  run.templateFolder = request.templateFolder;
  if (!LoadPhrases(run) || !SelectCurrent(project, request)) return {};
  StartScriptHost(project, run);
  if (!Context().projErr.empty()) return {};
  ScriptBuilder builder(run.language.get(), run.script.get());
  TextOrigins origins(std::make_shared<SourceText>(SourceText{request.templateName, request.templateText}));
  builder.AppendScriptBlocks(request.templateText, &origins);
  if (!Context().projErr.empty()) {
    run.errorAt = ParseErrorDiagnostic(builder.parseErrorPos);
    return {};
  }
  int16_t initType = request.table.empty() ? 0 : 2;
  std::string script = builder.FunctionText();
  std::string page = run.script->BuildNewCode(script, initType, Context().scriptEngineTimeout);
  NoteOutcome(run, builder.sourceMap(), script);
  run.script->ReleaseEngine();
  return page;
}

namespace {

// Loads the template's control and phrase files and makes the control current;
// null with ProjErr set when that fails.
Ref<ObPControl> OpenControl(ObP& project, GenerationRun& run, const std::string& templateFolder,
                            const std::string& controlId) {
  run.templateFolder = templateFolder;
  if (!run.controls->LoadControls((fs::path(templateFolder) / "control.xml").string())) {
    Context().projErr = run.controls->LastError();
    return nullptr;
  }
  if (!LoadPhrases(run)) return nullptr;
  for (int16_t i = 1; i <= run.controls->Count(); ++i) {
    Ref<ObPControl> control = run.controls->Item(i);
    if (NameEquals(control->CtrlID, controlId)) {
      StartScriptHost(project, run);
      return Context().projErr.empty() ? control : nullptr;
    }
  }
  Context().projErr = Context().product.errorName + ": Control " + controlId + " not found!";
  return nullptr;
}

}  // namespace

std::string PrepareControl(ObP& project, const std::string& templateFolder, const std::string& controlId) {
  Context().projErr.clear();
  GenerationRun& run = RunOf(project);
  ResetReports(run);
  Ref<ObPControl> control = OpenControl(project, run, templateFolder, controlId);
  if (!control) return {};
  PreparedScript prepared = PrepareMappedScript(project, run, *control);
  if (!Context().projErr.empty() && prepared.parseErrorPos) run.errorAt = ParseErrorDiagnostic(prepared.parseErrorPos);
  run.script->ReleaseEngine();
  return prepared.text;
}

std::string GenerateControlPage(ObP& project, const std::string& templateFolder, const std::string& controlId,
                                const RenderRequest& current, std::string* script) {
  Context().projErr.clear();
  GenerationRun& run = RunOf(project);
  ResetReports(run);
  if (!SelectCurrent(project, current)) return {};
  Ref<ObPControl> control = OpenControl(project, run, templateFolder, controlId);
  if (!control) return {};
  PreparedScript prepared = PrepareMappedScript(project, run, *control);
  if (script) *script = prepared.text;
  std::string page;
  if (!Context().projErr.empty()) {
    if (prepared.parseErrorPos) run.errorAt = ParseErrorDiagnostic(prepared.parseErrorPos);
  } else {
    page = run.script->BuildNewCode(prepared.text, current.table.empty() ? 1 : 2, Context().scriptEngineTimeout);
    NoteOutcome(run, prepared.map, prepared.text);
  }
  run.script->ReleaseEngine();
  return page;
}

}  // namespace zantrel
