#include "generate/prepare.h"

#include <filesystem>

#include "core/context.h"
#include "core/error.h"
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

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
  for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size())
    text.replace(at, what.size(), with);
}

// The fragment a session adds to the script, or "" when it adds none; origins
// receive where its pieces came from.
std::string SessionFragment(ObP& project, GenerationRun& run, const ObPSession& session,
                            const std::string& templateText, const TextOrigins& templateOrigins,
                            TextOrigins& origins) {
  if (NameEquals(session.SessType, "key")) {
    TextOrigins fileOrigins;
    std::string source =
        session.SessIFile.empty() ? templateText : ReadInputFiles(run, session.SessIFile, fileOrigins);
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
  return control.CtrlType == "field" || control.CtrlType == "table" || control.CtrlType == "other" ||
         control.CtrlType == "report";
}

std::string JoinInputFiles(GenerationRun& run, const std::string& fileList) {
  if (fileList.find(',') == std::string::npos) return (fs::path(run.templateFolder) / fileList).string();
  std::string joined;
  for (const std::string& name : SplitList(fileList)) {
    fs::path path = fs::path(run.templateFolder) / name;
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) joined += ReadTemplateFile(path.string());
  }
  fs::path out = fs::path(run.tempFolder.empty() ? fs::temp_directory_path().string() : run.tempFolder) / "~tmp.tmp";
  ReplaceFileAtomically(out, joined, /*durable=*/false);
  return out.string();
}

std::string ReadInputFiles(GenerationRun& run, const std::string& fileList, TextOrigins& origins) {
  std::string text = ReadTemplateFile(JoinInputFiles(run, fileList));
  bool joined = fileList.find(',') != std::string::npos;
  std::size_t at = 0;
  for (const std::string& name : joined ? SplitList(fileList) : std::vector<std::string>{fileList}) {
    fs::path path = fs::path(run.templateFolder) / name;
    std::error_code ec;
    if (joined && !fs::is_regular_file(path, ec)) continue;
    auto file = std::make_shared<SourceText>(SourceText{name, joined ? ReadTemplateFile(path.string()) : text});
    origins.Add(at, file, 0);
    at += file->text.size();
  }
  return text;
}

PreparedScript PrepareMappedScript(ObP& project, GenerationRun& run, ObPControl& control) {
  TextOrigins templateOrigins;
  std::string templateText = ReadInputFiles(run, control.CtrlIFiles, templateOrigins);
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

std::string PrepareScriptText(ObP& project, GenerationRun& run, ObPControl& control) {
  return PrepareMappedScript(project, run, control).text;
}

void PrepareScript(ObP& project, GenerationRun& run, ObPControl& control, const std::string& scriptPath) {
  PreparedScript prepared = PrepareMappedScript(project, run, control);
  if (!Context().projErr.empty() && prepared.parseErrorPos) run.errorAt = ParseErrorDiagnostic(prepared.parseErrorPos);
  run.sourceMaps[scriptPath] = std::move(prepared.map);
  try {
    ReplaceFileAtomically(scriptPath, prepared.text, /*durable=*/false);
  } catch (const FileError& e) {
    Raise(err::kPathFileAccess, e.what());
  }
}

}  // namespace zantrel
