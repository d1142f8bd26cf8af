// The machine: one loop over the instructions of the running frame. Calls
// between script procedures (and methods of script objects) push a frame and
// stay in the loop, so deep recursion costs no C++ stack and ends in error 28.
// A raised error unwinds frames until one has On Error Resume Next, which then
// continues at the statement after the one that failed.
#include <cmath>
#include <new>

#include "core/convert.h"
#include "script/builtins.h"
#include "script/operators.h"
#include "script/runtime.h"
#include "script/script_object.h"
#include "script/value.h"

namespace zantrel::script {

namespace {

// For Each over an array: a snapshot (the array is shared copy-on-write).
class ArrayEnumerator final : public Enumerator {
 public:
  explicit ArrayEnumerator(Variant arr) : arr_(std::move(arr)) {}
  bool Next(Variant& out) override {
    const SafeArray& a = arr_.AsArray();
    if (i_ >= a.size()) return false;
    out = a.data()[i_++];
    return true;
  }
  void Reset() override { i_ = 0; }

 private:
  Variant arr_;
  std::size_t i_ = 0;
};

// Keeps a For Each enumerator in a hidden local.
class EnumHolder final : public Dispatch {
 public:
  explicit EnumHolder(Ref<Enumerator> e) : e(std::move(e)) {}
  std::string_view TypeName() const override { return "Enumerator"; }
  DispId MemberId(std::string_view) const override { return kDispUnknown; }
  Variant Invoke(DispId, InvokeKind, Args) override { RaiseNotSupported(); }
  Ref<Enumerator> e;
};

int32_t Subscript(const Variant& v) {
  if (v.type() == VarType::Integer) return v.RawInteger();
  if (v.type() == VarType::Long) return v.RawLong();
  return CLng(DefaultValue(v));
}

// True while a For loop's counter is within its limit.
bool ForInRange(const Variant& v, const Variant& limit, const Variant& step) {
  if (IsWhole(v) && IsWhole(limit) && IsWhole(step)) {
    const int32_t x = WholeOf(v), l = WholeOf(limit);
    return WholeOf(step) >= 0 ? x <= l : x >= l;
  }
  const double x = CDbl(v), l = CDbl(limit), s = CDbl(step);
  return s >= 0 ? x <= l : x >= l;
}

Variant ForBound(const Variant& v0) {
  const Variant v = DefaultValue(v0);
  if (v.IsNumeric() || v.IsEmpty()) return v.IsEmpty() ? Variant(int16_t{0}) : v;
  if (v.IsString()) return Variant(CDbl(v));
  if (v.IsNull()) Raise(94);
  Raise(err::kTypeMismatch);
}

}  // namespace

class Machine {
 public:
  explicit Machine(Runtime& rt) : rt_(rt) {}
  Variant Execute();

 private:
  // Pushes a frame for fn whose n arguments are at args (already on the stack).
  void Enter(const Function& fn, ScriptObject* me, Variant* args, int n, bool keep, bool dropObject, Frame* outer = nullptr);
  Variant* VarPtr(Frame* f, VarKind kind, int32_t slot);
  Variant* NameVar(Frame* f, int32_t nameIndex);
  Variant* DynamicVar(Frame* f, int32_t nameIndex, bool create);
  Resolved ResolveName(Frame* f, int32_t nameIndex);
  void StoreLet(Variant* target, Variant* value);
  void StoreSet(Variant* target, Variant* value);
  Variant IndexOf(Variant& v, Variant* args, int n);
  void StoreIndexed(Variant& target, Variant* args, int n, Variant* value, bool isSet);
  Variant CallBuiltin(Frame* f, int32_t index, Variant* args, int n);
  const ClassMember* ScriptMember(ScriptObject& obj, std::string_view name, const Frame* f);
  DispId HostMemberId(const Function& fn, int32_t site, Dispatch& d);
  Variant InvokeHost(Dispatch& d, DispId id, InvokeKind kind, Variant* args, int n);
  void DropPending(Variant* from);
  void WriteBack(Variant* from);
  void Leave(Frame* f, Variant* sp);
  bool Handle(const Error& e, Frame*& f, const Instr*& pc, Variant*& sp, std::size_t entryDepth);
  void NoteSwallowed(const Error& e, const Frame& f, int32_t faultPc);

