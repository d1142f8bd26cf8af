// ObScript: hosts the VBScript engine for a generation run. It exposes the
// project to scripts as PROJ, DB, Controls, LANG and SCRPT, loads the system
// script (from a syscode description file, or the built-in one) and the user's
// own script, and runs the per-page function ovScriptEngine. Failures go to the
// error text ProjErr as worded reports; nothing here raises.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/dispatch.h"
#include "script/engine.h"
#include "template/page_state.h"

namespace zantrel {

class ObPModel;

class ObScript : public HostObject<ObScript> {
 public:
  static const MemberTable<ObScript>& Members();
  ObScript();  // reads SYSCODE, SYSCODEPREFIX, SYSCODESUFFIX, USERCODE, COMMONCODE

  void Initialize(const Variant& proj, const Variant& db, const Variant& controls, const Variant& lang);
  bool ModuleExist(std::string_view name) const;      // an overridable system function
  bool UserModuleExist(std::string_view name) const;  // a procedure of the user's script
  // Adds code (a Function ovScriptEngine), makes the current control, table and
  // field current for the script (initType 1: control, 2: and table and field)
  // and returns the function's result; "" with ProjErr set on failure.
  // key, when given, names the script (its file) so that later pages find its
  // entry function without hashing the whole text again.
  std::string BuildNewCode(const std::string& code, int16_t initType, int32_t timeoutMs, const std::string& key = {});
  // The engine's error behind the last failure of BuildNewCode, with its line
  // and column in code.
  script::ScriptError lastError;
  // After a BuildNewCode that succeeded: the first error that the function's
  // On Error Resume Next skipped, or, when none was, the error Err still holds
  // at its end (without a place); none when the page ran clean.
  script::ScriptError swallowed;
  // Evaluates one expression in the running engine; on failure ProjErr is set
  // and output holds what the caller should use instead.
  std::string BuildCode(const std::string& expression, std::string& output);
  // Drops the engine's modules and named objects (the project among them).
  void ReleaseEngine();

  // The text of a file of the template folder; "" for a missing file or a name
  // that leaves the folder.
  std::string TemplateText(std::string_view fileName) const;
  std::string templateFolder;
  PageState page;  // what page generation tells the page scripts

  script::Engine& engine() { return engine_; }
  // Registry values read at construction.
  std::string sysCodeFile, prefixFile, suffixFile, userCodeFile, commonCodeFile;

 private:
  void LoadSystemCode();
  bool LoadSysCodeEntries(const std::string& descriptionFile);
  void LoadUserCode();
  bool AddOrReport(std::string_view module, const std::string& code, const std::string& name);
  std::string ReadScriptFile(const std::string& path);
  std::string ConvertSysCode(const std::string& text, bool multiline, bool indent, const std::string& name);
  void WriteToDestination(const std::string& fileName, const std::string& text) const;

  script::Engine engine_;
  ObPModel* project_ = nullptr;
  std::vector<std::string> userProcedures_;
  std::vector<std::string> overridable_;
  std::string systemCode_;
  const std::string* EntryFunction(const std::string& code);

  std::unordered_map<std::string, std::string> builtFunctions_;  // script text -> its entry function
  std::unordered_map<std::string, std::string> builtByKey_;      // script key -> its entry function
};

// The lines of common code loaded when no COMMONCODE file is configured.
extern const char* const kBuiltInCommonCode;

}  // namespace zantrel
