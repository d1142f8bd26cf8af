// Template problems on stderr, at the template's own file, line and column.
#pragma once

#include <string>

#include "template/source_map.h"

namespace zantrel {
struct GenerationRun;
}

namespace zantrel::cli {

// The warnings of the run (pages whose script hid a run-time error), one per page.
void PrintTemplateWarnings(GenerationRun& run);

// Throws Failure with the engine's worded report, after the template place of
// the error when the run knows it.
[[noreturn]] void FailAtTemplate(GenerationRun& run, const std::string& report);

}  // namespace zantrel::cli
