#include "template_report.h"

#include <cstdio>

#include "cli.h"
#include "generate/generation_run.h"

namespace zantrel::cli {

void PrintTemplateWarnings(GenerationRun& run) {
  for (const TemplateDiagnostic& d : run.warnings) {
    std::string where = d.page.empty() ? std::string() : " in " + d.page;
    std::fprintf(stderr, "zantrel: warning: a run-time error was skipped%s%s\n%s", where.c_str(),
                 run.strict ? " (not written)" : "", FormatPosition(d).c_str());
  }
  run.warnings.clear();
}

void FailAtTemplate(GenerationRun& run, const std::string& report) {
  if (run.errorAt) std::fputs(FormatPosition(*run.errorAt).c_str(), stderr);
  throw Failure(report);
}

}  // namespace zantrel::cli
