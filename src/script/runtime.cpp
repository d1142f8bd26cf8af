// The runtime's name tables (modules, cells, procedures, classes, named
// objects), late binding by name, objects of script classes, the Err state and
// the time-out clock.
#include "script/runtime.h"

#include "core/convert.h"
#include "script/builtins.h"
#include "script/objects.h"
#include "script/script_object.h"

namespace zantrel::script {

namespace {
constexpr std::size_t kCellChunk = 256;
}

Runtime::Runtime() {
  modules_.push_back(std::make_unique<Module>());
  modules_[0]->name = "Global";
  stackMemory_.reset(new unsigned char[kStackSlots * sizeof(Variant)]);
  stack_ = reinterpret_cast<Variant*>(stackMemory_.get());
  top_ = stack_;
  frames_.reserve(kMaxDepth + 8);
  refStack_.resize(1u << 16);
  link_ = std::make_shared<RuntimeLink>();
  link_->runtime = this;
}

Runtime::~Runtime() {
  // Objects still referenced by variables terminate while the runtime exists.
  for (Variant* cell : cells_) {
    try {
      *cell = Variant();
    } catch (...) {
    }
  }
  link_->runtime = nullptr;
  procs_.clear();
  modules_.clear();
}

int32_t Runtime::ModuleIndex(std::string_view name, bool create) {
  if (name.empty()) return 0;
  for (std::size_t i = 0; i < modules_.size(); ++i)
    if (NameEquals(modules_[i]->name, name)) return static_cast<int32_t>(i);
  if (!create) return -1;
  modules_.push_back(std::make_unique<Module>());
  modules_.back()->name = std::string(name);
  return static_cast<int32_t>(modules_.size() - 1);
}

int32_t Runtime::NewCell() {
  if (cells_.size() % kCellChunk == 0) cellChunks_.push_back(std::make_unique<Variant[]>(kCellChunk));
  cells_.push_back(&cellChunks_.back()[cells_.size() % kCellChunk]);
  return static_cast<int32_t>(cells_.size() - 1);
}

void Runtime::AddNamedObject(std::string_view name, Variant object) {
  auto it = namedObjects_.find(name);
  const int32_t cell = it != namedObjects_.end() ? it->second : NewCell();
  namedObjects_[std::string(name)] = cell;
  Cell(cell) = std::move(object);
  Touch();
}

int32_t Runtime::NamedObjectCell(std::string_view name) const {
  auto it = namedObjects_.find(name);
  return it == namedObjects_.end() ? -1 : it->second;
}

Resolved Runtime::Resolve(int32_t module, std::string_view name) const {
  auto inModule = [&](const Module& m, Resolved& r) {
    if (auto g = m.globals.find(name); g != m.globals.end()) {
      r = {ResolvedKind::Cell, g->second};
      return true;
    }
    if (auto p = m.procs.find(name); p != m.procs.end()) {
      r = {ResolvedKind::Proc, p->second};
      return true;
    }
    return false;
  };
  Resolved r;
  if (inModule(*modules_[module], r)) return r;
  if (module != 0 && inModule(*modules_[0], r)) return r;
  if (const int32_t cell = NamedObjectCell(name); cell >= 0) return {ResolvedKind::Cell, cell};
  if (const int32_t b = FindBuiltin(name); b >= 0) return {ResolvedKind::Builtin, b};
  return r;
}

ClassDef* Runtime::FindClass(int32_t module, std::string_view name) const {
  for (int32_t m : {module, 0}) {
    const auto& classes = modules_[m]->classes;
    auto it = classes.find(name);
    if (it != classes.end()) return it->second.get();
  }
  return nullptr;
}

Ref<ScriptObject> Runtime::NewObject(ClassDef& cls) {
  Ref<ScriptObject> obj = MakeRef<ScriptObject>(Ref<ClassDef>(&cls), link_);
  if (cls.initialize) Call(*cls.initialize, obj.get(), {});
  obj->MarkInitialized();
  return obj;
}

Variant Runtime::NewNamed(int32_t module, std::string_view name) {
  if (ClassDef* cls = FindClass(module, name)) return Variant(Ref<Dispatch>(NewObject(*cls)));
  if (NameEquals(name, "RegExp")) return Variant(NewRegExp());
  Raise(506, "Class not defined: '" + std::string(name) + "'");
}

void Runtime::Terminate(ScriptObject& obj) {
  const ClassDef& cls = obj.cls();
  if (!cls.terminate) return;
  const ErrState saved = err;
  const ErrorSite savedSite = site;
  try {
    Call(*cls.terminate, &obj, {});
  } catch (const Error&) {
  } catch (const ScriptAbort&) {
  }
  err = saved;
  site = savedSite;
}

Variant Runtime::InvokeMember(ScriptObject& obj, DispId id, InvokeKind kind, Args args) {
  ClassDef& cls = obj.cls();
  if (id == kDispDefault) id = cls.defaultId;
  if (id < 1 || id > static_cast<DispId>(cls.members.size())) RaiseNotSupported();
  const ClassMember& m = cls.members[id - 1];
  if (m.field >= 0) {
    Variant& field = obj.fields()[m.field];
    if (kind == InvokeKind::Let || kind == InvokeKind::Set) {
      if (args.empty()) RaiseWrongArguments();
      if (args.size() == 1) {
        field = args.back();
      } else {
        if (!field.IsArray()) Raise(err::kTypeMismatch);
        std::vector<int32_t> subs;
        for (std::size_t i = 0; i + 1 < args.size(); ++i) subs.push_back(CLng(args[i]));
        field.MutableArray().At(subs.data(), subs.size()) = args.back();
      }
      return {};
    }
    if (args.empty()) return field;
    if (!field.IsArray()) Raise(err::kTypeMismatch);
    std::vector<int32_t> subs;
    for (const Variant& a : args) subs.push_back(CLng(a));
    return field.AsArray().At(subs.data(), subs.size());
  }
  const Function* fn = nullptr;
  if (kind == InvokeKind::Let) fn = m.let.get();
  else if (kind == InvokeKind::Set) fn = m.set.get();
  else fn = m.get ? m.get.get() : m.method.get();
  if (!fn) RaiseNotSupported();
  Ref<ScriptObject> keep(&obj);
  return Call(*fn, &obj, args);
}

void Runtime::CheckTime() {
  budget_ = kUnitsPerClockRead;
  if (deadlineSet_ && std::chrono::steady_clock::now() > deadline_) throw ScriptAbort{ScriptAbort::Why::Timeout};
}

void Runtime::SetErr(const Error& e) {
  err.number = e.number();
  err.description = e.description();
  err.source = e.source().empty() ? "Microsoft VBScript runtime error" : e.source();
}

Ref<Dispatch> Runtime::ErrObject() {
  if (!errObject_) errObject_ = NewErrObject(*this);
  return errObject_;
}

}  // namespace zantrel::script
