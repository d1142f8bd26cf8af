// Running one template for a template author: the template file becomes its
// script, which runs with the given table and field current.
#pragma once

#include <string>

namespace zantrel {

class ObP;

struct RenderRequest {
  std::string templateText;
  std::string templateName;    // the file name errors are reported at
  std::string templateFolder;  // includes and lang.xml are read from here ("" for none)
  std::string table;           // made current, with the field, when given
  std::string field;
};

// The page; "" with ProjErr set on failure.
std::string RenderTemplate(ObP& project, const RenderRequest& request);

// The prepared script of one control of the template in templateFolder;
// "" with ProjErr set on failure.
std::string PrepareControl(ObP& project, const std::string& templateFolder, const std::string& controlId);

// The page one control of the template in templateFolder produces with the
// given table and field current: its script prepared and run, as generation
// does it. The prepared script is left in *script when asked for.
std::string GenerateControlPage(ObP& project, const std::string& templateFolder, const std::string& controlId,
                                const RenderRequest& current, std::string* script = nullptr);

}  // namespace zantrel