  Runtime& rt_;
};

void Machine::DropPending(Variant* from) {
  const uint32_t index = static_cast<uint32_t>(from - rt_.stack_);
  while (!rt_.pending_.empty() && rt_.pending_.back().stackIndex >= index) rt_.pending_.pop_back();
}

// After a host call: the arguments that named variables go back into them
// (Dispatch::Invoke may have written them, as for a ByRef parameter).
void Machine::WriteBack(Variant* from) {
  const uint32_t index = static_cast<uint32_t>(from - rt_.stack_);
  while (!rt_.pending_.empty() && rt_.pending_.back().stackIndex >= index) {
    PendingRef& p = rt_.pending_.back();
    *p.target = std::move(rt_.stack_[p.stackIndex]);
    rt_.pending_.pop_back();
  }
}

void Machine::Enter(const Function& fn, ScriptObject* me, Variant* args, int n, bool keep, bool dropObject, Frame* outer) {
  if (n != fn.paramCount) Raise(err::kWrongArguments);
  if (rt_.frames_.size() >= kMaxDepth) Raise(err::kOutOfStack);
  if (args + fn.localCount + fn.maxStack + 8 >= rt_.stack_ + kStackSlots) Raise(err::kOutOfStack);
  if (rt_.refTop_ + n >= rt_.refStack_.size()) Raise(err::kOutOfStack);
  for (uint32_t i = n; i < fn.localCount; ++i) new (args + i) Variant();
  Variant** refs = rt_.refStack_.data() + rt_.refTop_;
  for (int i = 0; i < n; ++i) refs[i] = args + i;
  const uint32_t base = static_cast<uint32_t>(args - rt_.stack_);
  while (!rt_.pending_.empty() && rt_.pending_.back().stackIndex >= base) {
    PendingRef& p = rt_.pending_.back();
    const uint32_t i = p.stackIndex - base;
    if (fn.byRef[i]) {
      refs[i] = p.target;
      Destroy(args + i);  // the callee reads through the reference
      new (args + i) Variant();
      if (p.pin) rt_.pins_.push_back(std::move(p.pin));
    }
    rt_.pending_.pop_back();
  }
  Frame fr;
  fr.fn = &fn;
  fr.pc = fn.code.data();
  fr.locals = args;
  fr.refs = refs;
  fr.me = me;
  fr.outer = outer;
  fr.pendingMark = static_cast<uint32_t>(rt_.pending_.size());
  fr.pinMark = static_cast<uint32_t>(rt_.pins_.size());
  fr.refTop = rt_.refTop_;
  fr.keep = keep;
  fr.entry = false;
  fr.resumeNext = false;
  // dropObject: the object of a member call sits right below the arguments.
  fr.dropObject = dropObject;
  rt_.refTop_ += n;
  rt_.frames_.push_back(fr);
  rt_.top_ = args + fn.localCount + fn.maxStack;
}

// Destroys the frame's values from its locals up to sp and pops it.
void Machine::Leave(Frame* f, Variant* sp) {
  for (Variant* v = sp; v != f->locals;) Destroy(--v);
  rt_.refTop_ = f->refTop;
  delete f->dynamic;
  while (rt_.pins_.size() > f->pinMark) rt_.pins_.pop_back();
  while (rt_.pending_.size() > f->pendingMark) rt_.pending_.pop_back();
  const bool entry = f->entry;
  rt_.frames_.pop_back();
  if (!entry && !rt_.frames_.empty()) {
    const Frame& c = rt_.frames_.back();
    rt_.top_ = c.locals + c.fn->localCount + c.fn->maxStack;
  }
}

Resolved Machine::ResolveName(Frame* f, int32_t nameIndex) {
  const Function& fn = *f->fn;
  NameCache& c = fn.nameCache[nameIndex];
  if (c.epoch == rt_.epoch()) return Resolved{static_cast<ResolvedKind>(c.kind), c.index};
  const Resolved r = rt_.Resolve(fn.module, fn.names[nameIndex]);
  c.epoch = rt_.epoch();
  c.kind = static_cast<uint8_t>(r.kind);
  c.index = r.index;
  return r;
}

// A name Execute declared in the running procedure (Execute and Eval code see
// their caller's); null when there is none and create is false.
Variant* Machine::DynamicVar(Frame* f, int32_t nameIndex, bool create) {
  Frame* scope = f->outer ? f->outer : f;
  if (!scope->dynamic) {
    if (!create) return nullptr;
    scope->dynamic = new NameMap<Variant>();
  }
  const std::string& name = f->fn->names[nameIndex];
  auto it = scope->dynamic->find(name);
  if (it != scope->dynamic->end()) return &it->second;
  return create ? &scope->dynamic->emplace(name, Variant()).first->second : nullptr;
}

// A variable by name; without Option Explicit an unknown name becomes a module variable.
Variant* Machine::NameVar(Frame* f, int32_t nameIndex) {
  if (Variant* d = DynamicVar(f, nameIndex, false)) return d;
  const Resolved r = ResolveName(f, nameIndex);
  if (r.kind == ResolvedKind::Cell) return &rt_.Cell(r.index);
  const std::string& name = f->fn->names[nameIndex];
  if (r.kind != ResolvedKind::None) Raise(501, "Illegal assignment: '" + name + "'");
  if (f->fn->optionExplicit) Raise(err::kVariableUndefined, "Variable is undefined: '" + name + "'");
  const int32_t cell = rt_.NewCell();
  rt_.ModuleAt(f->fn->module).globals[name] = cell;
  rt_.Touch();
  return &rt_.Cell(cell);
}

Variant* Machine::VarPtr(Frame* f, VarKind kind, int32_t slot) {
  switch (kind) {
    case VarKind::Local: return f->locals + slot;
    case VarKind::Ref: return f->refs[slot];
    case VarKind::Global: return &rt_.Cell(slot);
    case VarKind::Member: return &f->me->fields()[slot];
    case VarKind::OuterLocal: return f->outer->locals + slot;
    case VarKind::OuterRef: return f->outer->refs[slot];
    case VarKind::Name: return NameVar(f, slot);
    case VarKind::Dynamic: return DynamicVar(f, slot, true);
  }
  return nullptr;
}

// Let assignment; the value's slot is left Empty.
// A variable holding an object takes a Let through the object's default member.
void Machine::StoreLet(Variant* target, Variant* value) {
  if (target->IsObject() && target->RawObject()) {
    Ref<Dispatch> d(target->RawObject());
    if (value->IsObject()) *value = DefaultValue(*value);
    d->Invoke(kDispDefault, InvokeKind::Let, Args(value, 1));
    *value = Variant();
    return;
  }
  if (value->IsObject()) {
    Variant v = DefaultValue(*value);
    *value = Variant();  // the value is consumed like the others
    *target = std::move(v);
    return;
  }
  if (target->IsArray() || value->IsArray() || target->IsObject()) {
    *target = std::move(*value);
    return;
  }
  Destroy(target);
  MoveInto(target, value);
  new (value) Variant();
}

void Machine::StoreSet(Variant* target, Variant* value) {
  if (!value->IsObject()) Raise(err::kObjectRequired);
  *target = std::move(*value);
}

Variant Machine::IndexOf(Variant& v, Variant* args, int n) {
  if (v.IsArray()) {
    int32_t subs[64];
    if (n > 64) Raise(err::kSubscript);
    for (int i = 0; i < n; ++i) subs[i] = Subscript(args[i]);
    return v.AsArray().At(subs, n);
  }
  if (v.IsObject()) {
    Dispatch* d = v.RawObject();
    if (!d) Raise(err::kObjectNotSet);
    return d->Invoke(kDispDefault, InvokeKind::Get, Args(args, n));
  }
  Raise(err::kTypeMismatch);
}

void Machine::StoreIndexed(Variant& target, Variant* args, int n, Variant* value, bool isSet) {
  if (target.IsArray()) {
    if (isSet && !value->IsObject()) Raise(err::kObjectRequired);
    int32_t subs[64];
    if (n > 64) Raise(err::kSubscript);
    for (int i = 0; i < n; ++i) subs[i] = Subscript(args[i]);
    Variant v = isSet || !value->IsObject() ? std::move(*value) : DefaultValue(*value);
    target.MutableArray().At(subs, n) = std::move(v);
    return;
  }
  if (target.IsObject()) {
    Dispatch* d = target.RawObject();
    if (!d) Raise(err::kObjectNotSet);
    Ref<Dispatch> keep(d);
    std::vector<Variant> all(args, args + n);
    all.push_back(std::move(*value));
    d->Invoke(kDispDefault, isSet ? InvokeKind::Set : InvokeKind::Let, all);
    return;
  }
  Raise(err::kTypeMismatch);
}

Variant Machine::CallBuiltin(Frame* f, int32_t index, Variant* args, int n) {
  const Builtin& b = BuiltinAt(index);
  if (n < b.minArgs || n > b.maxArgs) Raise(err::kWrongArguments);
  if (!(b.flags & kKeepObjects))
    for (int i = 0; i < n; ++i)
      if (args[i].IsObject()) args[i] = DefaultValue(args[i]);
  BuiltinContext cx{rt_, f};
  return b.fn(cx, Args(args, n));
}

const ClassMember* Machine::ScriptMember(ScriptObject& obj, std::string_view name, const Frame* f) {
  ClassDef& cls = obj.cls();
  if (name.empty()) {
    if (cls.defaultId == kDispUnknown) Raise(err::kNotSupported);
    return &cls.members[cls.defaultId - 1];
  }
  const int32_t m = cls.Find(name);
  if (m < 0) Raise(err::kNotSupported, "Object doesn't support this property or method: '" + std::string(name) + "'");
  const ClassMember& cm = cls.members[m];
  if (!cm.isPublic && !(f->me == &obj)) Raise(err::kNotSupported, "Object doesn't support this property or method: '" + std::string(name) + "'");
  return &cm;
}

DispId Machine::HostMemberId(const Function& fn, int32_t site, Dispatch& d) {
  const std::string& name = fn.names[site];
  if (name.empty()) return kDispDefault;
  MemberCache& c = fn.memberCache[site];
  const std::type_info& t = typeid(d);
  if (c.type == &t) return c.id;
  const DispId id = d.MemberId(name);
  if (id == kDispUnknown) Raise(err::kNotSupported, "Object doesn't support this property or method: '" + name + "'");
  c.type = &t;
  c.id = id;
  return id;
}

// A member that takes no arguments but got some (WScript.Arguments(0)) is read
// without them and the arguments go to the default member of what it returned.
Variant Machine::InvokeHost(Dispatch& d, DispId id, InvokeKind kind, Variant* args, int n) {
  if (n == 0) return d.Invoke(id, kind, Args(args, 0));
  try {
    return d.Invoke(id, kind, Args(args, n));
  } catch (const Error& e) {
    if (e.number() != err::kWrongArguments) throw;
  }
  Variant inner = d.Invoke(id, InvokeKind::Get, Args(args, 0));
  if (!inner.IsObject() && !inner.IsArray()) Raise(err::kWrongArguments);
  return IndexOf(inner, args, n);
}

// Keeps the first error the run's outermost frame skips, for a host that
// reports what On Error Resume Next hid.
void Machine::NoteSwallowed(const Error& e, const Frame& f, int32_t faultPc) {
  const StmtPos* at = f.fn->StatementAt(faultPc);
  Runtime::Swallowed& s = rt_.swallowed;
  s.number = e.number();
  s.description = e.description();
  s.site.valid = true;
  s.site.module = f.fn->source ? f.fn->source->module : std::string();
  s.site.line = at ? at->line : 0;
  s.site.column = at ? at->column : 0;
  s.site.sourceText = f.fn->source && at ? std::string(f.fn->source->Line(at->line)) : std::string();
}

// Finds a frame with On Error Resume Next from the top down to the entry
// frame; false when none (the frames are gone and the error goes to C++).
bool Machine::Handle(const Error& e, Frame*& f, const Instr*& pc, Variant*& sp, std::size_t entryDepth) {
  int32_t faultPc = static_cast<int32_t>(pc - f->fn->code.data()) - 1;
  if (!rt_.site.valid) {
    const StmtPos* at = f->fn->StatementAt(faultPc);
    rt_.site.valid = true;
    rt_.site.module = f->fn->source ? f->fn->source->module : std::string();
    rt_.site.line = at ? at->line : 0;
    rt_.site.column = at ? at->column : 0;
    rt_.site.sourceText = f->fn->source && at ? std::string(f->fn->source->Line(at->line)) : std::string();
  }
  for (;;) {
    if (f->resumeNext) {
      if (f == &rt_.frames_.front() && !rt_.swallowed.site.valid) NoteSwallowed(e, *f, faultPc);
      rt_.SetErr(e);
      rt_.site.valid = false;
      Variant* base = f->locals + f->fn->localCount;
      for (Variant* v = sp; v != base;) Destroy(--v);
      sp = base;
      while (rt_.pending_.size() > f->pendingMark) rt_.pending_.pop_back();
      pc = f->fn->code.data() + f->fn->NextStatementPc(faultPc);
      return true;
    }
    const bool entry = f->entry;
    Variant* locals = f->locals;
    Leave(f, sp);
    if (entry || rt_.frames_.size() < entryDepth) return false;
    f = &rt_.frames_.back();
    sp = locals;
    pc = f->pc;
    faultPc = static_cast<int32_t>(pc - f->fn->code.data()) - 1;
  }
}

Variant Machine::Execute() {
  const std::size_t entryDepth = rt_.frames_.size();
  Frame* f = &rt_.frames_.back();
  const Instr* pc = f->pc;
  Variant* sp = f->locals + f->fn->localCount;
  for (;;) {
    try {
      for (;;) {
        const Instr in = *pc++;
        switch (in.op) {
          case OpCode::PushConst: CopyInto(sp++, f->fn->constants[in.c]); break;
          case OpCode::PushEmpty: new (sp++) Variant(); break;
          case OpCode::PushNothing: new (sp++) Variant(Variant::Nothing()); break;
          case OpCode::PushMe: new (sp++) Variant(Ref<Dispatch>(f->me)); break;
          case OpCode::Pop: Destroy(--sp); break;
          case OpCode::LoadLocal: CopyInto(sp++, f->locals[in.c]); break;
          case OpCode::StoreLocal: {
            Variant* t = f->locals + in.c;
            --sp;
            if (IsPlain(t->type()) && IsPlain(sp->type())) MoveInto(t, sp);  // the slot at sp is raw now
            else StoreLet(t, sp);
            break;
          }
          case OpCode::Load: {
            if (static_cast<VarKind>(in.b) == VarKind::Name) {
              Variant* v = NameVar(f, in.c);
              CopyInto(sp++, *v);
            } else {
              CopyInto(sp++, *VarPtr(f, static_cast<VarKind>(in.b), in.c));
            }
            break;
          }
          case OpCode::Store: {
            Variant* t = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            StoreLet(t, --sp);
            break;
          }
          case OpCode::SetVar: {
            Variant* t = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            --sp;
            StoreSet(t, sp);
            Destroy(sp);
            break;
          }
          case OpCode::AppendLocal:
          case OpCode::Append: {
            Variant* t = in.op == OpCode::AppendLocal ? f->locals + in.c : VarPtr(f, static_cast<VarKind>(in.b), in.c);
            --sp;
            if (t->IsString() && !sp->IsObject()) AppendText(t->RawMutableString(), *sp);
            else *t = Concat(*t, *sp);
            Destroy(sp);
            break;
          }
          case OpCode::AppendConst: {
            Variant* t = f->locals + in.b;
            const Variant& v = f->fn->constants[in.c];
            if (t->IsString()) t->RawMutableString() += v.RawString();
            else *t = Concat(*t, v);
            break;
          }
          case OpCode::AppendElem: {
            const Instr extra = *pc++;
            const int n = in.a;
            Variant* args = sp - n;
            Variant* t = f->locals + in.b;
            Variant* src = VarPtr(f, static_cast<VarKind>(extra.b), extra.c);
            if (src->IsArray() && t->IsString() && t != src) {
              int32_t subs[64];
              if (n > 64) Raise(err::kSubscript);
              for (int i = 0; i < n; ++i) subs[i] = Subscript(args[i]);
              const Variant& e = src->AsArray().At(subs, n);
              if (!e.IsObject()) AppendText(t->RawMutableString(), e);
              else *t = Concat(*t, e);
            } else {
              Variant e = IndexOf(*src, args, n);
              *t = Concat(*t, e);
            }
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            break;
          }
          case OpCode::ArgVar: {
            const VarKind kind = static_cast<VarKind>(in.b);
            Variant* t = nullptr;
            if (kind == VarKind::Name) {
              const Resolved r = ResolveName(f, in.c);
              if (Variant* d = DynamicVar(f, in.c, false)) t = d;
              else if (r.kind == ResolvedKind::Cell) t = &rt_.Cell(r.index);
              else if (r.kind == ResolvedKind::None) t = NameVar(f, in.c);
              else if (r.kind == ResolvedKind::Proc) {  // a function named without parentheses
                const Ref<Function>& fn = rt_.Proc(r.index);
                if (!fn) Raise(err::kTypeMismatch);
                f->pc = pc;
                Enter(*fn, nullptr, sp, 0, true, false);
                f = &rt_.frames_.back();
                pc = f->pc;
                sp = f->locals + f->fn->localCount;
                break;
              } else {
                Variant res = CallBuiltin(f, r.index, sp, 0);
                MoveInto(sp++, &res);
                break;
              }
            } else {
              t = VarPtr(f, kind, in.c);
            }
            CopyInto(sp, *t);
            rt_.pending_.push_back(PendingRef{static_cast<uint32_t>(sp - rt_.stack_), t, nullptr});
            ++sp;
            break;
          }
          case OpCode::Index: {
            const int n = in.a;
            Variant* args = sp - n;
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            Variant r = IndexOf(*v, args, n);
            WriteBack(args);
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            MoveInto(sp++, &r);
            break;
          }
          case OpCode::StoreIndex:
          case OpCode::SetIndex: {
            const int n = in.a;
            Variant* args = sp - n - 1;
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            StoreIndexed(*v, args, n, sp - 1, in.op == OpCode::SetIndex);
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            break;
          }
          case OpCode::ArgIndex: {
            const int n = in.a;
            Variant* args = sp - n;
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            if (v->IsArray()) {
              int32_t subs[64];
              if (n > 64) Raise(err::kSubscript);
              for (int i = 0; i < n; ++i) subs[i] = Subscript(args[i]);
              SafeArray& arr = v->MutableArray();
              Variant* elem = &arr.At(subs, n);
              for (Variant* p = sp; p != args;) Destroy(--p);
              sp = args;
              CopyInto(sp, *elem);
              rt_.pending_.push_back(PendingRef{static_cast<uint32_t>(sp - rt_.stack_), elem, Ref<SafeArray>(&arr)});
              ++sp;
            } else {
              Variant r = IndexOf(*v, args, n);
              for (Variant* p = sp; p != args;) Destroy(--p);
              sp = args;
              MoveInto(sp++, &r);
            }
            break;
          }
          case OpCode::DimArray: {
            const int n = in.a;
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            std::vector<SafeArray::Bound> bounds;
            for (int i = 0; i < n; ++i) {
              const int32_t upper = Subscript(sp[i - n]);
              if (upper < -1) Raise(err::kSubscript);
              bounds.push_back(SafeArray::Bound{0, upper + 1});
            }
            for (int i = 0; i < n; ++i) Destroy(--sp);
            *v = Variant(MakeRef<SafeArray>(std::move(bounds), n > 0));
            break;
          }
          case OpCode::ReDim: {
            const int n = in.a;
            const bool preserve = in.b & 0x100;
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b & 0xff), in.c);
            std::vector<SafeArray::Bound> bounds;
            for (int i = 0; i < n; ++i) {
              const int32_t upper = Subscript(sp[i - n]);
              if (upper < -1) Raise(err::kSubscript);
              bounds.push_back(SafeArray::Bound{0, upper + 1});
            }
            for (int i = 0; i < n; ++i) Destroy(--sp);
            if (v->IsArray()) {
              if (v->AsArray().fixed()) Raise(err::kArrayFixed);
              if (preserve) {
                v->MutableArray().Redim(std::move(bounds), true);
                break;
              }
            } else if (preserve && !v->IsEmpty()) {
              Raise(err::kTypeMismatch);
            }
            *v = Variant(MakeRef<SafeArray>(std::move(bounds)));
            break;
          }
          case OpCode::Erase: {
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            if (!v->IsArray()) Raise(err::kTypeMismatch);
            if (v->AsArray().fixed()) {
              for (Variant& e : v->MutableArray().data()) e = Variant();
            } else {
              *v = Variant(MakeRef<SafeArray>(std::vector<SafeArray::Bound>{}));
            }
            break;
          }
          case OpCode::LoadName: {
            const Resolved r = ResolveName(f, in.c);
            if (const Variant* d = DynamicVar(f, in.c, false)) {
              CopyInto(sp++, *d);
            } else if (r.kind == ResolvedKind::Cell) {
              CopyInto(sp++, rt_.Cell(r.index));
            } else if (r.kind == ResolvedKind::Proc) {
              const Ref<Function>& fn = rt_.Proc(r.index);
              if (!fn) Raise(err::kTypeMismatch);
              f->pc = pc;
              Enter(*fn, nullptr, sp, 0, true, false);
              f = &rt_.frames_.back();
              pc = f->pc;
              sp = f->locals + f->fn->localCount;
            } else if (r.kind == ResolvedKind::Builtin) {
              Variant res = CallBuiltin(f, r.index, sp, 0);
              MoveInto(sp++, &res);
            } else {
              if (f->fn->optionExplicit) Raise(err::kVariableUndefined, "Variable is undefined: '" + f->fn->names[in.c] + "'");
              new (sp++) Variant();
            }
            break;
          }
          case OpCode::CallName: {
            const int n = in.a;
            Variant* args = sp - n;
            const Resolved r = ResolveName(f, in.c);
            if (Variant* d = DynamicVar(f, in.c, false)) {
              Variant res = IndexOf(*d, args, n);
              WriteBack(args);
              for (Variant* p = sp; p != args;) Destroy(--p);
              sp = args;
              if (in.b & 1) MoveInto(sp++, &res);
              break;
            }
            if (r.kind == ResolvedKind::Proc) {
              const Ref<Function>& fn = rt_.Proc(r.index);
              if (!fn) Raise(err::kTypeMismatch);
              f->pc = pc;
              Enter(*fn, nullptr, args, n, in.b & 1, false);
              f = &rt_.frames_.back();
              pc = f->pc;
              sp = f->locals + f->fn->localCount;
              break;
            }
            Variant res;
            if (r.kind == ResolvedKind::Cell) {
              res = IndexOf(rt_.Cell(r.index), args, n);
              WriteBack(args);
            } else if (r.kind == ResolvedKind::Builtin) {
              DropPending(args);
              res = CallBuiltin(f, r.index, args, n);
            } else {
              Raise(err::kTypeMismatch, "Type mismatch: '" + f->fn->names[in.c] + "'");
            }
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            if (in.b & 1) MoveInto(sp++, &res);
            break;
          }
          case OpCode::CallProc: {
            const Ref<Function>& fn = rt_.Proc(in.c);
            if (!fn) Raise(err::kTypeMismatch);
            if ((++rt_.tick_ & 0x3ff) == 0) rt_.CheckTime();
            f->pc = pc;
            Enter(*fn, nullptr, sp - in.a, in.a, in.b & 1, false);
            f = &rt_.frames_.back();
            pc = f->pc;
            sp = f->locals + f->fn->localCount;
            break;
          }
          case OpCode::CallBuiltin: {
            const int n = in.a;
            Variant* args = sp - n;
            Variant res = CallBuiltin(f, in.c, args, n);
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            if (in.b & 1) MoveInto(sp++, &res);
            break;
          }
          case OpCode::CallMethod: {
            const int n = in.a;
            const InvokeKind kind = static_cast<InvokeKind>(in.b & 0xff);
            const ClassMember& m = f->me->cls().members[in.c];
            const Function* fn = nullptr;
            if (kind == InvokeKind::Let) fn = m.let.get();
            else if (kind == InvokeKind::Set) fn = m.set.get();
            else fn = m.get ? m.get.get() : m.method.get();
            if (!fn) Raise(err::kNotSupported);
            f->pc = pc;
            Enter(*fn, f->me, sp - n, n, in.b & 0x100, false);
            f = &rt_.frames_.back();
            pc = f->pc;
            sp = f->locals + f->fn->localCount;
            break;
          }
          case OpCode::IndexValue: {
            const int n = in.a;
            Variant* args = sp - n;
            Variant r = IndexOf(args[-1], args, n);
            for (Variant* p = sp; p != args - 1;) Destroy(--p);
            sp = args - 1;
            MoveInto(sp++, &r);
            break;
          }
          case OpCode::GetMember: {
            const int n = in.a;
            Variant* args = sp - n;
            Variant* objv = args - 1;
            const bool keep = in.b & 1;
            if (!objv->IsObject()) Raise(err::kObjectRequired, "Object required: '" + f->fn->names[in.c] + "'");
            Dispatch* d = objv->RawObject();
            if (!d) Raise(err::kObjectNotSet);
            if (ScriptObject* so = AsScriptObject(d)) {
              const ClassMember* m = ScriptMember(*so, f->fn->names[in.c], f);
              if (m->field < 0) {
                const Function* fn = m->get ? m->get.get() : m->method.get();
                if (!fn) Raise(err::kNotSupported);
                if (n > 0 && fn->paramCount == 0) {  // obj.Prop(i): index what Prop returns
                  DropPending(args);
                  Variant inner = rt_.Call(*fn, so, {});
                  Variant r = IndexOf(inner, args, n);
                  for (Variant* p = sp; p != objv;) Destroy(--p);
                  sp = objv;
                  if (keep) MoveInto(sp++, &r);
                  break;
                }
                f->pc = pc;
                Enter(*fn, so, args, n, keep, true);
                f = &rt_.frames_.back();
                pc = f->pc;
                sp = f->locals + f->fn->localCount;
                break;
              }
              DropPending(args);
              Variant r = n ? IndexOf(so->fields()[m->field], args, n) : so->fields()[m->field];
              for (Variant* p = sp; p != objv;) Destroy(--p);
              sp = objv;
              if (keep) MoveInto(sp++, &r);
              break;
            }
            const DispId id = HostMemberId(*f->fn, in.c, *d);
            Variant r = InvokeHost(*d, id, keep ? InvokeKind::Get : InvokeKind::Call, args, n);
            WriteBack(args);
            for (Variant* p = sp; p != objv;) Destroy(--p);
            sp = objv;
            if (keep) MoveInto(sp++, &r);
            break;
          }
          case OpCode::LetMember:
          case OpCode::SetMember: {
            const int n = in.a;
            const bool isSet = in.op == OpCode::SetMember;
            Variant* args = sp - n - 1;
            Variant* objv = args - 1;
            if (!objv->IsObject()) Raise(err::kObjectRequired);
            Dispatch* d = objv->RawObject();
            if (!d) Raise(err::kObjectNotSet);
            if (isSet && !sp[-1].IsObject()) Raise(err::kObjectRequired);
            if (ScriptObject* so = AsScriptObject(d)) {
              const ClassMember* m = ScriptMember(*so, f->fn->names[in.c], f);
              if (m->field >= 0) {
                Variant& field = so->fields()[m->field];
                if (n) StoreIndexed(field, args, n, sp - 1, isSet);
                else if (isSet) StoreSet(&field, sp - 1);
                else StoreLet(&field, sp - 1);
                for (Variant* p = sp; p != objv;) Destroy(--p);
                sp = objv;
                break;
              }
              const Function* fn = isSet ? m->set.get() : m->let.get();
              if (!fn) Raise(err::kNotSupported);
              f->pc = pc;
              Enter(*fn, so, args, n + 1, false, true);
              f = &rt_.frames_.back();
              pc = f->pc;
              sp = f->locals + f->fn->localCount;
              break;
            }
            const DispId id = HostMemberId(*f->fn, in.c, *d);
            if (!isSet && sp[-1].IsObject()) sp[-1] = DefaultValue(sp[-1]);
            d->Invoke(id, isSet ? InvokeKind::Set : InvokeKind::Let, Args(args, n + 1));
            for (Variant* p = sp; p != objv;) Destroy(--p);
            sp = objv;
            break;
          }
          case OpCode::New: {
            Variant obj = rt_.NewNamed(f->fn->module, f->fn->names[in.c]);
            MoveInto(sp++, &obj);
            break;
          }
          case OpCode::CheckObject:
            if (!sp[-1].IsObject()) Raise(err::kObjectRequired);
            break;
          case OpCode::Add:
          case OpCode::Sub:
          case OpCode::Mul: {
            Variant* a = sp - 2;
            Variant* b = sp - 1;
            if (IsWhole(*a) && IsWhole(*b)) {
              int32_t r;
              const bool overflow = in.op == OpCode::Add   ? __builtin_add_overflow(WholeOf(*a), WholeOf(*b), &r)
                                    : in.op == OpCode::Sub ? __builtin_sub_overflow(WholeOf(*a), WholeOf(*b), &r)
                                                           : __builtin_mul_overflow(WholeOf(*a), WholeOf(*b), &r);
              if (!overflow) {
                new (a) Variant(WholeResult(*a, *b, r));
                --sp;
                break;
              }
            }
            double x, y;
            if (PlainNumbers(*a, *b, x, y)) {
              const double r = in.op == OpCode::Add ? x + y : in.op == OpCode::Sub ? x - y : x * y;
              if (std::isfinite(r)) {
                new (a) Variant(r);
                --sp;
                break;
              }
            }
            Variant r = in.op == OpCode::Add ? Add(*a, *b) : in.op == OpCode::Sub ? Subtract(*a, *b) : Multiply(*a, *b);
            Destroy(b);
            Destroy(a);
            MoveInto(a, &r);
            --sp;
            break;
          }
#define ZANTREL_BINARY(OP, FN)     \
  case OpCode::OP: {               \
    Variant r = FN(sp[-2], sp[-1]); \
    Destroy(--sp);                 \
    Destroy(sp - 1);               \
    MoveInto(sp - 1, &r);          \
    break;                         \
  }
          ZANTREL_BINARY(Div, Divide)
          ZANTREL_BINARY(IntDiv, IntDivide)
          ZANTREL_BINARY(Mod, Modulo)
          ZANTREL_BINARY(Pow, Power)
          ZANTREL_BINARY(And, And)
          ZANTREL_BINARY(Or, Or)
          ZANTREL_BINARY(Xor, Xor)
          ZANTREL_BINARY(Eqv, Eqv)
          ZANTREL_BINARY(Imp, Imp)
#undef ZANTREL_BINARY
          case OpCode::Concat: {
            Variant* a = sp - 2;
            Variant* b = sp - 1;
            if (a->IsString() && !b->IsObject()) {
              AppendText(a->RawMutableString(), *b);
              Destroy(--sp);
              break;
            }
            Variant r = Concat(*a, *b);
            Destroy(b);
            Destroy(a);
            MoveInto(a, &r);
            --sp;
            break;
          }
          case OpCode::Eq:
          case OpCode::Ne:
          case OpCode::Lt:
          case OpCode::Le:
          case OpCode::Gt:
          case OpCode::Ge: {
            Variant* a = sp - 2;
            Variant* b = sp - 1;
            const CompareOp op = static_cast<CompareOp>(static_cast<int>(in.op) - static_cast<int>(OpCode::Eq));
            if (IsWhole(*a) && IsWhole(*b)) {
              const int32_t x = WholeOf(*a), y = WholeOf(*b);
              const int c = x < y ? -1 : x > y ? 1 : 0;
              new (a) Variant(CompareResult(c, op));
              --sp;
              break;
            }
            double x, y;
            if (PlainNumbers(*a, *b, x, y)) {
              new (a) Variant(CompareResult(x < y ? -1 : x > y ? 1 : 0, op));
              --sp;
              break;
            }
            if (a->IsString() && b->IsString()) {
              const int c = a->RawString().compare(b->RawString());
              const bool r = CompareResult(c < 0 ? -1 : c > 0 ? 1 : 0, op);
              Destroy(b);
              Destroy(a);
              new (a) Variant(r);
              --sp;
              break;
            }
            Variant r = Compare(*a, *b, op);
            Destroy(b);
            Destroy(a);
            MoveInto(a, &r);
            --sp;
            break;
          }
          case OpCode::EqLocalConst: {
            const Variant& a = f->locals[in.b];
            const Variant& b = f->fn->constants[in.c];
            if (a.IsString() && b.IsString()) {
              new (sp++) Variant(a.RawString() == b.RawString());
            } else {
              Variant r = Compare(a, b, CompareOp::Eq);
              MoveInto(sp++, &r);
            }
            break;
          }
          case OpCode::Is: {
            const bool r = Is(sp[-2], sp[-1]);
            Destroy(--sp);
            Destroy(sp - 1);
            new (sp - 1) Variant(r);
            break;
          }
          case OpCode::Neg: {
            Variant r = Negate(sp[-1]);
            Destroy(sp - 1);
            MoveInto(sp - 1, &r);
            break;
          }
          case OpCode::Not: {
            Variant r = Not(sp[-1]);
            Destroy(sp - 1);
            MoveInto(sp - 1, &r);
            break;
          }
          case OpCode::Jump:
            if (in.c < pc - f->fn->code.data() && (++rt_.tick_ & 0x3ff) == 0) rt_.CheckTime();
            pc = f->fn->code.data() + in.c;
            break;
          case OpCode::JumpIfFalse:
          case OpCode::JumpIfTrue: {
            --sp;
            const bool t = sp->type() == VarType::Boolean ? sp->RawBoolean() : Truth(*sp);
            Destroy(sp);
            if (t == (in.op == OpCode::JumpIfTrue)) {
              if (in.c < pc - f->fn->code.data() && (++rt_.tick_ & 0x3ff) == 0) rt_.CheckTime();
              pc = f->fn->code.data() + in.c;
            }
            break;
          }
          case OpCode::ForInit: {
            const Instr extra = *pc++;
            Variant* hidden = f->locals + extra.b;
            hidden[0] = ForBound(sp[-2]);
            hidden[1] = ForBound(sp[-1]);
            Destroy(--sp);
            Destroy(--sp);
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            StoreLet(v, --sp);
            Destroy(sp);
            if (!ForInRange(*v, hidden[0], hidden[1])) pc = f->fn->code.data() + extra.c;
            break;
          }
          case OpCode::ForNext: {
            const Instr extra = *pc++;
            Variant* hidden = f->locals + extra.b;
            Variant* v = in.b == static_cast<int>(VarKind::Local) ? f->locals + in.c : VarPtr(f, static_cast<VarKind>(in.b), in.c);
            int32_t next;
            if (IsWhole(*v) && IsWhole(hidden[1]) && !__builtin_add_overflow(WholeOf(*v), WholeOf(hidden[1]), &next) &&
                IsWhole(hidden[0])) {
              if (v->type() == VarType::Integer && next >= -32768 && next <= 32767 && hidden[1].type() == VarType::Integer)
                new (v) Variant(static_cast<int16_t>(next));
              else
                new (v) Variant(next);
              if ((++rt_.tick_ & 0x3ff) == 0) rt_.CheckTime();
              const int32_t limit = WholeOf(hidden[0]);
              if (WholeOf(hidden[1]) >= 0 ? next <= limit : next >= limit) pc = f->fn->code.data() + extra.c;
              break;
            } else {
              *v = Add(ForBound(*v), hidden[1]);
            }
            if ((++rt_.tick_ & 0x3ff) == 0) rt_.CheckTime();
            if (ForInRange(*v, hidden[0], hidden[1])) pc = f->fn->code.data() + extra.c;
            break;
          }
          case OpCode::ForEachInit: {
            Variant* c = --sp;
            Ref<Enumerator> e;
            if (c->IsArray()) {
              e = MakeRef<ArrayEnumerator>(*c);
            } else if (c->IsObject() && c->RawObject()) {
              e = c->RawObject()->NewEnum();
            }
            Destroy(sp);
            if (!e) Raise(err::kNotCollection);
            f->locals[in.c] = Variant(Ref<Dispatch>(MakeRef<EnumHolder>(std::move(e))));
            break;
          }
          case OpCode::ForEachNext: {
            const Instr extra = *pc++;
            const Variant& h = f->locals[extra.b];
            auto* holder = h.IsObject() ? static_cast<EnumHolder*>(h.RawObject()) : nullptr;
            Variant item;
            if ((++rt_.tick_ & 0x3ff) == 0) rt_.CheckTime();
            if (!holder || !holder->e->Next(item)) {
              pc = f->fn->code.data() + extra.c;
              break;
            }
            *VarPtr(f, static_cast<VarKind>(in.b), in.c) = std::move(item);
            break;
          }
          case OpCode::Operand:
          case OpCode::Nop: break;
          case OpCode::OnErrorResumeNext:
            f->resumeNext = true;
            rt_.ClearErr();
            break;
          case OpCode::OnErrorGoto0:
            f->resumeNext = false;
            rt_.ClearErr();
            break;
          case OpCode::Return: {
            Variant result;
            if (in.a) {
              --sp;
              MoveInto(&result, sp);
              new (sp) Variant();
              Destroy(sp);
            } else if (f->fn->resultSlot >= 0) {
              MoveInto(&result, f->locals + f->fn->resultSlot);
            }
            const bool entry = f->entry, keep = f->keep, drop = f->dropObject;
            Variant* locals = f->locals;
            Leave(f, sp);
            if (entry) return result;
            f = &rt_.frames_.back();
            pc = f->pc;
            sp = locals;
            if (drop) Destroy(--sp);  // the object of a member call
            if (keep) MoveInto(sp++, &result);
            break;
          }
        }
      }
    } catch (const Error& e) {
      if (!Handle(e, f, pc, sp, entryDepth)) throw;
    } catch (const ScriptAbort&) {
      while (rt_.frames_.size() >= entryDepth) {
        Frame* top = &rt_.frames_.back();
        const bool entry = top->entry;
        Variant* locals = top->locals;
        Leave(top, sp);
        sp = locals;
        if (entry) break;
      }
      throw;
    } catch (const std::bad_alloc&) {
      if (!Handle(Error(err::kOutOfMemory, "Out of memory"), f, pc, sp, entryDepth)) Raise(err::kOutOfMemory);
    } catch (const std::length_error&) {
      if (!Handle(Error(err::kOutOfMemory, "Out of memory"), f, pc, sp, entryDepth)) Raise(err::kOutOfMemory);
    }
  }
}

