// zantrel render and zantrel prepare: for template authors, one template file
// run against a project, and the prepared script of one control.
#include <cstdio>
#include <filesystem>

#include "cli.h"
#include "core/context.h"
#include "core/error.h"
#include "generate/generation_run.h"
#include "generate/render.h"
#include "project/project.h"
#include "platform/atomic_file.h"
#include "template/control_file.h"
#include "project_file.h"
#include "template_report.h"

namespace zantrel::cli {
namespace {

// The id of the control whose input files are exactly this file, or "".
std::string ControlReading(const std::string& templateFolder, const std::string& file) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (templateFolder.empty() || !fs::exists(fs::path(templateFolder) / "control.xml", ec)) return {};
  auto controls = MakeRef<ObPControls>();
  if (!controls->LoadControls((fs::path(templateFolder) / "control.xml").string())) return {};
  fs::path wanted = fs::weakly_canonical(file, ec);
  for (int16_t i = 1; i <= controls->Count(); ++i) {
    Ref<ObPControl> c = controls->Item(i);
    if (c->CtrlIFiles.find(',') == std::string::npos &&
        fs::weakly_canonical(fs::path(templateFolder) / c->CtrlIFiles, ec) == wanted)
      return c->CtrlID;
  }
  return {};
}

Ref<ObP> ProjectOrNew(const std::string& file) { return file.empty() ? MakeRef<ObP>() : LoadProject(file); }

void Emit(const std::string& text, const std::string& outFile) {
  if (outFile.empty()) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return;
  }
  ReplaceFileAtomically(outFile, text, /*durable=*/false);
}

}  // namespace

int RunRender(const std::vector<std::string>& args) {
  ArgParser parser(args, {"project", "table", "field", "template-dir", "out"}, {});
  const auto& pos = parser.positionals();
  if (pos.size() != 1) throw UsageError("render takes one TEMPLATE_FILE");
  if (parser.has("field") && !parser.has("table")) throw UsageError("--field needs --table");
  Ref<ObP> project = ProjectOrNew(parser.option("project"));
  RenderRequest request;
  try {
    request.templateText = ReadWholeFile(pos[0]);
  } catch (const FileError& e) {
    throw Failure(e.what());
  }
  request.templateName = pos[0];
  request.templateFolder = parser.option("template-dir");
  request.table = parser.option("table");
  request.field = parser.option("field");
  // A file that a control of the template folder reads renders as that control,
  // with its sessions and conditions; any other file renders as it stands.
  std::string control = ControlReading(request.templateFolder, pos[0]);
  std::string page;
  try {
    page = control.empty() ? RenderTemplate(*project, request)
                           : GenerateControlPage(*project, request.templateFolder, control, request);
  } catch (const Error& e) {
    FailAtTemplate(RunOf(*project).errorAt, e.description());
  }
  PrintTemplateWarnings(RunOf(*project).warnings, false);
  Emit(page, parser.option("out"));
  return kExitOk;
}

int RunPrepare(const std::vector<std::string>& args) {
  ArgParser parser(args, {"template-dir", "control", "project", "out"}, {});
  if (!parser.positionals().empty()) throw UsageError("unexpected argument '" + parser.positionals()[0] + "'");
  if (!parser.has("template-dir") || !parser.has("control")) throw UsageError("--template-dir and --control are needed");
  Ref<ObP> project = ProjectOrNew(parser.option("project"));
  std::string script;
  try {
    script = PrepareControl(*project, parser.option("template-dir"), parser.option("control"));
  } catch (const Error& e) {
    FailAtTemplate(RunOf(*project).errorAt, e.description());
  }
  Emit(script, parser.option("out"));
  return kExitOk;
}

}  // namespace zantrel::cli
