#include "template_report.h"

#include <cstdio>

#include "cli.h"

namespace zantrel::cli {

void PrintTemplateWarnings(const std::vector<TemplateDiagnostic>& warnings, bool notWritten) {
  for (const TemplateDiagnostic& d : warnings) {
    std::string where = d.page.empty() ? std::string() : " in " + d.page;
    std::fprintf(stderr, "zantrel: warning: a run-time error was skipped%s%s\n%s", where.c_str(),
                 notWritten ? " (not written)" : "", FormatPosition(d).c_str());
  }
}

void FailAtTemplate(const std::optional<TemplateDiagnostic>& at, const std::string& report) {
  if (at && at->pos) std::fputs(FormatPosition(*at).c_str(), stderr);
  throw Failure(report);
}

}  // namespace zantrel::cli
