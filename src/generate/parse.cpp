// ObP.Parse: one template text turned into its script and run at once, with no
// current control, table or field — the way to try a template by hand.
#include "core/context.h"
#include "generate/generation_run.h"
#include "generate/script_builder.h"
#include "model/project.h"

namespace zantrel {

GenerationRun& RunOf(ObP& project) {
  if (!project.generationRun) project.generationRun = std::make_shared<GenerationRun>();
  return *project.generationRun;
}

// Starts the run's engine with the project as the scripts see it.
void StartScriptHost(ObP& project, GenerationRun& run) {
  if (!run.script) run.script = MakeRef<ObScript>();
  run.script->templateFolder = run.templateFolder;
  ObPDatabase* database = project.openDatabase();
  run.script->Initialize(ObjectVariant(Ref<ObP>(&project)),
                         database ? ObjectVariant(Ref<ObPDatabase>(database)) : Variant::Nothing(),
                         ObjectVariant(run.controls), ObjectVariant(run.language));
}

std::string ObP::Parse(const std::string& text) {
  ProjErr("");
  GenerationRun& run = RunOf(*this);
  StartScriptHost(*this, run);
  if (!ProjErr().empty()) return {};
  ScriptBuilder builder(run.language.get(), run.script.get());
  builder.AppendScriptBlocks(text);
  if (!ProjErr().empty()) return {};
  std::string page = run.script->BuildNewCode(builder.FunctionText(), 0, Context().scriptEngineTimeout);
  run.script->ReleaseEngine();  // the engine holds the project; let it go between calls
  return page;
}

}  // namespace zantrel
