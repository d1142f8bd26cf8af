// The host interface over the runtime: every script failure becomes a
// ScriptError result here, with the place the machine recorded.
#include "script/engine.h"

#include "script/compiler.h"
#include "script/dump.h"
#include "script/runtime.h"

namespace zantrel::script {

std::string ScriptError::KindText() const {
  if (kind == Kind::Compile) return "Microsoft VBScript compilation error";
  if (!source.empty()) return source;
  return "Microsoft VBScript runtime error";
}

Engine::Engine() : rt_(std::make_unique<Runtime>()) {}
Engine::~Engine() = default;

void Engine::AddObject(std::string_view name, Ref<Dispatch> object) {
  rt_->AddNamedObject(name, object ? Variant(object) : Variant::Nothing());
}

namespace {

ScriptError FromCompileError(const CompileError& ce, std::string_view module, std::string_view code) {
  ScriptError e;
  e.kind = ScriptError::Kind::Compile;
  e.number = ce.number;
  e.description = ce.description;
  e.source = "Microsoft VBScript compilation error";
  e.module = std::string(module);
  e.line = ce.line;
  e.column = ce.column;
  std::size_t start = 0;
  for (int l = 1; l < ce.line && start != std::string_view::npos; ++l) {
    start = code.find('\n', start);
    if (start != std::string_view::npos) ++start;
  }
  if (start != std::string_view::npos && start <= code.size()) {
    std::size_t end = code.find('\n', start);
    std::string_view line = code.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    e.sourceText = std::string(line);
  }
  return e;
}

}  // namespace

ScriptError Engine::Failure(const std::exception_ptr& ex) {
  ScriptError e;
  e.kind = ScriptError::Kind::Runtime;
  try {
    std::rethrow_exception(ex);
  } catch (const Error& err) {
    e.number = err.number();
    e.description = err.description();
    const auto* named = dynamic_cast<const NamedError*>(&err);
    if (named && !named->name().empty()) e.description += ": '" + named->name() + "'";
    e.source = err.source();
    rt_->SetErr(err);
  } catch (const ScriptAbort& abort) {
    if (abort.why == ScriptAbort::Why::Quit) {
      e.kind = ScriptError::Kind::Quit;
      e.number = abort.exitCode;
      rt_->site = ErrorSite{};
      return e;
    }
    e.kind = ScriptError::Kind::Timeout;
    e.number = kTimeoutError;
    e.description = "Script execution timed out";
  } catch (const CompileError& ce) {
    e.number = ce.number;
    e.description = ce.description;
  } catch (const std::exception& other) {
    e.number = 51;
    e.description = std::string("Internal error: ") + other.what();
  }
  if (rt_->site.valid) {
    e.module = rt_->site.module;
    e.line = rt_->site.line;
    e.column = rt_->site.column;
    e.sourceText = rt_->site.sourceText;
  }
  rt_->site = ErrorSite{};
  return e;
}

ScriptError Engine::AddCode(std::string_view module, std::string_view code) { return Add(module, code, true); }

ScriptError Engine::CompileCode(std::string_view module, std::string_view code) { return Add(module, code, false); }

ScriptError Engine::Add(std::string_view module, std::string_view code, bool run) {
  const int32_t m = rt_->ModuleIndex(module, true);
  Ref<Function> top;
  try {
    top = Compile(*rt_, m, code, CompileMode::Module);
  } catch (const CompileError& ce) {
    return FromCompileError(ce, rt_->ModuleAt(m).name, code);
  }
  rt_->ModuleAt(m).units.push_back(top);
  if (!run) return {};
  rt_->SetTimeout(timeout_);
  try {
    rt_->Call(*top, nullptr, {});
  } catch (...) {
    return Failure(std::current_exception());
  }
  return {};
}

bool Engine::HasModule(std::string_view module) const { return rt_->ModuleIndex(module, false) >= 0; }

std::vector<std::string> Engine::ProcedureNames(std::string_view module) const {
  const int32_t m = rt_->ModuleIndex(module, false);
  if (m < 0) return {};
  std::vector<std::string> names;
  const Module& mod = rt_->ModuleAt(m);
  for (const std::string& n : mod.procOrder) {
    const Ref<Function>& fn = rt_->Proc(mod.procs.at(n));
    if (fn && fn->isPublic) names.push_back(fn->name);
  }
  return names;
}

RunResult Engine::Run(std::string_view module, std::string_view procedure, std::vector<Variant>&& args) {
  return Run(module, procedure, args);
}

RunResult Engine::Run(std::string_view module, std::string_view procedure, std::vector<Variant>& args) {
  RunResult r;
  const int32_t m = rt_->ModuleIndex(module, false);
  const Resolved res = m >= 0 ? rt_->Resolve(m, procedure) : Resolved{};
  if (res.kind != ResolvedKind::Proc || !rt_->Proc(res.index)) {
    r.error.kind = ScriptError::Kind::Runtime;
    r.error.number = 35;
    r.error.description = "Sub or Function not defined: '" + std::string(procedure) + "'";
    r.error.module = std::string(module);
    return r;
  }
  Ref<Function> fn = rt_->Proc(res.index);
  if (!rt_->TopFrame()) rt_->swallowed = {};
  rt_->SetTimeout(timeout_);
  try {
    r.value = rt_->Call(*fn, nullptr, args);
  } catch (...) {
    r.error = Failure(std::current_exception());
  }
  return r;
}

RunResult Engine::Eval(std::string_view module, std::string_view expression) {
  RunResult r;
  const int32_t m = rt_->ModuleIndex(module, true);
  Ref<Function> fn;
  try {
    fn = Compile(*rt_, m, expression, CompileMode::Eval);
  } catch (const CompileError& ce) {
    r.error = FromCompileError(ce, rt_->ModuleAt(m).name, expression);
    return r;
  }
  rt_->SetTimeout(timeout_);
  try {
    r.value = rt_->RunIn(*fn, nullptr);
  } catch (...) {
    r.error = Failure(std::current_exception());
  }
  return r;
}

void Engine::SetTimeout(int32_t ms) {
  timeout_ = ms;
  rt_->SetTimeout(ms);
}

void Engine::Reset() {
  rt_.reset();
  rt_ = std::make_unique<Runtime>();
  rt_->SetTimeout(timeout_);
}

int32_t Engine::ErrNumber() const { return rt_->err.number; }
std::string Engine::ErrDescription() const { return rt_->err.description; }

ScriptError Engine::SwallowedError() const {
  ScriptError e;
  const Runtime::Swallowed& s = rt_->swallowed;
  if (!s.site.valid) return e;
  e.kind = ScriptError::Kind::Runtime;
  e.number = s.number;
  e.description = s.description;
  e.module = s.site.module;
  e.line = s.site.line;
  e.column = s.site.column;
  e.sourceText = s.site.sourceText;
  return e;
}

void Engine::Quit(int exitCode) { throw ScriptAbort{ScriptAbort::Why::Quit, exitCode}; }

std::string Engine::Disassemble(std::string_view module) const {
  const int32_t m = rt_->ModuleIndex(module, false);
  if (m < 0) return {};
  std::string out;
  const Module& mod = rt_->ModuleAt(m);
  for (const Ref<Function>& unit : mod.units) out += DisassembleFunction(*unit);
  for (const std::string& n : mod.procOrder)
    if (const Ref<Function>& fn = rt_->Proc(mod.procs.at(n))) out += DisassembleFunction(*fn);
  for (const auto& [name, cls] : mod.classes)
    for (const ClassMember& mem : cls->members)
      for (const Ref<Function>* f : {&mem.method, &mem.get, &mem.let, &mem.set})
        if (*f) out += DisassembleFunction(**f);
  return out;
}

}  // namespace zantrel::script
