// Preparing the script of one control: its template file (or files), the
// sessions whose conditions hold, and includes, turned into ovScriptEngine.
#pragma once

#include <string>

#include "template/source_map.h"

namespace zantrel {

class ObP;
class ObPControl;
struct GenerationRun;

// Whether the control's pages come from a prepared script (field, table, other and report controls).
bool ProducesScript(const ObPControl& control);

// The one file to read for a comma-separated list of template files: the file
// itself, or a temporary file joining those that exist.
std::string JoinInputFiles(GenerationRun& run, const std::string& fileList);

// The template text to read for a comma-separated list of template files, with
// where its pieces came from (names relative to the template folder).
std::string ReadInputFiles(GenerationRun& run, const std::string& fileList, TextOrigins& origins);

// A prepared script with where its lines came from.
struct PreparedScript {
  std::string text;
  SourceMap map;
  TemplatePos parseErrorPos;  // of the block parser's report, when ProjErr has one
};
PreparedScript PrepareMappedScript(ObP& project, GenerationRun& run, ObPControl& control);

// The prepared script text of a control.
std::string PrepareScriptText(ObP& project, GenerationRun& run, ObPControl& control);
// The same, written to scriptPath (created or replaced).
void PrepareScript(ObP& project, GenerationRun& run, ObPControl& control, const std::string& scriptPath);

}  // namespace zantrel
