// Checking a template for its author: the control and phrase files load, every
// template file parses, and every control's script prepares and compiles for
// one table of the project. Each problem is told at its template place.
#pragma once

#include <string>
#include <vector>

#include "template/source_map.h"

namespace zantrel {

class ObPModel;

// The problems of the template in templateFolder, none when it is clean. The
// project's first table (and its first field) are current while scripts are
// prepared; a project without tables prepares them with none.
std::vector<TemplateDiagnostic> CheckTemplate(ObPModel& project, const std::string& templateFolder);

}  // namespace zantrel
