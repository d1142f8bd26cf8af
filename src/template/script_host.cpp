#include "template/script_host.h"

#include <cctype>
#include <filesystem>

#include "core/context.h"
#include "core/convert.h"
#include "core/names.h"
#include "core/text.h"
#include "model/project.h"
#include "platform/atomic_file.h"
#include "platform/registry.h"
#include "platform/status.h"
#include "platform/xml_file.h"
#include "template/block_parser.h"
#include "template/script_literal.h"

namespace zantrel {

const char* const kBuiltInCommonCode =
    "Dim TABLE, FIELD, CTRL\r\n"
    "Function LoadCurrent(bInitType)\r\n"
    " Dim tablename, fieldname, index\r\n"
    " If bInitType >= 1 Then\r\n"
    "  index = controls.curIndex\r\n"
    "  Set CTRL = controls(index)\r\n"
    " End If\r\n"
    " If bInitType >= 2 Then\r\n"
    "  tablename = db.Tables.curName\r\n"
    "  Set TABLE = db.Tables(tablename)\r\n"
    "  fieldname = TABLE.Fields.curName\r\n"
    "  Set FIELD = TABLE.Fields(fieldname)\r\n"
    "  LoadCurrent = tablename & \",\" & fieldname\r\n"
    " Else\r\n"
    "  LoadCurrent = \"\"\r\n"
    " End If\r\n"
    "End Function\r\n";

namespace {

const std::string kDefaultUserCode = "'Please enter your script here\r\n";

std::string ReadSetting(std::string_view name) {
  cRegistry& reg = Context().Service<cRegistry>();
  reg.ClassKey = kHKeyCurrentUser;
  reg.SectionKey = Context().SettingsKey();
  reg.ValueKey = std::string(name);
  reg.ValueType = 1;
  reg.Default = Variant();
  Variant v = reg.Value();
  return v.IsString() ? v.AsString() : std::string();
}

bool ContainsName(const std::vector<std::string>& names, std::string_view name) {
  for (const std::string& n : names)
    if (NameEquals(n, name)) return true;
  return false;
}

bool AttributeIsTrue(const pugi::xml_node& node, const char* name) {
  try {
    return CBool(Variant(std::string_view(node.attribute(name).value())));
  } catch (const std::exception&) {
    return false;
  }
}

constexpr std::string_view kEntryFunction = "ovScriptEngine";

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Every whole-word occurrence of word replaced.
std::string RenameWord(const std::string& text, std::string_view word, const std::string& with) {
  std::string out;
  out.reserve(text.size() + 64);
  std::size_t copied = 0;
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) {
    bool whole = (at == 0 || !IsWordChar(text[at - 1])) &&
                 (at + word.size() == text.size() || !IsWordChar(text[at + word.size()]));
    if (!whole) continue;
    out.append(text, copied, at - copied);
    out += with;
    copied = at + word.size();
  }
  out.append(text, copied);
  return out;
}

std::string SafeText(const Variant& v) {
  try {
    return CStr(v);
  } catch (const std::exception&) {
    return {};
  }
}

// SCRPT as scripts see it: forwards to the host without owning it, since the
// host owns the engine that holds this object.
class HostProxy : public Dispatch {
 public:
  explicit HostProxy(ObScript* host) : host_(host) {}
  std::string_view TypeName() const override { return host_->TypeName(); }
  DispId MemberId(std::string_view name) const override { return host_->MemberId(name); }
  Variant Invoke(DispId id, InvokeKind kind, Args args) override { return host_->Invoke(id, kind, args); }

 private:
  ObScript* host_;
};

}  // namespace

ObScript::ObScript()
    : sysCodeFile(ReadSetting("SYSCODE")),
      prefixFile(ReadSetting("SYSCODEPREFIX")),
      suffixFile(ReadSetting("SYSCODESUFFIX")),
      userCodeFile(ReadSetting("USERCODE")),
      commonCodeFile(ReadSetting("COMMONCODE")) {}

