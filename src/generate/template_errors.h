// Template problems told at the author's file, line and column: the error that
// ends a run (a block that does not parse, a script that does not compile or
// fails), and the run-time errors that a page's On Error Resume Next hid.
#pragma once

#include <string>

#include "template/source_map.h"

namespace zantrel {

class ObPModel;
struct GenerationRun;
namespace script {
struct ScriptError;
}

// The diagnostic of the block parser's report at pos.
TemplateDiagnostic ParseErrorDiagnostic(const TemplatePos& pos, const std::string& report);
// Notes it as the place of the run's error, when the parser reported one at a known place.
void NoteParseError(GenerationRun& run, const TemplatePos& pos);

// Notes in run.errorAt where the failure of the script at scriptPath (text),
// taken into run.error already, came from; page is the output it was making.
void NoteScriptFailure(ObPModel& project, GenerationRun& run, const std::string& scriptPath, const std::string& text,
                       const std::string& page);

// Notes a warning when the script's last run hid an error; true when the page
// must not be written (a strict run).
bool NoteHiddenError(ObPModel& project, GenerationRun& run, const std::string& scriptPath, const std::string& text,
                     const std::string& page);

}  // namespace zantrel
