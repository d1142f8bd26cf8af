// Preparing the script of one control: its template file (or files), the
// sessions whose conditions hold, and includes, turned into ovScriptEngine.
#pragma once

#include <string>

namespace zantrel {

class ObP;
class ObPControl;
struct GenerationRun;

// The one file to read for a comma-separated list of template files: the file
// itself, or a temporary file joining those that exist.
std::string JoinInputFiles(GenerationRun& run, const std::string& fileList);

// The prepared script text of a control.
std::string PrepareScriptText(ObP& project, GenerationRun& run, ObPControl& control);
// The same, written to scriptPath (created or replaced).
void PrepareScript(ObP& project, GenerationRun& run, ObPControl& control, const std::string& scriptPath);

}  // namespace zantrel