void ObScript::Initialize(const Variant& proj, const Variant& db, const Variant& controls, const Variant& lang) {
  engine_.Reset();
  builtFunctions_.clear();
  builtByKey_.clear();
  userProcedures_.clear();
  overridable_.clear();
  systemCode_.clear();
  project_ = proj.IsObject() ? dynamic_cast<ObPModel*>(proj.AsObject()) : nullptr;
  auto object = [](const Variant& v) { return v.IsObject() ? Ref<Dispatch>(v.AsObject()) : Ref<Dispatch>(); };
  engine_.AddObject("PROJ", object(proj));
  engine_.AddObject("DB", object(db));
  engine_.AddObject("Controls", object(controls));
  engine_.AddObject("LANG", object(lang));
  engine_.AddObject("SCRPT", MakeRef<HostProxy>(this));
  LoadSystemCode();
  if (Context().projErr.empty()) LoadUserCode();
}

// Adds code to a module; a compile error becomes the syntax report, with the
// name in parentheses or the product name in front.
bool ObScript::AddOrReport(std::string_view module, const std::string& code, const std::string& name) {
  script::ScriptError error = engine_.AddCode(module, code);
  if (!error) return true;
  std::string prefix = name.empty() ? Context().product.errorName : "(" + name + ")";
  Context().projErr = prefix + " : VBScript Syntax Error" + std::string(kCrLf) + error.description +
                      std::string(kCrLf) + "In line " + std::to_string(error.line) + ": " + std::string(kCrLf) +
                      error.sourceText;
  return false;
}

std::string ObScript::ReadScriptFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    Context().projErr = Context().product.errorName + ": Script file " + path + " not found! Content not loaded!";
    return {};
  }
  return ReadWholeFile(path);
}

void ObScript::WriteToDestination(const std::string& fileName, const std::string& text) const {
  std::string folder = project_ ? project_->Destination() : std::string();
  if (folder.empty()) return;
  try {
    ReplaceFileAtomically(std::filesystem::path(folder) / fileName, text, /*durable=*/false);
  } catch (const FileError&) {
    // The copies are for the user's inspection; failing to write one changes nothing else.
  }
}

void ObScript::LoadSystemCode() {
  std::string common = commonCodeFile.empty() ? std::string(kBuiltInCommonCode) : ReadScriptFile(commonCodeFile);
  if (!AddOrReport("System", common, "")) return;
  if (sysCodeFile.empty()) {
    systemCode_ = Status().GetSysCode();
    if (!AddOrReport("System", systemCode_, "")) return;
    overridable_ = engine_.ProcedureNames("System");
    return;
  }
  if (LoadSysCodeEntries(sysCodeFile)) WriteToDestination("syscode.txt", systemCode_);
}

