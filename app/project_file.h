// Loading a project file for a command, and finding the bag a command works on.
#pragma once

#include <string>

#include "model/project.h"

namespace zantrel::cli {

// Loads the file into a new project; a file without a database still loads
// (a project made by `zantrel new` has none yet). Other failures throw Failure
// with the engine's error text.
Ref<ObP> LoadProject(const std::string& file);

// The bag of the project, of --table T or of --field T.F; throws Failure when
// the table or field does not exist.
ObProperties& SelectBag(ObP& project, const std::string& table, const std::string& field);

}  // namespace zantrel::cli
