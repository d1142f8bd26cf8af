// Template problems on stderr, at the template's own file, line and column.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "template/source_map.h"

namespace zantrel::cli {

// One warning per page whose script hid a run-time error; notWritten when the
// run left such pages unwritten (--strict).
void PrintTemplateWarnings(const std::vector<TemplateDiagnostic>& warnings, bool notWritten);

// Throws Failure with the engine's worded report, after the template place of
// the error when it has one.
[[noreturn]] void FailAtTemplate(const std::optional<TemplateDiagnostic>& at, const std::string& report);

}  // namespace zantrel::cli
