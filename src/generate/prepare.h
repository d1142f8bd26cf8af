// Preparing the script of one control: its template file (or files), the
// sessions whose conditions hold, and includes, turned into ovScriptEngine.
#pragma once

#include <string>

namespace zantrel {

class ObPModel;
class ObPControl;
struct GenerationRun;

// The text of a comma-separated list of template files: the one file (raising
// 75 when it cannot be read), or those of the list that exist, joined.
std::string JoinInputFiles(GenerationRun& run, const std::string& fileList);

// The prepared script text of a control.
std::string PrepareScriptText(ObPModel& project, GenerationRun& run, ObPControl& control);
// The same, written to scriptPath (created or replaced).
void PrepareScript(ObPModel& project, GenerationRun& run, ObPControl& control, const std::string& scriptPath);

}  // namespace zantrel
