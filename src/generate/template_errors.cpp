#include "generate/template_errors.h"

#include "generate/generation_run.h"
#include "generate/prepare.h"
#include "script/engine.h"
#include "template/host_error.h"

namespace zantrel {
namespace {

// The map of the script at scriptPath: the one made this run, or, for a script
// an earlier run prepared, made again from the template (used only when that
// gives the very same script). Null when there is none.
const SourceMap* MapOf(ObPModel& project, GenerationRun& run, const std::string& scriptPath, const std::string& text) {
  auto found = run.sourceMaps.find(scriptPath);
  if (found != run.sourceMaps.end()) return &found->second;
  Ref<ObPControl> control = run.controls->Item(run.controls->curIndex);
  if (!control) return nullptr;
  int16_t sessions = run.sessionCount;
  PreparedScript again;
  try {
    again = PrepareMappedScript(project, run, *control);
  } catch (const std::exception&) {
  }
  ClearHostError();  // a block error of this second preparation was told by the first
  run.sessionCount = sessions;
  if (again.text != text) return nullptr;
  return &run.sourceMaps.emplace(scriptPath, std::move(again.map)).first->second;
}

TemplateDiagnostic Diagnose(ObPModel& project, GenerationRun& run, const script::ScriptError& error,
                            const std::string& scriptPath, const std::string& text, const std::string& page) {
  const SourceMap* map = MapOf(project, run, scriptPath, text);
  TemplateDiagnostic d = DiagnoseScriptError(error, map ? *map : SourceMap(), text);
  d.page = page;
  return d;
}

}  // namespace

TemplateDiagnostic ParseErrorDiagnostic(const TemplatePos& pos, const std::string& report) {
  TemplateDiagnostic d;
  d.pos = pos;
  d.kind = "template error";
  d.description = report.substr(0, report.find(" at line "));
  d.message = report;
  return d;
}

void NoteParseError(GenerationRun& run, const TemplatePos& pos) {
  if (pos && ScriptFailed(run)) run.errorAt = ParseErrorDiagnostic(pos, run.error);
}

void NoteScriptFailure(ObPModel& project, GenerationRun& run, const std::string& scriptPath, const std::string& text,
                       const std::string& page) {
  if (!run.script || !run.script->lastError) return;
  TemplateDiagnostic d = Diagnose(project, run, run.script->lastError, scriptPath, text, page);
  d.message = run.error;
  run.errorAt = std::move(d);
}

bool NoteHiddenError(ObPModel& project, GenerationRun& run, const std::string& scriptPath, const std::string& text,
                     const std::string& page) {
  if (!run.script || !run.script->swallowed) return false;
  run.warnings.push_back(Diagnose(project, run, run.script->swallowed, scriptPath, text, page));
  if (!run.strict) return false;
  ++run.summary.failed;
  return true;
}

}  // namespace zantrel