// --- Runtime entry points ---

namespace {

// Counts C++ re-entries and sets the deadline when the outermost run starts.
class RunScope {
 public:
  explicit RunScope(int& nested, bool& deadlineSet, std::chrono::steady_clock::time_point& deadline, int32_t ms)
      : nested_(nested), deadlineSet_(deadlineSet) {
    if (nested_ == 0) {
      deadlineSet_ = ms > 0;
      if (deadlineSet_) deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    }
    ++nested_;
    if (nested_ > 200) {
      --nested_;
      Raise(err::kOutOfStack);
    }
  }
  ~RunScope() {
    if (--nested_ == 0) deadlineSet_ = false;
  }

 private:
  int& nested_;
  bool& deadlineSet_;
};

}  // namespace

// The frame of a run entered from the host or from Execute/Eval.
Frame Runtime::EntryFrame(const Function& fn, Variant* locals, Variant** refs, ScriptObject* me) const {
  Frame fr;
  fr.fn = &fn;
  fr.pc = fn.code.data();
  fr.locals = locals;
  fr.refs = refs;
  fr.me = me;
  fr.pendingMark = static_cast<uint32_t>(pending_.size());
  fr.pinMark = static_cast<uint32_t>(pins_.size());
  fr.refTop = refTop_;
  fr.entry = true;
  fr.keep = true;
  return fr;
}