// The syscode description: <any><file id="…" value="file" function="true" parm="…"
// override="true" multiline="…" indent="…"/>…</any>, files relative to its folder.
bool ObScript::LoadSysCodeEntries(const std::string& descriptionFile) {
  pugi::xml_document doc;
  if (!LoadXmlFile(descriptionFile, doc)) {
    Context().projErr = "Load syscode file " + descriptionFile + " failed!";
    return false;
  }
  std::string prefix = prefixFile.empty() ? std::string() : ReadScriptFile(prefixFile);
  std::string suffix = suffixFile.empty() ? std::string() : ReadScriptFile(suffixFile);
  std::size_t slash = descriptionFile.find_last_of("/\\");
  std::string folder = slash == std::string::npos ? std::string() : descriptionFile.substr(0, slash + 1);
  pugi::xml_node root = doc.document_element();
  auto entries = [&root](auto visit) {
    for (const pugi::xml_node& file : root.children())
      if (file.type() == pugi::node_element && NameEquals(file.name(), "file") && *file.attribute("value").value())
        if (!visit(file)) return false;
    return true;
  };
  entries([this](const pugi::xml_node& file) {
    if (AttributeIsTrue(file, "function") && AttributeIsTrue(file, "override"))
      overridable_.push_back(std::string(Trim(file.attribute("id").value())));
    return true;
  });
  return entries([&](const pugi::xml_node& file) {
    std::string value = file.attribute("value").value();
    std::string text = ReadScriptFile(folder + value);
    bool isFunction = AttributeIsTrue(file, "function");
    std::string name = isFunction ? std::string(Trim(file.attribute("id").value())) : std::string();
    std::string parms = isFunction ? std::string(Trim(file.attribute("parm").value())) : std::string();
    bool override = AttributeIsTrue(file, "override");
    std::string code = ConvertSysCode(text, AttributeIsTrue(file, "multiline"), AttributeIsTrue(file, "indent"), name);
    if (isFunction) {
      auto fill = [&](std::string t) {
        ReplaceAll(t, "<name>", name);
        ReplaceAll(t, "<parm>", parms);
        return t;
      };
      std::string tail = fill(suffix);
      if (override)
        tail += std::string(kCrLf) + "If SCRPT.UserModuleExist(\"USER_" + name + "\") Then " + name + "=USER_" + name +
                "(" + name + ")" + std::string(kCrLf);
      code = "Function " + name + "(" + parms + ")" + std::string(kCrLf) + fill(prefix) + code + tail +
             "End Function" + std::string(kCrLf);
    }
    if (!Context().projErr.empty()) {
      Context().projErr = value + ": " + Context().projErr;
      WriteToDestination(value, code);
      return false;
    }
    systemCode_ += code;
    if (!AddOrReport("System", code, value)) {
      WriteToDestination(value, code);
      WriteToDestination("syscode.txt", systemCode_);
      return false;
    }
    return true;
  });
}

// A template text as system code: literal text and expressions are appended to
// the variable named after the function.
std::string ObScript::ConvertSysCode(const std::string& text, bool multiline, bool indent, const std::string& name) {
  ObParser parser;
  parser.Parse(text);
  if (!Context().projErr.empty()) return {};
  std::string out;
  std::string append = name.empty() ? std::string() : name + "=" + name + "&";
  for (int32_t i = 1; i <= parser.Count(); ++i) {
    parser.BlockID(i);
    switch (parser.BlockType()) {
      case obc_Block_Script:
        out += parser.BlockValue() + std::string(kCrLf);
        break;
      case obc_Block_Function:
        out += name + "=" + name + "&" + parser.BlockName() + std::string(kCrLf);
        break;
      case obc_Block_Language:
        out += name + "=" + name + "&LANG.Phrase(" + QuoteScriptString(parser.BlockName()) + ")" + std::string(kCrLf);
        break;
      case obc_Block_LanguageDynamic:
        out += name + "=" + name + "&LANG.Phrase(" + parser.BlockName() + ")" + std::string(kCrLf);
        break;
      case obc_Block_Content: {
        std::string literal = parser.BlockValue();
        if (!multiline) ReplaceAll(literal, kCrLf, "");
        if (literal.empty()) break;
        std::string expression = ToScriptLiteral(literal);
        if (indent) ReplaceAll(expression, "vbCrLf", "vbCrLf & ovIndentWrk");
        out += append + expression + std::string(kCrLf);
        break;
      }
      default:
        break;
    }
  }
  return out;
}

void ObScript::LoadUserCode() {
  std::string text = userCodeFile.empty() ? kDefaultUserCode : ReadScriptFile(userCodeFile);
  if (!Context().projErr.empty()) return;
  std::string name = userCodeFile.empty() ? std::string() : userCodeFile;
  if (!AddOrReport("User", text, name)) return;
  if (!AddOrReport("System", text, name)) return;
  userProcedures_ = engine_.ProcedureNames("User");
}

void ObScript::ReleaseEngine() {
  engine_.Reset();
  builtFunctions_.clear();
  builtByKey_.clear();
  project_ = nullptr;
}

