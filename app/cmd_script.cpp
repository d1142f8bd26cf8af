// zantrel script: runs a VBScript file the way a console script host does.
// The WScript object offers Echo (arguments joined by a space, then a line
// end), StdOut/StdErr with Write and WriteLine, Arguments (Count, Item, the
// default member, For Each) and Quit. A compile or run-time error goes to
// stderr as FILE(LINE, COLUMN) KIND: DESCRIPTION and the exit code is 1.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "core/convert.h"
#include "core/dispatch.h"
#include "core/error.h"
#include "script/dump.h"
#include "script/engine.h"
#include "script/lexer.h"

namespace zantrel::cli {
namespace {

using script::Engine;

// Buffered output; flushed when large and at exit.
class Output {
 public:
  explicit Output(std::FILE* f) : f_(f) {}
  ~Output() { Flush(); }
  void Write(std::string_view s) {
    buf_.append(s);
    if (buf_.size() > (1 << 16)) Flush();
  }
  void Flush() {
    if (!buf_.empty()) std::fwrite(buf_.data(), 1, buf_.size(), f_);
    buf_.clear();
    std::fflush(f_);
  }

 private:
  std::FILE* f_;
  std::string buf_;
};

void NoArgs(Args a) {
  if (!a.empty()) RaiseWrongArguments();
}

std::string Text(const Variant& v) {
  if (v.IsNull()) return "Null";
  if (v.IsObject() || v.IsArray()) return CStr(Variant());
  return CStr(v);
}

class TextStream : public HostObject<TextStream> {
 public:
  explicit TextStream(Output& out) : out_(out) {}
  static const MemberTable<TextStream>& Members() {
    static const MemberTable<TextStream> table(
        "TextStream", {
                          {"Write", [](TextStream& t, Args a) {
                             t.out_.Write(Text(Arg(a, 0)));
                             return Variant();
                           }, nullptr},
                          {"WriteLine", [](TextStream& t, Args a) {
                             t.out_.Write((a.empty() ? std::string() : Text(a[0])) + "\n");
                             return Variant();
                           }, nullptr},
                      });
    return table;
  }
  Output& out_;
};

class Arguments : public HostObject<Arguments> {
 public:
  std::vector<std::string> items;
  static const MemberTable<Arguments>& Members() {
    static const MemberTable<Arguments> table(
        "Arguments",
        {
            {"Item", [](Arguments& a, Args x) {
               const int32_t i = CLng(Arg(x, 0));
               if (i < 0 || i >= static_cast<int32_t>(a.items.size())) Raise(err::kSubscript);
               return Variant(a.items[i]);
             }, nullptr},
            {"Count", [](Arguments& self, Args a) { NoArgs(a); return Variant(static_cast<int32_t>(self.items.size())); }, nullptr},
            {"Length", [](Arguments& self, Args a) { NoArgs(a); return Variant(static_cast<int32_t>(self.items.size())); }, nullptr},
        },
        "Item");
    return table;
  }
  class Enum : public Enumerator {
   public:
    explicit Enum(std::vector<std::string> items) : items_(std::move(items)) {}
    bool Next(Variant& out) override {
      if (i_ >= items_.size()) return false;
      out = Variant(items_[i_++]);
      return true;
    }
    void Reset() override { i_ = 0; }

   private:
    std::vector<std::string> items_;
    std::size_t i_ = 0;
  };
  Ref<Enumerator> NewEnum() override { return MakeRef<Enum>(items); }
};

class WScript : public HostObject<WScript> {
 public:
  WScript(Output& out, Output& err, std::string name, std::vector<std::string> args)
      : stdOut(MakeRef<TextStream>(out)), stdErr(MakeRef<TextStream>(err)), arguments(MakeRef<Arguments>()),
        scriptName(std::move(name)), out_(out) {
    arguments->items = std::move(args);
  }
  static const MemberTable<WScript>& Members() {
    static const MemberTable<WScript> table(
        "WScript",
        {
            {"Echo", [](WScript& w, Args a) {
               std::string line;
               for (std::size_t i = 0; i < a.size(); ++i) line += (i ? " " : "") + Text(a[i]);
               w.out_.Write(line + "\n");
               return Variant();
             }, nullptr},
            {"StdOut", [](WScript& w, Args a) { NoArgs(a); return Variant(Ref<Dispatch>(w.stdOut)); }, nullptr},
            {"StdErr", [](WScript& w, Args a) { NoArgs(a); return Variant(Ref<Dispatch>(w.stdErr)); }, nullptr},
            {"Arguments", [](WScript& w, Args a) { NoArgs(a); return Variant(Ref<Dispatch>(w.arguments)); }, nullptr},
            {"ScriptName", [](WScript& w, Args a) { NoArgs(a); return Variant(w.scriptName); }, nullptr},
            {"ScriptFullName", [](WScript& w, Args a) { NoArgs(a); return Variant(w.scriptName); }, nullptr},
            {"Version", [](WScript&, Args) { return Variant("5.8"); }, nullptr},
            {"Quit", [](WScript&, Args a) -> Variant { Engine::Quit(a.empty() ? 0 : CLng(a[0])); }, nullptr},
        });
    return table;
  }
  Ref<TextStream> stdOut, stdErr;
  Ref<Arguments> arguments;
  std::string scriptName;
  Output& out_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure("cannot read " + path);
  std::ostringstream ss;
  ss << in.rdbuf();
  std::string text = ss.str();
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  return text;
}

}  // namespace

int RunScript(const std::vector<std::string>& args) {
  std::vector<std::string> positionals;
  bool dumpTokens = false, dumpAst = false, dumpCode = false, options = true;
  for (const std::string& a : args) {
    if (options && a == "--") options = false;
    else if (options && positionals.empty() && a == "--dump-tokens") dumpTokens = true;
    else if (options && positionals.empty() && a == "--dump-ast") dumpAst = true;
    else if (options && positionals.empty() && a == "--dump-code") dumpCode = true;
    else if (options && positionals.empty() && a.size() > 1 && a[0] == '-') throw UsageError("unknown option " + a);
    else positionals.push_back(a);
  }
  if (positionals.empty()) throw UsageError("missing FILE.vbs");
  const std::string file = positionals[0];
  const std::string source = ReadFile(file);
  Output out(stdout), err(stderr);
  try {
    if (dumpTokens) {
      out.Write(script::DumpTokens(source));
      return kExitOk;
    }
    if (dumpAst) {
      out.Write(script::DumpAst(source));
      return kExitOk;
    }
  } catch (const script::CompileError& ce) {
    err.Write(file + "(" + std::to_string(ce.line) + ", " + std::to_string(ce.column) +
              ") Microsoft VBScript compilation error: " + ce.description + "\n");
    return kExitFailure;
  }
  Engine engine;
  engine.AddObject("WScript", MakeRef<WScript>(out, err, file, std::vector<std::string>(positionals.begin() + 1, positionals.end())));
  const script::ScriptError e = dumpCode ? engine.CompileCode("", source) : engine.AddCode("", source);
  if (dumpCode && !e) out.Write(engine.Disassemble(""));
  out.Flush();
  if (!e) return kExitOk;
  if (e.kind == script::ScriptError::Kind::Quit) return e.number;
  err.Write(file + "(" + std::to_string(e.line) + ", " + std::to_string(e.column) + ") " + e.KindText() + ": " +
            e.description + "\n");
  return kExitFailure;
}

}  // namespace zantrel::cli