// Pushes the frame, runs it to its end and gives the value stack back.
Variant Runtime::ExecuteFrame(const Frame& fr, Variant* top) {
  Variant* savedTop = top_;
  frames_.push_back(fr);
  top_ = top;
  struct RestoreTop {
    Variant*& top;
    Variant* saved;
    ~RestoreTop() { top = saved; }
  } restore{top_, savedTop};
  return Machine(*this).Execute();
}

Variant Runtime::Call(const Function& fn, ScriptObject* me, Args args) {
  RunScope scope(nested_, deadlineSet_, deadline_, timeoutMs_);
  if (args.size() != fn.paramCount) Raise(err::kWrongArguments);
  Variant* base = top_;
  if (frames_.size() >= kMaxDepth || base + fn.localCount + fn.maxStack + 8 >= stack_ + kStackSlots ||
      refTop_ + args.size() >= refStack_.size())
    Raise(err::kOutOfStack);
  for (std::size_t i = 0; i < args.size(); ++i) CopyInto(base + i, args[i]);
  for (uint32_t i = static_cast<uint32_t>(args.size()); i < fn.localCount; ++i) new (base + i) Variant();
  Variant** refs = refStack_.data() + refTop_;
  for (std::size_t i = 0; i < args.size(); ++i) refs[i] = fn.byRef[i] ? &args[i] : base + i;
  Frame fr = EntryFrame(fn, base, refs, me);
  refTop_ += static_cast<uint32_t>(args.size());
  return ExecuteFrame(fr, base + fn.localCount + fn.maxStack);
}

Variant Runtime::RunIn(const Function& fn, Frame* outer) {
  RunScope scope(nested_, deadlineSet_, deadline_, timeoutMs_);
  Variant* base = top_;
  if (frames_.size() >= kMaxDepth || base + fn.localCount + fn.maxStack + 8 >= stack_ + kStackSlots) Raise(err::kOutOfStack);
  for (uint32_t i = 0; i < fn.localCount; ++i) new (base + i) Variant();
  Frame fr = EntryFrame(fn, base, refStack_.data() + refTop_, outer ? outer->me : nullptr);
  fr.outer = outer;
  // Execute text inside a procedure keeps its On Error setting.
  fr.resumeNext = outer && fn.kind == FnKind::Execute ? outer->resumeNext : false;
  return ExecuteFrame(fr, base + fn.localCount + fn.maxStack);
}

}  // namespace zantrel::script
