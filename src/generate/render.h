// Running one template for a template author: the template file becomes its
// script, which runs with the given table and field current.
#pragma once

#include <string>

namespace zantrel {

class ObPModel;

struct RenderRequest {
  std::string templateText;
  std::string templateName;    // the file name errors are reported at
  std::string templateFolder;  // includes and lang.xml are read from here ("" for none)
  std::string table;           // made current, with the field, when given
  std::string field;
};

// The page; failures throw Error.
std::string RenderTemplate(ObPModel& project, const RenderRequest& request);

// The prepared script of one control of the template in templateFolder;
// failures throw Error.
std::string PrepareControl(ObPModel& project, const std::string& templateFolder, const std::string& controlId);

// The page one control of the template in templateFolder produces with the
// given table and field current: its script prepared and run, as generation
// does it. The prepared script is left in *script when asked for. Failures
// throw Error.
std::string GenerateControlPage(ObPModel& project, const std::string& templateFolder, const std::string& controlId,
                                const RenderRequest& current, std::string* script = nullptr);

}  // namespace zantrel
