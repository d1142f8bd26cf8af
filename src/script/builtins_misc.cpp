// Arrays, objects and dynamic code: Array, UBound/LBound, CreateObject (only
// the dictionary and RegExp: scripts reach nothing else but what the host
// hands them), GetRef, Eval/Execute/ExecuteGlobal, the Err object, and the
// engine's identity functions.
#include <array>

#include "core/convert.h"
#include "core/error.h"
#include "core/names.h"
#include "script/builtins.h"
#include "script/compiler.h"
#include "script/objects.h"
#include "script/runtime.h"

namespace zantrel::script {
namespace {

Variant ArrayFn(BuiltinContext&, Args a) { return Variant(SafeArray::FromVector(std::vector<Variant>(a.begin(), a.end()))); }

int32_t Dimension(Args a) {
  if (!a[0].IsArray()) Raise(err::kTypeMismatch);
  return a.size() > 1 ? CLng(a[1]) : 1;
}

Variant UBound(BuiltinContext&, Args a) {
  const int32_t d = Dimension(a);
  return Variant(a[0].AsArray().UBound(d));
}

Variant LBound(BuiltinContext&, Args a) {
  const int32_t d = Dimension(a);
  return Variant(a[0].AsArray().LBound(d));
}

Variant CreateObject(BuiltinContext&, Args a) {
  const std::string name = CStr(a[0]);
  if (NameEquals(name, "Scripting.Dictionary")) return Variant(NewDictionary());
  if (NameEquals(name, "VBScript.RegExp")) return Variant(NewRegExp());
  RaiseNamed(429, name);
}

int32_t ModuleOf(const BuiltinContext& cx) {
  return cx.frame && cx.frame->fn ? cx.frame->fn->module : cx.rt.CurrentModule();
}

Variant GetRef(BuiltinContext& cx, Args a) {
  const std::string name = CStr(a[0]);
  const Resolved r = cx.rt.Resolve(ModuleOf(cx), name);
  if (r.kind != ResolvedKind::Proc || !cx.rt.Proc(r.index)) Raise(err::kInvalidCall);
  return Variant(NewFunctionRef(cx.rt, *cx.rt.Proc(r.index)));
}

// Compiles dynamic code; its syntax errors become run-time errors of the caller.
Ref<Function> CompileDynamic(BuiltinContext& cx, const Variant& text, CompileMode mode, const Frame* outer) {
  try {
    return Compile(cx.rt, ModuleOf(cx), CStr(text), mode, outer);
  } catch (const CompileError& ce) {
    Raise(ce.number, ce.description);
  }
}

// The frame whose names Eval and Execute code sees: Execute or Eval code that
// runs Execute or Eval again still works in the procedure that started it.
Frame* ScopeFrame(const BuiltinContext& cx) {
  Frame* f = cx.frame;
  if (f && f->outer && f->fn && (f->fn->kind == FnKind::Execute || f->fn->kind == FnKind::Eval)) return f->outer;
  return f;
}

Variant EvalFn(BuiltinContext& cx, Args a) {
  Frame* scope = ScopeFrame(cx);
  Ref<Function> fn = CompileDynamic(cx, a[0], CompileMode::Eval, scope);
  return cx.rt.RunIn(*fn, scope);
}

Variant ExecuteFn(BuiltinContext& cx, Args a) {
  Frame* scope = ScopeFrame(cx);
  Ref<Function> fn = CompileDynamic(cx, a[0], CompileMode::Execute, scope);
  cx.rt.RunIn(*fn, fn->kind == FnKind::Execute ? scope : nullptr);
  return {};
}

Variant ExecuteGlobalFn(BuiltinContext& cx, Args a) {
  Ref<Function> fn = CompileDynamic(cx, a[0], CompileMode::ExecuteGlobal, nullptr);
  cx.rt.RunIn(*fn, nullptr);
  return {};
}

Variant ErrFn(BuiltinContext& cx, Args) { return Variant(cx.rt.ErrObject()); }
Variant ScriptEngine(BuiltinContext&, Args) { return Variant("VBScript"); }
Variant MajorVersion(BuiltinContext&, Args) { return Variant(int32_t{5}); }
Variant MinorVersion(BuiltinContext&, Args) { return Variant(int32_t{8}); }
Variant BuildVersion(BuiltinContext&, Args) { return Variant(int32_t{16384}); }
Variant GetLocale(BuiltinContext&, Args) { return Variant(int32_t{1033}); }
Variant SetLocale(BuiltinContext&, Args) { return Variant(int32_t{1033}); }

Variant RGB(BuiltinContext&, Args a) {
  auto part = [](const Variant& v) {
    const int32_t c = CLng(v);
    if (c < 0) Raise(err::kInvalidCall);
    return c > 255 ? 255 : c;
  };
  return Variant(part(a[0]) | part(a[1]) << 8 | part(a[2]) << 16);
}

constexpr std::array kMiscBuiltins = {
    Builtin{"Array", ArrayFn, 0, 250, kKeepObjects},
    Builtin{"UBound", UBound, 1, 2, kKeepObjects},
    Builtin{"LBound", LBound, 1, 2, kKeepObjects},
    Builtin{"CreateObject", CreateObject, 1, 2},
    Builtin{"GetRef", GetRef, 1, 1},
    Builtin{"Eval", EvalFn, 1, 1},
    Builtin{"Execute", ExecuteFn, 1, 1},
    Builtin{"ExecuteGlobal", ExecuteGlobalFn, 1, 1},
    Builtin{"Err", ErrFn, 0, 0},
    Builtin{"ScriptEngine", ScriptEngine, 0, 0},
    Builtin{"ScriptEngineMajorVersion", MajorVersion, 0, 0},
    Builtin{"ScriptEngineMinorVersion", MinorVersion, 0, 0},
    Builtin{"ScriptEngineBuildVersion", BuildVersion, 0, 0},
    Builtin{"GetLocale", GetLocale, 0, 0},
    Builtin{"SetLocale", SetLocale, 0, 1},
    Builtin{"RGB", RGB, 3, 3},
};

// --- the Err object ---

// The error number Err.Raise reports: VBScript's own HRESULTs (&H800A….) and the
// common system ones become their run-time numbers; other numbers past 65535 and
// 0 are invalid (5).
int32_t ErrorNumberOf(int32_t number) {
  struct Mapping {
    uint32_t hresult;
    int32_t number;
  };
  static constexpr std::array kMappings = {
      Mapping{0x8007000E, 7},   Mapping{0x80070005, 70},  Mapping{0x80070057, 5},   Mapping{0x80004001, 445},
      Mapping{0x80004002, 430}, Mapping{0x80020003, 438}, Mapping{0x80020005, 13},  Mapping{0x80020006, 438},
      Mapping{0x8002000B, 9},   Mapping{0x8002000E, 450}, Mapping{0x800A0000, 5},
  };
  const uint32_t u = static_cast<uint32_t>(number);
  for (const Mapping& m : kMappings)
    if (m.hresult == u) return m.number;
  if ((u & 0xFFFF0000u) == 0x800A0000u) return static_cast<int32_t>(u & 0xFFFF);
  if (number == 0 || number > 0xFFFF) Raise(err::kInvalidCall);
  return number;
}

class ErrObj : public HostObject<ErrObj> {
 public:
  explicit ErrObj(Runtime& rt) : rt_(rt) {}
  static const MemberTable<ErrObj>& Members();
  Runtime& rt_;
};

const MemberTable<ErrObj>& ErrObj::Members() {
  static const MemberTable<ErrObj> table(
      "ErrObject",
      {
          {"Number", [](ErrObj& e, Args) { return Variant(e.rt_.err.number); },
           [](ErrObj& e, Args, const Variant& v) { e.rt_.err.number = CLng(v); }},
          {"Description", [](ErrObj& e, Args) { return Variant(e.rt_.err.description); },
           [](ErrObj& e, Args, const Variant& v) { e.rt_.err.description = CStr(v); }},
          {"Source", [](ErrObj& e, Args) { return Variant(e.rt_.err.source); },
           [](ErrObj& e, Args, const Variant& v) { e.rt_.err.source = CStr(v); }},
          {"HelpFile", [](ErrObj& e, Args) { return Variant(e.rt_.err.helpFile); },
           [](ErrObj& e, Args, const Variant& v) { e.rt_.err.helpFile = CStr(v); }},
          {"HelpContext", [](ErrObj& e, Args) { return Variant(e.rt_.err.helpContext); },
           [](ErrObj& e, Args, const Variant& v) { e.rt_.err.helpContext = CLng(v); }},
          {"Clear", [](ErrObj& e, Args) {
             e.rt_.ClearErr();
             return Variant();
           }, nullptr},
          {"Raise", [](ErrObj&, Args a) -> Variant {
             const int32_t number = ErrorNumberOf(CLng(Arg(a, 0)));
             auto text = [&](std::size_t i) { return a.size() > i && !a[i].IsEmpty() ? CStr(a[i]) : std::string(); };
             std::string description = text(2);
             if (description.empty()) {
               description = std::string(StandardErrorText(number));
               if (description.empty()) description = "Unknown runtime error";
             }
             const int32_t helpContext = a.size() > 4 && !a[4].IsEmpty() ? CLng(a[4]) : 0;
             throw RaisedError(number, std::move(description), text(1), text(3), helpContext);
           }, nullptr},
      },
      "Number");
  return table;
}

// --- GetRef's function references: the default member calls the procedure ---

class FunctionRef : public Dispatch {
 public:
  FunctionRef(Runtime& rt, const Function& fn) : rt_(rt), fn_(const_cast<Function*>(&fn)) {}
  std::string_view TypeName() const override { return "Object"; }
  DispId MemberId(std::string_view) const override { return kDispUnknown; }
  Variant Invoke(DispId id, InvokeKind kind, Args args) override {
    if (id != kDispDefault || kind == InvokeKind::Let || kind == InvokeKind::Set) RaiseNotSupported();
    return rt_.Call(*fn_, nullptr, args);
  }

 private:
  Runtime& rt_;
  Ref<Function> fn_;
};

}  // namespace

std::span<const Builtin> MiscBuiltins() { return kMiscBuiltins; }

Ref<Dispatch> NewErrObject(Runtime& rt) { return MakeRef<ErrObj>(rt); }
Ref<Dispatch> NewFunctionRef(Runtime& rt, const Function& fn) { return MakeRef<FunctionRef>(rt, fn); }

}  // namespace zantrel::script
