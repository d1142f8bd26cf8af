// Preparing the script of one control: its template file (or files), the
// sessions whose conditions hold, and includes, turned into ovScriptEngine.
#pragma once

#include <string>

#include "template/source_map.h"

namespace zantrel {

class ObPModel;
class ObPControl;
struct GenerationRun;

// Whether the control's pages come from a prepared script (field, table, other and report controls).
bool ProducesScript(const ObPControl& control);

// The text of a comma-separated list of template files: the one file (raising
// 75 when it cannot be read), or those of the list that exist, joined; origins,
// when given, receive where each file's text starts (names relative to the
// template folder).
std::string JoinInputFiles(GenerationRun& run, const std::string& fileList, TextOrigins* origins = nullptr);

// A prepared script with where its lines came from.
struct PreparedScript {
  std::string text;
  SourceMap map;
  TemplatePos parseErrorPos;  // of the block parser's report, when there was one
};
PreparedScript PrepareMappedScript(ObPModel& project, GenerationRun& run, ObPControl& control);

// The prepared script text of a control.
std::string PrepareScriptText(ObPModel& project, GenerationRun& run, ObPControl& control);
// The same, written to scriptPath (created or replaced).
void PrepareScript(ObPModel& project, GenerationRun& run, ObPControl& control, const std::string& scriptPath);

}  // namespace zantrel
