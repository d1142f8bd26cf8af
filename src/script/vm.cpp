// The machine: one loop over the instructions of the running frame. Calls
// between script procedures (and methods of script objects) push a frame and
// stay in the loop, so deep recursion costs no C++ stack and ends in error 28.
// A raised error unwinds frames until one has On Error Resume Next, which then
// continues at the statement after the one that failed.
#include <algorithm>
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

// An operand of the fused operators: a local, or a ByRef parameter's variable.
inline const Variant& FrameOperand(const Frame* f, int32_t operand) {
  return operand & kRefOperand ? *f->refs[operand & (kRefOperand - 1)] : f->locals[operand];
}

// Pushes a call's result when the caller wants it, else releases it at once:
// handlers leave by a computed jump, which skips the destructors of their locals.
inline void KeepOrRelease(bool keep, Variant*& sp, Variant& r) {
  if (keep) MoveInto(sp++, &r);
  else r = Variant();
}

CompareOp CompareOpOf(OpCode op) {
  return static_cast<CompareOp>(static_cast<int>(op) - static_cast<int>(OpCode::Eq));
}

// a op b for + - * and the comparisons when both are Integer, Long or Double,
// constructed in the raw slot out; false when the general operator is needed
// (other types, or a result that leaves the range the fast path covers).
inline bool PlainArith(OpCode op, const Variant& a, const Variant& b, Variant* out) {
  if (IsWhole(a) && IsWhole(b)) {
    const int32_t x = WholeOf(a), y = WholeOf(b);
    int32_t r;
    switch (op) {
      case OpCode::Add:
        if (__builtin_add_overflow(x, y, &r)) break;
        new (out) Variant(WholeResult(a, b, r));
        return true;
      case OpCode::Sub:
        if (__builtin_sub_overflow(x, y, &r)) break;
        new (out) Variant(WholeResult(a, b, r));
        return true;
      case OpCode::Mul:
        if (__builtin_mul_overflow(x, y, &r)) break;
        new (out) Variant(WholeResult(a, b, r));
        return true;
      default: new (out) Variant(CompareResult(x < y ? -1 : x > y ? 1 : 0, CompareOpOf(op))); return true;
    }
  }
  double x, y;
  if (!PlainNumbers(a, b, x, y)) return false;
  double r;
  switch (op) {
    case OpCode::Add: r = x + y; break;
    case OpCode::Sub: r = x - y; break;
    case OpCode::Mul: r = x * y; break;
    default: new (out) Variant(CompareResult(x < y ? -1 : x > y ? 1 : 0, CompareOpOf(op))); return true;
  }
  if (!std::isfinite(r)) return false;
  new (out) Variant(r);
  return true;
}

