// ParseTemplateText: one template text turned into its script and run at once, with no
// current control, table or field — the way to try a template by hand.
#include "core/context.h"
#include "core/error.h"
#include "generate/generate.h"
#include "generate/generation_run.h"
#include "generate/script_builder.h"
#include "template/host_error.h"

namespace zantrel {

GenerationRun& RunOf(ObPModel& project) {
  if (!project.generationState) project.generationState = std::make_unique<GenerationRun>();
  return static_cast<GenerationRun&>(*project.generationState);
}

// Starts the run's engine with the project as the scripts see it.
void StartScriptHost(ObPModel& project, GenerationRun& run) {
  if (!run.script) run.script = MakeRef<ObScript>();
  run.script->templateFolder = run.templateFolder;
  ObPDatabase* database = project.openDatabase();
  run.script->Initialize(ObjectVariant(Ref<ObPModel>(&project)),
                         database ? ObjectVariant(Ref<ObPDatabase>(database)) : Variant::Nothing(),
                         ObjectVariant(run.controls), ObjectVariant(run.language));
}

bool ScriptFailed(GenerationRun& run) {
  if (std::string error = TakeHostError(); !error.empty()) run.error = std::move(error);
  return !run.error.empty();
}

std::string ParseTemplateText(ObPModel& project, const std::string& text) {
  ClearHostError();
  GenerationRun& run = RunOf(project);
  run.error.clear();
  StartScriptHost(project, run);
  if (ScriptFailed(run)) throw Error(err::kTemplate, run.error);
  ScriptBuilder builder(run.language.get(), run.script.get());
  builder.AppendScriptBlocks(text);
  if (ScriptFailed(run)) throw Error(err::kTemplate, run.error);
  std::string page = run.script->BuildNewCode(builder.FunctionText(), 0, Context().scriptEngineTimeout);
  run.script->ReleaseEngine();  // the engine holds the project; let it go between calls
  if (ScriptFailed(run)) throw Error(err::kTemplate, run.error);
  return page;
}

}  // namespace zantrel