std::string ObScript::TemplateText(std::string_view fileName) const {
  std::filesystem::path name(fileName);
  if (templateFolder.empty() || name.is_absolute()) return {};
  for (const auto& part : name)
    if (part == "..") return {};
  std::filesystem::path file = std::filesystem::path(templateFolder) / name;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return {};
  try {
    return ReadWholeFile(file);
  } catch (const FileError&) {
    return {};
  }
}

bool ObScript::ModuleExist(std::string_view name) const { return ContainsName(overridable_, name); }
bool ObScript::UserModuleExist(std::string_view name) const { return ContainsName(userProcedures_, name); }

std::string ObScript::BuildNewCode(const std::string& code, int16_t initType, int32_t timeoutMs, const std::string& key) {
  lastError = swallowed = script::ScriptError{};
  engine_.SetTimeout(timeoutMs);
  auto known = key.empty() ? builtByKey_.end() : builtByKey_.find(key);
  const std::string* function = known != builtByKey_.end() ? &known->second : EntryFunction(code);
  if (!function) return {};
  if (!key.empty() && known == builtByKey_.end()) builtByKey_.emplace(key, *function);
  script::RunResult current = engine_.Run("System", "LoadCurrent", {Variant(initType)});
  script::RunResult page = current.ok() ? engine_.Run("System", *function) : current;
  if (!page.ok()) {
    lastError = page.error;
    Context().projErr = "VBScript Runtime error " + std::string(kCrLf) + page.error.description +
                        std::string(kCrLf) + RenameWord(page.error.sourceText, *function, std::string(kEntryFunction)) +
                        std::string(kCrLf);
    return {};
  }
  swallowed = engine_.SwallowedError();
  if (!swallowed && engine_.ErrNumber() != 0) {
    swallowed.kind = script::ScriptError::Kind::Runtime;
    swallowed.number = engine_.ErrNumber();
    swallowed.description = engine_.ErrDescription();
    if (swallowed.description.empty()) swallowed.description = "error " + std::to_string(swallowed.number);
  }
  return SafeText(page.value);
}

// The entry function of a script, compiled on first sight: each distinct script
// gets a function of its own, so that the pages of a run, which take turns
// between controls, compile each script only once. Null with ProjErr set when
// the script does not compile.
const std::string* ObScript::EntryFunction(const std::string& code) {
  auto built = builtFunctions_.find(code);
  if (built != builtFunctions_.end()) return &built->second;
  std::string name = std::string(kEntryFunction) + "_" + std::to_string(builtFunctions_.size() + 1);
  script::ScriptError error = engine_.AddCode("System", RenameWord(code, kEntryFunction, name));
  if (error) {
    lastError = error;
    Context().projErr = Context().product.errorName + ": VBScript Syntax Error" + std::string(kCrLf) +
                        error.description + std::string(kCrLf) + "In line " + std::to_string(error.line) + ": " +
                        std::string(kCrLf) + error.sourceText;
    return nullptr;
  }
  return &builtFunctions_.emplace(code, name).first->second;
}

std::string ObScript::BuildCode(const std::string& expression, std::string& output) {
  script::RunResult result = engine_.Eval("System", expression);
  if (!result.ok()) {
    Context().projErr = "VBScript Runtime error " + std::string(kCrLf) + result.error.description +
                        std::string(kCrLf) + result.error.sourceText + std::string(kCrLf);
    output.clear();
    return {};
  }
  output = SafeText(result.value);
  return output;
}

const MemberTable<ObScript>& ObScript::Members() {
  using S = ObScript;
  static const MemberTable<S> table("ObScript", [] {
    std::vector<Member<S>> members = {
        {"ModuleExist", [](S& s, Args a) { return Variant(s.ModuleExist(CStr(Arg(a, 0)))); }, nullptr},
        {"TemplateText", [](S& s, Args a) { return Variant(s.TemplateText(CStr(Arg(a, 0)))); }, nullptr},
        {"UserModuleExist", [](S& s, Args a) { return Variant(s.UserModuleExist(CStr(Arg(a, 0)))); }, nullptr}};
    AppendPageStateMembers(members);
    return members;
  }());
  return table;
}

}  // namespace zantrel