// The same for any operands: strings compared in place, the rest by the general operators.
Variant ArithValue(OpCode op, const Variant& a, const Variant& b) {
  if (op >= OpCode::Eq && a.IsString() && b.IsString()) {
    const int c = a.RawString().compare(b.RawString());
    return Variant(CompareResult(c < 0 ? -1 : c > 0 ? 1 : 0, CompareOpOf(op)));
  }
  switch (op) {
    case OpCode::Add: return Add(a, b);
    case OpCode::Sub: return Subtract(a, b);
    case OpCode::Mul: return Multiply(a, b);
    default: return Compare(a, b, CompareOpOf(op));
  }
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
  const ClassMember* ScriptMember(ScriptObject& obj, const Frame* f, int32_t site);
  DispId HostMemberId(const Function& fn, int32_t site, Dispatch& d);
  Variant InvokeHost(Dispatch& d, DispId id, InvokeKind kind, Variant* args, int n);
  // Counts a text's bytes or an array's elements as work for the time-out.
  void Charge(const Variant& v) {
    if (v.IsString()) rt_.WorkBytes(v.RawString().size());
    else if (v.IsArray()) rt_.WorkBytes(v.RawArray()->size() * sizeof(Variant));
  }
  void DropPending(Variant* from);
  void WriteBack(Variant* from);
  void Leave(Frame* f, Variant* sp);
  // The loop's registers, handed to Handle by value so that the loop's own
  // copies never have their address taken (they stay in machine registers).
  struct Position {
    Frame* f;
    const Instr* pc;
    Variant* sp;
  };
  bool Handle(const Error& e, Position& at, std::size_t entryDepth);
  void UndoAppend(Frame* f, int32_t faultPc);
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
  if (n != fn.paramCount) RaiseNamed(err::kWrongArguments, fn.name);
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
  // Built in place: a frame assembled on the C++ stack and copied over costs
  // more than the rest of the call. dropObject: the object of a member call
  // sits right below the arguments.
  rt_.frames_.emplace_back(&fn, fn.code.data(), args, refs, me, outer, nullptr,
                           static_cast<uint32_t>(rt_.pending_.size()), static_cast<uint32_t>(rt_.pins_.size()),
                           rt_.refTop_, false, keep, false, dropObject);
  rt_.refTop_ += n;
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
  if (r.kind != ResolvedKind::None) RaiseNamed(501, name);
  if (f->fn->optionExplicit) RaiseNamed(err::kVariableUndefined, name);
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

// Let assignment; the value's slot is left Empty. A variable that holds an
// object takes the new value in its place; an object value gives its default.
void Machine::StoreLet(Variant* target, Variant* value) {
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
  if (n < b.minArgs || n > b.maxArgs) RaiseNamed(err::kWrongArguments, b.name);
  if (!(b.flags & kKeepObjects))
    for (int i = 0; i < n; ++i)
      if (args[i].IsObject()) args[i] = DefaultValue(args[i]);
  BuiltinContext cx{rt_, f};
  Variant r = b.fn(cx, Args(args, n));
  Charge(r);
  return r;
}

// The member a call site names, remembered per site for objects of one class.
const ClassMember* Machine::ScriptMember(ScriptObject& obj, const Frame* f, int32_t site) {
  ClassDef& cls = obj.cls();
  MemberCache& c = f->fn->memberCache[site];
  if (c.cls == &cls && c.serial == cls.serial) {
    const ClassMember& cm = cls.members[c.id];
    if (cm.isPublic || f->me == &obj) return &cm;
  }
  const std::string& name = f->fn->names[site];
  if (name.empty()) {
    if (cls.defaultId == kDispUnknown) Raise(err::kNotSupported);
    return &cls.members[cls.defaultId - 1];
  }
  const int32_t m = cls.Find(name);
  if (m < 0) RaiseNamed(err::kNotSupported, name);
  const ClassMember& cm = cls.members[m];
  if (!cm.isPublic && !(f->me == &obj)) RaiseNamed(err::kNotSupported, name);
  c.type = nullptr;  // the host objects' key; the id is this class's now
  c.cls = &cls;
  c.serial = cls.serial;
  c.id = m;
  return &cm;
}

DispId Machine::HostMemberId(const Function& fn, int32_t site, Dispatch& d) {
  const std::string& name = fn.names[site];
  if (name.empty()) return kDispDefault;
  MemberCache& c = fn.memberCache[site];
  const std::type_info& t = typeid(d);
  if (c.type == &t) return c.id;
  const DispId id = d.MemberId(name);
  if (id == kDispUnknown) RaiseNamed(err::kNotSupported, name);
  c.cls = nullptr;
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
bool Machine::Handle(const Error& e, Position& at, std::size_t entryDepth) {
  Frame*& f = at.f;
  const Instr*& pc = at.pc;
  Variant*& sp = at.sp;
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
      UndoAppend(f, faultPc);
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

// A statement that appends to a local in place and fails puts the local back
// as AppendBegin saved it: its text length, or its value when not a string.
void Machine::UndoAppend(Frame* f, int32_t faultPc) {
  const StmtPos* at = f->fn->StatementAt(faultPc);
  if (!at || f->fn->code[at->pc].op != OpCode::AppendBegin) return;
  const Instr& begin = f->fn->code[at->pc];
  Variant* t = f->locals + begin.c;
  const Variant* saved = f->locals + begin.b;
  if (saved[1].type() == VarType::Boolean && t->IsString())
    t->RawMutableString().resize(std::min<std::size_t>(t->RawString().size(), saved[0].RawLong()));
  else
    *t = saved[0];
}

// Each instruction's handler ends by jumping straight to the next one's
// (threaded dispatch: one indirect jump per handler, which the processor
// predicts far better than the single jump of a switch); rare handlers just
// break back to the switch.
#define ZANTREL_CASE(name) \
  case OpCode::name:       \
  op_##name:
#define ZANTREL_NEXT()                                  \
  do {                                                  \
    in = *pc++;                                         \
    goto* kDispatch[static_cast<uint8_t>(in.op)];       \
  } while (0)

Variant Machine::Execute() {
#define ZANTREL_OP_LABEL(name, operands, effect) &&op_##name,
  static const void* const kDispatch[] = {ZANTREL_SCRIPT_OPCODES(ZANTREL_OP_LABEL)};
#undef ZANTREL_OP_LABEL
  const std::size_t entryDepth = rt_.frames_.size();
  Frame* f = &rt_.frames_.back();
  const Instr* pc = f->pc;
  Variant* sp = f->locals + f->fn->localCount;
  Instr in;
  for (;;) {
    try {
      for (;;) {
        in = *pc++;
        switch (in.op) {
          ZANTREL_CASE(PushConst) CopyInto(sp++, f->fn->constants[in.c]); ZANTREL_NEXT();
          ZANTREL_CASE(PushEmpty) new (sp++) Variant(); ZANTREL_NEXT();
          ZANTREL_CASE(PushNothing) new (sp++) Variant(Variant::Nothing()); ZANTREL_NEXT();
          ZANTREL_CASE(PushMe) new (sp++) Variant(Ref<Dispatch>(f->me)); ZANTREL_NEXT();
          ZANTREL_CASE(Pop) Destroy(--sp); ZANTREL_NEXT();
          ZANTREL_CASE(LoadLocal) CopyInto(sp++, f->locals[in.c]); ZANTREL_NEXT();
          ZANTREL_CASE(StoreLocal) {
            Variant* t = f->locals + in.c;
            --sp;
            if (IsPlain(t->type()) && IsPlain(sp->type())) MoveInto(t, sp);  // the slot at sp is raw now
            else StoreLet(t, sp);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Load) {
            const VarKind kind = static_cast<VarKind>(in.b);
            if (kind == VarKind::Ref) CopyInto(sp++, *f->refs[in.c]);
            else if (kind == VarKind::Global) CopyInto(sp++, rt_.Cell(in.c));
            else CopyInto(sp++, *VarPtr(f, kind, in.c));
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Store) {
            Variant* t = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            StoreLet(t, --sp);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(SetVar) {
            Variant* t = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            --sp;
            StoreSet(t, sp);
            Destroy(sp);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(AppendLocal)
          ZANTREL_CASE(Append) {
            Variant* t = in.op == OpCode::AppendLocal ? f->locals + in.c : VarPtr(f, static_cast<VarKind>(in.b), in.c);
            --sp;
            Charge(*sp);
            if (t->IsString() && !sp->IsObject()) AppendText(t->RawMutableString(), *sp);
            else *t = Concat(*t, *sp);
            Destroy(sp);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(AppendConst) {
            Variant* t = f->locals + in.b;
            const Variant& v = f->fn->constants[in.c];
            if (t->IsString()) t->RawMutableString() += v.RawString();
            else *t = Concat(*t, v);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(AppendBegin) {
            const Variant& t = f->locals[in.c];
            Variant* saved = f->locals + in.b;
            if (t.IsString()) {
              saved[0] = Variant(static_cast<int32_t>(t.RawString().size()));
              saved[1] = Variant(true);
            } else {
              saved[0] = t;
              saved[1] = Variant();
            }
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(AppendStack) {
            const int n = in.a;
            Variant* args = sp - n;
            Variant* t = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            for (int i = 0; i < n; ++i)
              if (args[i].IsObject()) args[i] = DefaultValue(args[i]);
            for (int i = 0; i < n; ++i) {
              Charge(args[i]);
              if (t->IsString()) AppendText(t->RawMutableString(), args[i]);
              else *t = Concat(*t, args[i]);
            }
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(AppendElem) {
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
              Charge(e);
              if (!e.IsObject()) AppendText(t->RawMutableString(), e);
              else *t = Concat(*t, e);
            } else {
              Variant e = IndexOf(*src, args, n);
              *t = Concat(*t, e);
            }
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(ArgVar) {
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
                ZANTREL_NEXT();
              } else {
                Variant res = CallBuiltin(f, r.index, sp, 0);
                MoveInto(sp++, &res);
                ZANTREL_NEXT();
              }
            } else {
              t = kind == VarKind::Local ? f->locals + in.c : VarPtr(f, kind, in.c);
            }
            CopyInto(sp, *t);
            rt_.pending_.push_back(PendingRef{static_cast<uint32_t>(sp - rt_.stack_), t, nullptr});
            ++sp;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Index) {
            const int n = in.a;
            Variant* args = sp - n;
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            Variant r = IndexOf(*v, args, n);
            WriteBack(args);
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            MoveInto(sp++, &r);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(StoreIndex)
          ZANTREL_CASE(SetIndex) {
            const int n = in.a;
            Variant* args = sp - n - 1;
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            StoreIndexed(*v, args, n, sp - 1, in.op == OpCode::SetIndex);
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(ArgIndex) {
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
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(DimArray) {
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
            Charge(*v);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(ReDim) {
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
                Charge(*v);
                ZANTREL_NEXT();
              }
            } else if (preserve && !v->IsEmpty()) {
              Raise(err::kTypeMismatch);
            }
            *v = Variant(MakeRef<SafeArray>(std::move(bounds)));
            Charge(*v);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Erase) {
            Variant* v = VarPtr(f, static_cast<VarKind>(in.b), in.c);
            if (!v->IsArray()) Raise(err::kTypeMismatch);
            if (v->AsArray().fixed()) {
              for (Variant& e : v->MutableArray().data()) e = Variant();
            } else {
              *v = Variant(MakeRef<SafeArray>(std::vector<SafeArray::Bound>{}));
            }
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(LoadName) {
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
              if (f->fn->optionExplicit) RaiseNamed(err::kVariableUndefined, f->fn->names[in.c]);
              new (sp++) Variant();
            }
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(CallName) {
            const int n = in.a;
            Variant* args = sp - n;
            const Resolved r = ResolveName(f, in.c);
            if (Variant* d = DynamicVar(f, in.c, false)) {
              Variant res = IndexOf(*d, args, n);
              WriteBack(args);
              for (Variant* p = sp; p != args;) Destroy(--p);
              sp = args;
              KeepOrRelease(in.b & 1, sp, res);
              ZANTREL_NEXT();
            }
            if (r.kind == ResolvedKind::Proc) {
              const Ref<Function>& fn = rt_.Proc(r.index);
              if (!fn) Raise(err::kTypeMismatch);
              f->pc = pc;
              Enter(*fn, nullptr, args, n, in.b & 1, false);
              f = &rt_.frames_.back();
              pc = f->pc;
              sp = f->locals + f->fn->localCount;
              ZANTREL_NEXT();
            }
            Variant res;
            if (r.kind == ResolvedKind::Cell) {
              res = IndexOf(rt_.Cell(r.index), args, n);
              WriteBack(args);
            } else if (r.kind == ResolvedKind::Builtin) {
              DropPending(args);
              res = CallBuiltin(f, r.index, args, n);
            } else {
              RaiseNamed(err::kTypeMismatch, f->fn->names[in.c]);
            }
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            KeepOrRelease(in.b & 1, sp, res);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(CallProc) {
            const Ref<Function>& fn = rt_.Proc(in.c);
            if (!fn) Raise(err::kTypeMismatch);
            rt_.Work();
            f->pc = pc;
            Enter(*fn, nullptr, sp - in.a, in.a, in.b & 1, false);
            f = &rt_.frames_.back();
            pc = f->pc;
            sp = f->locals + f->fn->localCount;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(CallBuiltin) {
            const int n = in.a;
            Variant* args = sp - n;
            Variant res = CallBuiltin(f, in.c, args, n);
            for (Variant* p = sp; p != args;) Destroy(--p);
            sp = args;
            KeepOrRelease(in.b & 1, sp, res);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(CallMethod) {
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
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(IndexValue) {
            const int n = in.a;
            Variant* args = sp - n;
            Variant r = IndexOf(args[-1], args, n);
            for (Variant* p = sp; p != args - 1;) Destroy(--p);
            sp = args - 1;
            MoveInto(sp++, &r);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(GetMember) {
            const int n = in.a;
            Variant* args = sp - n;
            Variant* objv = args - 1;
            const bool keep = in.b & 1;
            if (!objv->IsObject() || !objv->RawObject()) RaiseNamed(err::kObjectRequired, f->fn->names[in.c]);
            Dispatch* d = objv->RawObject();
            if (ScriptObject* so = AsScriptObject(d)) {
              const ClassMember* m = ScriptMember(*so, f, in.c);
              if (m->field < 0) {
                const Function* fn = m->get ? m->get.get() : m->method.get();
                if (!fn) Raise(err::kNotSupported);
                if (n > 0 && fn->paramCount == 0) {  // obj.Prop(i): index what Prop returns
                  DropPending(args);
                  Variant inner = rt_.Call(*fn, so, {});
                  Variant r = IndexOf(inner, args, n);
                  inner = Variant();
                  for (Variant* p = sp; p != objv;) Destroy(--p);
                  sp = objv;
                  KeepOrRelease(keep, sp, r);
                  ZANTREL_NEXT();
                }
                f->pc = pc;
                Enter(*fn, so, args, n, keep, true);
                f = &rt_.frames_.back();
                pc = f->pc;
                sp = f->locals + f->fn->localCount;
                ZANTREL_NEXT();
              }
              DropPending(args);
              Variant r = n ? IndexOf(so->fields()[m->field], args, n) : so->fields()[m->field];
              for (Variant* p = sp; p != objv;) Destroy(--p);
              sp = objv;
              KeepOrRelease(keep, sp, r);
              ZANTREL_NEXT();
            }
            const DispId id = HostMemberId(*f->fn, in.c, *d);
            Variant r = InvokeHost(*d, id, keep ? InvokeKind::Get : InvokeKind::Call, args, n);
            WriteBack(args);
            for (Variant* p = sp; p != objv;) Destroy(--p);
            sp = objv;
            KeepOrRelease(keep, sp, r);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(LetMember)
          ZANTREL_CASE(SetMember) {
            const int n = in.a;
            const bool isSet = in.op == OpCode::SetMember;
            Variant* args = sp - n - 1;
            Variant* objv = args - 1;
            if (!objv->IsObject() || !objv->RawObject()) RaiseNamed(err::kObjectRequired, f->fn->names[in.c]);
            Dispatch* d = objv->RawObject();
            if (isSet && !sp[-1].IsObject()) Raise(err::kObjectRequired);
            if (ScriptObject* so = AsScriptObject(d)) {
              const ClassMember* m = ScriptMember(*so, f, in.c);
              if (m->field >= 0) {
                Variant& field = so->fields()[m->field];
                if (n) StoreIndexed(field, args, n, sp - 1, isSet);
                else if (isSet) StoreSet(&field, sp - 1);
                else StoreLet(&field, sp - 1);
                for (Variant* p = sp; p != objv;) Destroy(--p);
                sp = objv;
                ZANTREL_NEXT();
              }
              const Function* fn = isSet ? m->set.get() : m->let.get();
              if (!fn) Raise(err::kNotSupported);
              f->pc = pc;
              Enter(*fn, so, args, n + 1, false, true);
              f = &rt_.frames_.back();
              pc = f->pc;
              sp = f->locals + f->fn->localCount;
              ZANTREL_NEXT();
            }
            const DispId id = HostMemberId(*f->fn, in.c, *d);
            if (!isSet && sp[-1].IsObject()) sp[-1] = DefaultValue(sp[-1]);
            d->Invoke(id, isSet ? InvokeKind::Set : InvokeKind::Let, Args(args, n + 1));
            for (Variant* p = sp; p != objv;) Destroy(--p);
            sp = objv;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(New) {
            Variant obj = rt_.NewNamed(f->fn->module, f->fn->names[in.c]);
            MoveInto(sp++, &obj);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(CheckObject)
            if (!sp[-1].IsObject()) Raise(err::kObjectRequired);
            ZANTREL_NEXT();
          ZANTREL_CASE(Raise) Raise(in.c);
          ZANTREL_CASE(Add)
          ZANTREL_CASE(Sub)
          ZANTREL_CASE(Mul) {
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
                ZANTREL_NEXT();
              }
            }
            double x, y;
            if (PlainNumbers(*a, *b, x, y)) {
              const double r = in.op == OpCode::Add ? x + y : in.op == OpCode::Sub ? x - y : x * y;
              if (std::isfinite(r)) {
                new (a) Variant(r);
                --sp;
                ZANTREL_NEXT();
              }
            }
            Variant r = in.op == OpCode::Add ? Add(*a, *b) : in.op == OpCode::Sub ? Subtract(*a, *b) : Multiply(*a, *b);
            Destroy(b);
            Destroy(a);
            MoveInto(a, &r);
            --sp;
            ZANTREL_NEXT();
          }
#define ZANTREL_BINARY(OP, FN)     \
  ZANTREL_CASE(OP) {               \
    Variant r = FN(sp[-2], sp[-1]); \
    Destroy(--sp);                 \
    Destroy(sp - 1);               \
    MoveInto(sp - 1, &r);          \
    ZANTREL_NEXT();                \
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
          ZANTREL_CASE(Concat) {
            Variant* a = sp - 2;
            Variant* b = sp - 1;
            Charge(*b);
            if (a->IsString() && !b->IsObject()) {
              AppendText(a->RawMutableString(), *b);
              Destroy(--sp);
              ZANTREL_NEXT();
            }
            Variant r = Concat(*a, *b);
            Destroy(b);
            Destroy(a);
            MoveInto(a, &r);
            --sp;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Eq)
          ZANTREL_CASE(Ne)
          ZANTREL_CASE(Lt)
          ZANTREL_CASE(Le)
          ZANTREL_CASE(Gt)
          ZANTREL_CASE(Ge) {
            Variant* a = sp - 2;
            Variant* b = sp - 1;
            const CompareOp op = CompareOpOf(in.op);
            if (IsWhole(*a) && IsWhole(*b)) {
              const int32_t x = WholeOf(*a), y = WholeOf(*b);
              const int c = x < y ? -1 : x > y ? 1 : 0;
              new (a) Variant(CompareResult(c, op));
              --sp;
              ZANTREL_NEXT();
            }
            double x, y;
            if (PlainNumbers(*a, *b, x, y)) {
              new (a) Variant(CompareResult(x < y ? -1 : x > y ? 1 : 0, op));
              --sp;
              ZANTREL_NEXT();
            }
            if (a->IsString() && b->IsString()) {
              const int c = a->RawString().compare(b->RawString());
              const bool r = CompareResult(c < 0 ? -1 : c > 0 ? 1 : 0, op);
              Destroy(b);
              Destroy(a);
              new (a) Variant(r);
              --sp;
              ZANTREL_NEXT();
            }
            Variant r = Compare(*a, *b, op);
            Destroy(b);
            Destroy(a);
            MoveInto(a, &r);
            --sp;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(ArithLocals)
          ZANTREL_CASE(ArithLocalConst) {
            const OpCode op = static_cast<OpCode>(in.a);
            const Variant& x = FrameOperand(f, in.b);
            const Variant& y = in.op == OpCode::ArithLocals ? FrameOperand(f, in.c) : f->fn->constants[in.c];
            if (!PlainArith(op, x, y, sp)) {
              Variant r = ArithValue(op, x, y);
              MoveInto(sp, &r);
            }
            ++sp;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(ArithLocalsTo)
          ZANTREL_CASE(ArithLocalConstTo) {
            const OpCode op = static_cast<OpCode>(in.a);
            const Variant& x = FrameOperand(f, in.b);
            const int32_t other = in.c & 0xFFFF;
            const Variant& y = in.op == OpCode::ArithLocalsTo ? FrameOperand(f, other) : f->fn->constants[other];
            Variant* t = f->locals + (in.c >> 16);
            if (IsPlain(t->type()) && PlainArith(op, x, y, t)) ZANTREL_NEXT();
            Variant r = ArithValue(op, x, y);
            StoreLet(t, &r);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Is) {
            const bool r = Is(sp[-2], sp[-1]);
            Destroy(--sp);
            Destroy(sp - 1);
            new (sp - 1) Variant(r);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Neg) {
            Variant r = Negate(sp[-1]);
            Destroy(sp - 1);
            MoveInto(sp - 1, &r);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Not) {
            Variant r = Not(sp[-1]);
            Destroy(sp - 1);
            MoveInto(sp - 1, &r);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Jump)
            if (in.c < pc - f->fn->code.data()) rt_.Work();
            pc = f->fn->code.data() + in.c;
            ZANTREL_NEXT();
          ZANTREL_CASE(JumpIfFalse)
          ZANTREL_CASE(JumpIfTrue) {
            --sp;
            const bool t = sp->type() == VarType::Boolean ? sp->RawBoolean() : Truth(*sp);
            Destroy(sp);
            if (t == (in.op == OpCode::JumpIfTrue)) {
              if (in.c < pc - f->fn->code.data()) rt_.Work();
              pc = f->fn->code.data() + in.c;
            }
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(ForInit) {
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
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(ForNext) {
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
              rt_.Work();
              const int32_t limit = WholeOf(hidden[0]);
              if (WholeOf(hidden[1]) >= 0 ? next <= limit : next >= limit) pc = f->fn->code.data() + extra.c;
              ZANTREL_NEXT();
            } else {
              if (hidden[1].IsEmpty()) Raise(err::kForNotInitialized);
              *v = Add(ForBound(*v), hidden[1]);
            }
            rt_.Work();
            if (ForInRange(*v, hidden[0], hidden[1])) pc = f->fn->code.data() + extra.c;
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(ForEachInit) {
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
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(ForEachNext) {
            const Instr extra = *pc++;
            const Variant& h = f->locals[extra.b];
            auto* holder = h.IsObject() ? static_cast<EnumHolder*>(h.RawObject()) : nullptr;
            Variant item;
            rt_.Work();
            if (!holder || !holder->e->Next(item)) {
              pc = f->fn->code.data() + extra.c;
              ZANTREL_NEXT();
            }
            *VarPtr(f, static_cast<VarKind>(in.b), in.c) = std::move(item);
            ZANTREL_NEXT();
          }
          ZANTREL_CASE(Operand)
          ZANTREL_CASE(Nop) ZANTREL_NEXT();
          ZANTREL_CASE(OnErrorResumeNext)
            f->resumeNext = true;
            rt_.ClearErr();
            ZANTREL_NEXT();
          ZANTREL_CASE(OnErrorGoto0)
            f->resumeNext = false;
            rt_.ClearErr();
            ZANTREL_NEXT();
          ZANTREL_CASE(Return) {
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
            KeepOrRelease(keep, sp, result);
            ZANTREL_NEXT();
          }
        }
      }
    } catch (const Error& e) {
      Position at{f, pc, sp};
      if (!Handle(e, at, entryDepth)) throw;
      f = at.f, pc = at.pc, sp = at.sp;
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
      Position at{f, pc, sp};
      if (!Handle(Error(err::kOutOfMemory, "Out of memory"), at, entryDepth)) Raise(err::kOutOfMemory);
      f = at.f, pc = at.pc, sp = at.sp;
    } catch (const std::length_error&) {
      Position at{f, pc, sp};
      if (!Handle(Error(err::kOutOfMemory, "Out of memory"), at, entryDepth)) Raise(err::kOutOfMemory);
      f = at.f, pc = at.pc, sp = at.sp;
    }
  }
}

#undef ZANTREL_NEXT
#undef ZANTREL_CASE

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
