#include "generate/prepare.h"

#include <filesystem>

#include "core/context.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_list.h"
#include "generate/conditions.h"
#include "generate/generation_run.h"
#include "generate/script_builder.h"
#include "model/project.h"
#include "platform/atomic_file.h"
#include "platform/status.h"
#include "template/block_parser.h"

namespace zantrel {
namespace {

namespace fs = std::filesystem;

std::string ReadTemplateFile(const std::string& path) {
  try {
    return ReadWholeFile(path);
  } catch (const FileError& e) {
    Raise(err::kPathFileAccess, e.what());
  }
}

// The fragment a session adds to the script, or "" when it adds none.
std::string SessionFragment(ObPModel& project, GenerationRun& run, const ObPSession& session,
                            const std::string& templateText) {
  if (NameEquals(session.SessType, "key")) {
    std::string source =
        session.SessIFile.empty() ? templateText : JoinInputFiles(run, session.SessIFile);
    ObParser parser;
    parser.templateFolder = run.templateFolder;
    return parser.GetSession(source, session.SessValue);
  }
  if (NameEquals(session.SessType, "include")) {
    std::string file = session.SessValue;
    ReplaceAll(file, " * ", project.P_Ext());
    return "<!--##=Include_File(\"" + file + "\")##-->\r\n";
  }
  return {};
}

}  // namespace

std::string JoinInputFiles(GenerationRun& run, const std::string& fileList) {
  if (fileList.find(',') == std::string::npos)
    return ReadTemplateFile((fs::path(run.templateFolder) / fileList).string());
  std::string joined;
  for (const std::string& name : SplitList(fileList)) {
    fs::path path = fs::path(run.templateFolder) / name;
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) joined += ReadTemplateFile(path.string());
  }
  return joined;
}

std::string PrepareScriptText(ObPModel& project, GenerationRun& run, ObPControl& control) {
  std::string templateText = JoinInputFiles(run, control.CtrlIFiles);
  ScriptBuilder builder(run.language.get(), run.script.get());
  ObPSessions& sessions = control.Sessions();
  if (sessions.Count() == 0) builder.AppendScriptBlocks(templateText);
  for (int32_t i = 1; i <= sessions.Count(); ++i) {
    Ref<ObPSession> session = sessions.Item(i);
    if (!EvalCond(project, run, session->SessCond)) continue;
    builder.AppendScriptBlocks(SessionFragment(project, run, *session, templateText));
    ++run.sessionCount;
    Status().SetStatus(ObPStatus::Percent(run.sessionCount, run.sessionTotal));
  }
  return builder.FunctionText();
}

void PrepareScript(ObPModel& project, GenerationRun& run, ObPControl& control, const std::string& scriptPath) {
  std::string text = PrepareScriptText(project, run, control);
  if (ScriptFailed(run)) {
    // A cut-off script must not be taken for a prepared one by the next run.
    std::error_code ec;
    fs::remove(scriptPath, ec);
    return;
  }
  try {
    ReplaceFileAtomically(scriptPath, text, /*durable=*/false);
  } catch (const FileError& e) {
    Raise(err::kPathFileAccess, e.what());
  }
}

}  // namespace zantrel
