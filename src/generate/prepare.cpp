#include "generate/prepare.h"

#include <filesystem>

#include "core/context.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_list.h"
#include "generate/conditions.h"
#include "generate/generation_run.h"
#include "generate/script_builder.h"
#include "generate/template_errors.h"
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

// The fragment a session adds to the script, or "" when it adds none; origins
// receive where its pieces came from.
std::string SessionFragment(ObPModel& project, GenerationRun& run, const ObPSession& session,
                            const std::string& templateText, const TextOrigins& templateOrigins,
                            TextOrigins& origins) {
  if (NameEquals(session.SessType, "key")) {
    TextOrigins fileOrigins;
    std::string source =
        session.SessIFile.empty() ? templateText : JoinInputFiles(run, session.SessIFile, &fileOrigins);
    ObParser parser;
    parser.templateFolder = run.templateFolder;
    return parser.GetSession(source, session.SessValue, session.SessIFile.empty() ? templateOrigins : fileOrigins,
                             origins);
  }
  if (NameEquals(session.SessType, "include")) {
    std::string file = session.SessValue;
    ReplaceAll(file, " * ", project.P_Ext());
    return "<!--##=Include_File(\"" + file + "\")##-->\r\n";
  }
  return {};
}

}  // namespace

bool ProducesScript(const ObPControl& control) {
  const ControlKind kind = control.Kind();
  return kind == ControlKind::Field || kind == ControlKind::Table || kind == ControlKind::Other ||
         kind == ControlKind::Report;
}

// Each file read is noted in origins, when given, at the offset its text starts.
std::string JoinInputFiles(GenerationRun& run, const std::string& fileList, TextOrigins* origins) {
  auto read = [&run, origins](const std::string& name, std::string& joined) {
    auto file = std::make_shared<SourceText>(
        SourceText{name, ReadTemplateFile((fs::path(run.templateFolder) / name).string())});
    if (origins) origins->Add(joined.size(), file, 0);
    joined += file->text;
  };
  std::string joined;
  if (fileList.find(',') == std::string::npos) {
    read(fileList, joined);
    return joined;
  }
  for (const std::string& name : SplitList(fileList)) {
    std::error_code ec;
    if (fs::is_regular_file(fs::path(run.templateFolder) / name, ec)) read(name, joined);
  }
  return joined;
}

PreparedScript PrepareMappedScript(ObPModel& project, GenerationRun& run, ObPControl& control) {
  TextOrigins templateOrigins;
  std::string templateText = JoinInputFiles(run, control.CtrlIFiles, &templateOrigins);
  ScriptBuilder builder(run.language.get(), run.script.get());
  ObPSessions& sessions = control.Sessions();
  if (sessions.Count() == 0) builder.AppendScriptBlocks(templateText, &templateOrigins);
  for (int32_t i = 1; i <= sessions.Count(); ++i) {
    Ref<ObPSession> session = sessions.Item(i);
    if (!EvalCond(project, run, session->SessCond)) continue;
    TextOrigins origins;
    std::string fragment = SessionFragment(project, run, *session, templateText, templateOrigins, origins);
    builder.AppendScriptBlocks(fragment, &origins);
    ++run.sessionCount;
    Status().SetStatus(ObPStatus::Percent(run.sessionCount, run.sessionTotal));
  }
  PreparedScript prepared;
  prepared.text = builder.FunctionText();
  prepared.map = builder.sourceMap();
  prepared.parseErrorPos = builder.parseErrorPos;
  return prepared;
}

std::string PrepareScriptText(ObPModel& project, GenerationRun& run, ObPControl& control) {
  return PrepareMappedScript(project, run, control).text;
}

void PrepareScript(ObPModel& project, GenerationRun& run, ObPControl& control, const std::string& scriptPath) {
  PreparedScript prepared = PrepareMappedScript(project, run, control);
  NoteParseError(run, prepared.parseErrorPos);
  run.sourceMaps[scriptPath] = std::move(prepared.map);
  if (ScriptFailed(run)) {
    // A cut-off script must not be taken for a prepared one by the next run.
    std::error_code ec;
    fs::remove(scriptPath, ec);
    return;
  }
  try {
    ReplaceFileAtomically(scriptPath, prepared.text, /*durable=*/false);
  } catch (const FileError& e) {
    Raise(err::kPathFileAccess, e.what());
  }
}

}  // namespace zantrel
