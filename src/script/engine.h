// The VBScript engine as a host drives it: named code modules ("System",
// "User", …; "" is the global module whose names every module sees), named
// objects reached by name without adding their members to the global name
// space, code added to a module (its top-level statements run at once), the
// procedures of a module, running a procedure, evaluating an expression, a
// time-out, and reset. Failures are results carrying VBScript's number,
// description, line, column and source text; nothing here throws a script
// error at the host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch.h"
#include "core/variant.h"

namespace zantrel::script {

class Runtime;

struct ScriptError {
  enum class Kind : uint8_t {
    None,
    Compile,   // the text did not compile: nothing of it was added
    Runtime,   // a run-time error no On Error handled
    Timeout,   // the run took longer than the time-out
    Quit,      // the host asked the script to stop (see Engine::Quit); number is the exit code
  };
  Kind kind = Kind::None;
  int32_t number = 0;
  std::string description;
  std::string source;      // Err.Source
  std::string module;
  int line = 0;            // 1-based; 0 when unknown
  int column = 0;
  std::string sourceText;  // the text of the line

  explicit operator bool() const { return kind != Kind::None; }
  // "Microsoft VBScript compilation error" or "Microsoft VBScript runtime error".
  std::string KindText() const;
};

struct RunResult {
  Variant value;
  ScriptError error;
  bool ok() const { return !error; }
};

class Engine {
 public:
  Engine();
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Makes object reachable as name from every module; a later call replaces it.
  void AddObject(std::string_view name, Ref<Dispatch> object);

  // Compiles code into module (created on first use) and runs its top-level
  // statements. A procedure or class of the same name replaces the earlier one.
  ScriptError AddCode(std::string_view module, std::string_view code);
  // Compiles code into module without running its top-level statements (for inspection).
  ScriptError CompileCode(std::string_view module, std::string_view code);

  bool HasModule(std::string_view module) const;
  // The module's public procedures (Sub and Function), in the order first defined.
  std::vector<std::string> ProcedureNames(std::string_view module) const;

  // Runs a procedure of module with arguments (updated in place for ByRef parameters).
  RunResult Run(std::string_view module, std::string_view procedure, std::vector<Variant>& args);
  RunResult Run(std::string_view module, std::string_view procedure, std::vector<Variant>&& args = {});

  // Evaluates one expression at module level ("x = 1" compares).
  RunResult Eval(std::string_view module, std::string_view expression);

  // Milliseconds a run may take before it stops with a Timeout error; 0 or less: no limit.
  void SetTimeout(int32_t ms);
  int32_t Timeout() const { return timeout_; }

  // Drops every module, variable, procedure and named object.
  void Reset();

  // The Err object's state after the last run (what On Error left behind).
  int32_t ErrNumber() const;
  std::string ErrDescription() const;
  // The first run-time error that On Error Resume Next skipped in the procedure
  // the last run started (not in procedures it called), with the skipped
  // statement's place; none when there was none.
  ScriptError SwallowedError() const;

  // For host objects: stops the running script at once with a Quit result.
  [[noreturn]] static void Quit(int exitCode);

  // The compiled instructions of every procedure of a module, for --dump-code.
  std::string Disassemble(std::string_view module) const;

 private:
  ScriptError Failure(const std::exception_ptr& e);
  ScriptError Add(std::string_view module, std::string_view code, bool run);

  std::unique_ptr<Runtime> rt_;
  int32_t timeout_ = 0;
};

}  // namespace zantrel::script
