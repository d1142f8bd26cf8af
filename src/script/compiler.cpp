// Compiles a parsed program. Declarations are hoisted: a first pass over each
// body finds Dim, ReDim and Const names and the names it assigns; assigned
// names that are declared nowhere become implicit locals (module variables at
// top level) unless Option Explicit asks for the run-time check. "s = s & x"
// chains whose first operand is the target become in-place appends.
#include "script/compiler.h"

#include <algorithm>

#include "core/error.h"
#include "script/builtins.h"
#include "script/parser.h"
#include "script/runtime.h"

namespace zantrel::script {
namespace {

constexpr uint32_t kMaxLocals = 60000;

// What a name means at a point of the program.
struct Target {
  enum Kind { Var, Const, Proc, Method, Builtin, Unknown } kind = Unknown;
  VarKind var = VarKind::Local;
  int32_t slot = 0;
  Variant value;
};

struct Loop {
  ExitKind kind;
  std::vector<int32_t> exits;
};

// Per function being compiled.
struct FnState {
  Ref<Function> fn;
  NameMap<int32_t> locals;
  NameMap<int32_t> refParams;     // ByRef parameter -> index
  NameMap<Variant> consts;
  std::string selfName;           // Function / Property Get: its name is the result
  ClassDef* cls = nullptr;
  const Frame* outer = nullptr;   // Execute/Eval inside a procedure
  int depth = 0;
  std::vector<Loop> loops;
  std::vector<int32_t> withSlots;
};

OpCode BinaryOpCode(Op op) {
  switch (op) {
    case Op::Imp: return OpCode::Imp;
    case Op::Eqv: return OpCode::Eqv;
    case Op::Xor: return OpCode::Xor;
    case Op::Or: return OpCode::Or;
    case Op::And: return OpCode::And;
    case Op::Eq: return OpCode::Eq;
    case Op::Ne: return OpCode::Ne;
    case Op::Lt: return OpCode::Lt;
    case Op::Gt: return OpCode::Gt;
    case Op::Le: return OpCode::Le;
    case Op::Ge: return OpCode::Ge;
    case Op::Is: return OpCode::Is;
    case Op::Concat: return OpCode::Concat;
    case Op::Add: return OpCode::Add;
    case Op::Sub: return OpCode::Sub;
    case Op::Mod: return OpCode::Mod;
    case Op::IntDiv: return OpCode::IntDiv;
    case Op::Mul: return OpCode::Mul;
    case Op::Div: return OpCode::Div;
    case Op::Pow: return OpCode::Pow;
    default: return OpCode::Nop;
  }
}

class Compiler {
 public:
  Compiler(Runtime& rt, int32_t module, std::string_view source, CompileMode mode, const Frame* outer)
      : rt_(rt), module_(module), mode_(mode), outer_(outer) {
    src_ = MakeRef<SourceText>();
    src_->module = rt.ModuleAt(module).name;
    std::size_t start = 0;
    for (;;) {
      const std::size_t nl = source.find('\n', start);
      std::string_view line = source.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      src_->lines.emplace_back(line);
      if (nl == std::string_view::npos) break;
      start = nl + 1;
    }
    source_ = source;
  }

  Ref<Function> Run() {
    if (mode_ == CompileMode::Eval) return CompileEval();
    Program prog = ParseProgram(source_);
    optionExplicit_ = prog.optionExplicit;
    // Procedures and classes are known before any body is compiled.
    for (const ProcDecl& p : prog.procs) {
      if (unitProcs_.count(p.name)) SyntaxError(1041, p.line, p.column);
      const Module& m = rt_.ModuleAt(module_);
      auto it = m.procs.find(p.name);
      unitProcs_[p.name] = it != m.procs.end() ? it->second : -1;
    }
    for (const ClassDecl& c : prog.classes) {
      if (unitClasses_.count(c.name)) SyntaxError(1041, c.line, c.column);
      unitClasses_[c.name] = MakeRef<ClassDef>();
    }
    Ref<Function> top = CompileTopLevel(prog);
    std::vector<std::pair<std::string, Ref<Function>>> procs;
    for (const ProcDecl& p : prog.procs) procs.emplace_back(p.name, CompileProc(p, nullptr));
    for (const ClassDecl& c : prog.classes) CompileClass(c);
    Commit(procs);
    return top;
  }

 private:
  // --- emitting ---
  Function& F() { return *st_->fn; }
  int32_t Pc() const { return static_cast<int32_t>(st_->fn->code.size()); }
  int32_t Emit(OpCode op, int delta, int a = 0, int b = 0, int32_t c = 0) {
    Instr in;
    in.op = op;
    in.a = static_cast<uint8_t>(a);
    in.b = static_cast<uint16_t>(b);
    in.c = c;
    F().code.push_back(in);
    st_->depth += delta;
    if (st_->depth > static_cast<int>(F().maxStack)) F().maxStack = st_->depth;
    return Pc() - 1;
  }
  void Patch(int32_t at, int32_t target) { F().code[at].c = target; }
  int32_t Const(Variant v) {
    F().constants.push_back(std::move(v));
    return static_cast<int32_t>(F().constants.size() - 1);
  }
  int32_t NameIndex(std::string_view name) {
    F().names.emplace_back(name);
    return static_cast<int32_t>(F().names.size() - 1);
  }
  int32_t Hidden() {
    F().localNames.emplace_back();
    return NewSlot();
  }
  int32_t NewSlot() {
    if (F().localCount >= kMaxLocals) SyntaxError(1001, line_, 1);
    return static_cast<int32_t>(F().localCount++);
  }
  void Statement(int line, int column) {
    line_ = line;
    F().stmts.push_back(StmtPos{Pc(), line, column});
  }
  void CheckArgs(const Expr& e) {
    if (e.args.size() > 250) SyntaxError(1002, e.line, e.column, "Too many arguments");
  }

  // --- scopes ---
  FnState NewState(FnKind kind, std::string name) {
    FnState s;
    s.fn = MakeRef<Function>();
    s.fn->kind = kind;
    s.fn->name = std::move(name);
    s.fn->module = module_;
    s.fn->optionExplicit = optionExplicit_;
    s.fn->source = src_;
    return s;
  }

  int32_t AddLocal(const std::string& name) {
    auto it = st_->locals.find(name);
    if (it != st_->locals.end()) return it->second;
    const int32_t slot = NewSlot();
    F().localNames.resize(F().localCount);
    F().localNames[slot] = name;
    st_->locals.emplace(name, slot);
    return slot;
  }

  bool IsTopLevel() const { return st_->fn->kind == FnKind::TopLevel || st_->fn->kind == FnKind::Execute; }
  bool InProcedure() const { return !IsTopLevel() || (st_->outer && st_->outer->fn && !IsModuleLevelFn(*st_->outer->fn)); }
  static bool IsModuleLevelFn(const Function& f) { return f.kind == FnKind::TopLevel; }

  int32_t GlobalCell(std::string_view name) const {
    auto u = unitGlobals_.find(name);
    if (u != unitGlobals_.end()) return u->second;
    const Module& m = rt_.ModuleAt(module_);
    auto it = m.globals.find(name);
    if (it != m.globals.end()) return it->second;
    if (module_ != 0) {
      const Module& g = rt_.ModuleAt(0);
      auto git = g.globals.find(name);
      if (git != g.globals.end()) return git->second;
    }
    return rt_.NamedObjectCell(name);
  }

  int32_t ProcSlot(std::string_view name) {
    auto u = unitProcs_.find(name);
    if (u != unitProcs_.end()) {
      if (u->second < 0) u->second = rt_.NewProcSlot();
      return u->second;
    }
    const Module& m = rt_.ModuleAt(module_);
    auto it = m.procs.find(name);
    if (it != m.procs.end()) return it->second;
    if (module_ != 0) {
      const Module& g = rt_.ModuleAt(0);
      auto git = g.procs.find(name);
      if (git != g.procs.end()) return git->second;
    }
    return -1;
  }

  Target Lookup(std::string_view name, bool withArgs) {
    Target t;
    FnState& s = *st_;
    if (!s.selfName.empty() && NameEquals(name, s.selfName) && !withArgs) {
      t.kind = Target::Var;
      t.var = VarKind::Local;
      t.slot = F().resultSlot;
      return t;
    }
    if (auto r = s.refParams.find(name); r != s.refParams.end()) {
      t.kind = Target::Var;
      t.var = VarKind::Ref;
      t.slot = r->second;
      return t;
    }
    if (auto l = s.locals.find(name); l != s.locals.end()) {
      t.kind = Target::Var;
      t.var = VarKind::Local;
      t.slot = l->second;
      return t;
    }
    if (auto c = s.consts.find(name); c != s.consts.end()) {
      t.kind = Target::Const;
      t.value = c->second;
      return t;
    }
    if (s.outer && s.outer->fn && OuterLookup(*s.outer->fn, name, t)) return t;
    if (DynamicLookup(name, t)) return t;
    if (ClassDef* cls = s.cls) {
      const int32_t m = cls->Find(name);
      if (m >= 0) {
        if (cls->members[m].field >= 0) {
          t.kind = Target::Var;
          t.var = VarKind::Member;
          t.slot = cls->members[m].field;
        } else {
          t.kind = Target::Method;
          t.slot = m;
        }
        return t;
      }
    }
    if (auto c = unitConsts_.find(name); c != unitConsts_.end()) {
      t.kind = Target::Const;
      t.value = c->second;
      return t;
    }
    if (const int32_t cell = GlobalCell(name); cell >= 0) {
      t.kind = Target::Var;
      t.var = VarKind::Global;
      t.slot = cell;
      return t;
    }
    if (const int32_t slot = ProcSlot(name); slot >= 0) {
      t.kind = Target::Proc;
      t.slot = slot;
      return t;
    }
    if (const Variant* v = FindConstant(name)) {
      t.kind = Target::Const;
      t.value = *v;
      return t;
    }
    if (const int32_t b = FindBuiltin(name); b >= 0) {
      t.kind = Target::Builtin;
      t.slot = b;
      return t;
    }
    return t;
  }

  // Execute and Eval inside a procedure see its variables.
  bool OuterLookup(const Function& outer, std::string_view name, Target& t) {
    if (outer.kind == FnKind::TopLevel) return false;
    for (std::size_t i = 0; i < outer.localNames.size(); ++i) {
      if (outer.localNames[i].empty() || !NameEquals(outer.localNames[i], name)) continue;
      t.kind = Target::Var;
      const bool ref = i < outer.paramCount && outer.byRef[i];
      t.var = ref ? VarKind::OuterRef : VarKind::OuterLocal;
      t.slot = static_cast<int32_t>(i);
      return true;
    }
    if (outer.cls) {
      const int32_t m = outer.cls->Find(name);
      if (m >= 0 && outer.cls->members[m].field >= 0) {
        t.kind = Target::Var;
        t.var = VarKind::Member;
        t.slot = outer.cls->members[m].field;
        return true;
      }
    }
    return false;
  }

  // Names that Execute code declared in the procedure it runs in.
  bool DynamicLookup(std::string_view name, Target& t) {
    const Frame* o = st_->outer;
    if (!o || !o->fn || IsModuleLevelFn(*o->fn)) return false;
    if (!unitDynamic_.count(name) && !(o->dynamic && o->dynamic->count(name))) return false;
    t.kind = Target::Var;
    t.var = VarKind::Dynamic;
    t.slot = NameIndex(std::string(name));
    return true;
  }

  // A variable for a store; unknown names become implicit variables or run-time lookups.
  Target StoreTarget(const std::string& name, int line, int column) {
    Target t = Lookup(name, false);
    if (t.kind == Target::Var || t.kind == Target::Method) return t;
    if (t.kind == Target::Const) SyntaxError(1002, line, column, "Illegal assignment: '" + name + "'");
    t.kind = Target::Var;
    t.var = VarKind::Name;
    t.slot = NameIndex(name);
    return t;
  }

  // --- declarations (hoisting) ---
  void Declare(const Block& body) {
    for (const Stmt& s : body) {
      switch (s.kind) {
        case StmtKind::Dim:
          for (const VarDecl& v : s.vars) DeclareVar(v, true);
          break;
        case StmtKind::ReDim:
          for (const VarDecl& v : s.vars) DeclareVar(v, false);
          break;
        case StmtKind::Const:
          for (const VarDecl& v : s.vars) DeclareConst(v);
          break;
        default: break;
      }
      for (const Branch& b : s.branches) Declare(b.body);
      for (const CaseClause& c : s.cases) Declare(c.body);
      Declare(s.body);
      Declare(s.elseBody);
    }
  }

  bool ModuleScope() const { return IsTopLevel() && !InProcedure(); }

  void DeclareVar(const VarDecl& v, bool explicitDim) {
    if (st_->fn->kind == FnKind::Execute) {  // Execute inside a procedure declares in it
      Target t;
      const bool known = explicitDim ? OuterLookup(*st_->outer->fn, v.name, t) || DynamicLookup(v.name, t)
                                     : Lookup(v.name, false).kind == Target::Var;
      if (!known) unitDynamic_.emplace(v.name, 0);
      return;
    }
    if (ModuleScope()) {
      if (explicitDim && unitGlobals_.count(v.name) && unitDimmed_.count(v.name)) SyntaxError(1041, v.line, v.column);
      if (GlobalCell(v.name) < 0 || explicitDim) {
        if (!unitGlobals_.count(v.name)) {
          const int32_t existing = ExistingModuleGlobal(v.name);
          unitGlobals_[v.name] = existing >= 0 ? existing : rt_.NewCell();
        }
      }
      if (explicitDim) unitDimmed_.insert({v.name, 1});
      return;
    }
    if (explicitDim && st_->locals.count(v.name)) SyntaxError(1041, v.line, v.column);
    if (!explicitDim && Lookup(v.name, false).kind == Target::Var) return;
    AddLocal(v.name);
  }

  int32_t ExistingModuleGlobal(std::string_view name) const {
    const Module& m = rt_.ModuleAt(module_);
    auto it = m.globals.find(name);
    return it == m.globals.end() ? -1 : it->second;
  }

  void DeclareConst(const VarDecl& v) {
    Variant value = ConstEval(*v.value);
    if (ModuleScope()) {
      unitConsts_[v.name] = value;
      if (!unitGlobals_.count(v.name)) {
        const int32_t existing = ExistingModuleGlobal(v.name);
        unitGlobals_[v.name] = existing >= 0 ? existing : rt_.NewCell();
      }
      constCells_.emplace_back(unitGlobals_[v.name], value);
    } else {
      st_->consts[v.name] = value;
    }
  }

  Variant ConstEval(const Expr& e) {
    switch (e.kind) {
      case ExprKind::Literal: return e.value;
      case ExprKind::Nothing: return Variant::Nothing();
      case ExprKind::Paren: return ConstEval(*e.left);
      case ExprKind::Unary: {
        const Variant v = ConstEval(*e.left);
        if (v.type() == VarType::Integer) return v.RawInteger() == -32768 ? Variant(int32_t{32768}) : Variant(static_cast<int16_t>(-v.RawInteger()));
        if (v.type() == VarType::Long) return v.RawLong() == INT32_MIN ? Variant(2147483648.0) : Variant(-v.RawLong());
        if (v.type() == VarType::Double) return Variant(-v.RawDouble());
        SyntaxError(1045, e.line, e.column);
      }
      default: SyntaxError(1045, e.line, e.column);
    }
  }

  // Names assigned in a body but declared nowhere: implicit locals.
  void ImplicitLocals(const Block& body) {
    for (const Stmt& s : body) {
      if ((s.kind == StmtKind::Assign || s.kind == StmtKind::Set) && s.target->kind == ExprKind::Ident)
        Implicit(s.target->name);
      if (s.kind == StmtKind::For || s.kind == StmtKind::ForEach) Implicit(s.name);
      for (const Branch& b : s.branches) ImplicitLocals(b.body);
      for (const CaseClause& c : s.cases) ImplicitLocals(c.body);
      ImplicitLocals(s.body);
      ImplicitLocals(s.elseBody);
    }
  }

  void Implicit(const std::string& name) {
    if (optionExplicit_ || Lookup(name, false).kind != Target::Unknown) return;
    if (st_->fn->kind == FnKind::Execute) unitDynamic_.emplace(name, 0);
    else if (InProcedure()) AddLocal(name);
    else unitGlobals_[name] = rt_.NewCell();
  }

  // Fixed arrays are made when the procedure starts.
  void DimArrays(const Block& body) {
    for (const Stmt& s : body) {
      if (s.kind == StmtKind::Dim) {
        for (const VarDecl& v : s.vars) {
          if (!v.isArray || v.bounds.empty()) continue;
          for (const ExprPtr& b : v.bounds) Expression(*b);
          const Target t = Lookup(v.name, false);
          Emit(OpCode::DimArray, -static_cast<int>(v.bounds.size()), static_cast<int>(v.bounds.size()), static_cast<int>(t.var), t.slot);
        } 
      }
      for (const Branch& b : s.branches) DimArrays(b.body);
      for (const CaseClause& c : s.cases) DimArrays(c.body);
      DimArrays(s.body);
      DimArrays(s.elseBody);
    }
  }

  // Dim a() declares a dynamic array: an empty one until ReDim.
  void DimEmptyArrays(const Block& body) {
    for (const Stmt& s : body) {
      if (s.kind == StmtKind::Dim)
        for (const VarDecl& v : s.vars)
          if (v.isArray && v.bounds.empty()) {
            const Target t = Lookup(v.name, false);
            Emit(OpCode::DimArray, 0, 0, static_cast<int>(t.var), t.slot);
          }
      for (const Branch& b : s.branches) DimEmptyArrays(b.body);
      for (const CaseClause& c : s.cases) DimEmptyArrays(c.body);
      DimEmptyArrays(s.body);
      DimEmptyArrays(s.elseBody);
    }
  }

  // --- functions ---
  Ref<Function> CompileEval() {
    ExprPtr e = ParseExpression(source_);
    FnState s = NewState(FnKind::Eval, "Eval");
    s.outer = outer_;
    if (outer_ && outer_->fn) s.cls = outer_->fn->cls;
    optionExplicit_ = outer_ && outer_->fn ? outer_->fn->optionExplicit : false;
    s.fn->optionExplicit = optionExplicit_;
    st_ = &s;
    Statement(1, 1);
    Expression(*e);
    Emit(OpCode::Return, -1, 1);
    Finish();
    return s.fn;
  }

  Ref<Function> CompileTopLevel(const Program& prog) {
    const bool execute = mode_ == CompileMode::Execute && outer_ && outer_->fn && outer_->fn->kind != FnKind::TopLevel;
    FnState s = NewState(execute ? FnKind::Execute : FnKind::TopLevel, "");
    if (execute) {
      s.outer = outer_;
      s.cls = outer_->fn->cls;
      s.fn->cls = nullptr;
    }
    st_ = &s;
    Declare(prog.statements);
    ImplicitLocals(prog.statements);
    CommitConstCellsEarly();
    DimEmptyArrays(prog.statements);
    DimArrays(prog.statements);
    Block(prog.statements);
    Emit(OpCode::Return, 0);
    Finish();
    return s.fn;
  }

  // Constants are in their cells before any code runs.
  void CommitConstCellsEarly() {}

  Ref<Function> CompileProc(const ProcDecl& p, ClassDef* cls) {
    static constexpr FnKind kKinds[] = {FnKind::Sub, FnKind::Function, FnKind::PropertyGet, FnKind::PropertyLet,
                                        FnKind::PropertySet};
    FnState s = NewState(kKinds[static_cast<int>(p.kind)], p.name);
    s.cls = cls;
    s.fn->cls = cls;
    s.fn->isPublic = p.isPublic;
    s.fn->line = p.line;
    st_ = &s;
    line_ = p.line;
    if (p.params.size() > 250) SyntaxError(1002, p.line, p.column, "Too many parameters");
    s.fn->paramCount = static_cast<uint16_t>(p.params.size());
    for (const Param& prm : p.params) {
      if (s.locals.count(prm.name)) SyntaxError(1041, p.line, p.column);
      const int32_t slot = AddLocal(prm.name);
      s.fn->byRef.push_back(prm.byRef ? 1 : 0);
      if (prm.byRef) s.refParams[prm.name] = slot;
    }
    if (p.kind == ProcKind::Function || p.kind == ProcKind::PropertyGet) {
      s.selfName = p.name;
      s.fn->resultSlot = NewSlot();
      s.fn->localNames.resize(s.fn->localCount);
    }
    Declare(p.body);
    ImplicitLocals(p.body);
    Statement(p.line, p.column);
    DimEmptyArrays(p.body);
    DimArrays(p.body);
    Block(p.body);
    Statement(p.endLine, 1);
    Emit(OpCode::Return, 0);
    Finish();
    return s.fn;
  }

  void Finish() {
    Function& f = F();
    f.localNames.resize(f.localCount);
    f.nameCache.assign(f.names.size(), NameCache{});
    f.memberCache.assign(f.names.size(), MemberCache{});
  }

  void CompileClass(const ClassDecl& c) {
    Ref<ClassDef> cls = unitClasses_[c.name];
    cls->name = c.name;
    cls->module = module_;
    auto addMember = [&](const std::string& name, int line, int col) -> ClassMember& {
      int32_t idx = cls->Find(name);
      if (idx < 0) {
        idx = static_cast<int32_t>(cls->members.size());
        cls->members.emplace_back();
        cls->members.back().name = name;
        cls->memberIndex.emplace(name, idx);
      } else if (cls->members[idx].field >= 0) {
        SyntaxError(1041, line, col);
      }
      return cls->members[idx];
    };
    for (const Stmt& f : c.fields) {
      for (const VarDecl& v : f.vars) {
        if (cls->Find(v.name) >= 0) SyntaxError(1041, v.line, v.column);
        ClassMember& m = addMember(v.name, v.line, v.column);
        m.isPublic = !f.isPrivate;
        m.field = static_cast<int32_t>(cls->fieldNames.size());
        cls->fieldNames.push_back(v.name);
        std::vector<int32_t> bounds;
        for (const ExprPtr& b : v.bounds) {
          const Variant bv = ConstEval(*b);
          if (!bv.IsNumeric()) SyntaxError(1026, v.line, v.column);
          bounds.push_back(CLngOf(bv));
        }
        cls->fieldBounds.push_back(std::move(bounds));
      }
    }
    // Members exist before bodies compile, so methods can call each other.
    for (const ProcDecl& p : c.methods) {
      ClassMember& m = addMember(p.name, p.line, p.column);
      m.isPublic = p.isPublic;
      if (p.isDefault) {
        if (cls->defaultId != kDispUnknown) SyntaxError(1052, p.line, p.column);
        cls->defaultId = cls->Find(p.name) + 1;
      }
    }
    for (const ProcDecl& p : c.methods) {
      Ref<Function> fn = CompileProc(p, cls.get());
      ClassMember& m = cls->members[cls->Find(p.name)];
      Ref<Function>* slot = nullptr;
      switch (p.kind) {
        case ProcKind::Sub:
        case ProcKind::Function: slot = &m.method; break;
        case ProcKind::PropertyGet: slot = &m.get; break;
        case ProcKind::PropertyLet: slot = &m.let; break;
        case ProcKind::PropertySet: slot = &m.set; break;
      }
      if (*slot || (m.method && p.kind != ProcKind::Sub && p.kind != ProcKind::Function) ||
          ((p.kind == ProcKind::Sub || p.kind == ProcKind::Function) && (m.get || m.let || m.set)))
        SyntaxError(1041, p.line, p.column);
      *slot = fn;
      if (NameEquals(p.name, "Class_Initialize") || NameEquals(p.name, "Class_Terminate")) {
        if (!p.params.empty()) SyntaxError(1053, p.line, p.column);
        (NameEquals(p.name, "Class_Initialize") ? cls->initialize : cls->terminate) = fn;
      }
    }
  }

  static int32_t CLngOf(const Variant& v) {
    if (v.type() == VarType::Integer) return v.RawInteger();
    if (v.type() == VarType::Long) return v.RawLong();
    if (v.type() == VarType::Double) return static_cast<int32_t>(v.RawDouble());
    return 0;
  }

  void Commit(std::vector<std::pair<std::string, Ref<Function>>>& procs) {
    Module& m = rt_.ModuleAt(module_);
    for (auto& [name, cell] : unitGlobals_) m.globals[name] = cell;
    for (auto& [name, value] : unitConsts_) m.consts[name] = unitGlobals_[name];
    for (auto& [cell, value] : constCells_) rt_.Cell(cell) = value;
    for (auto& [name, fn] : procs) {
      int32_t slot = unitProcs_[name];
      if (slot < 0) slot = rt_.NewProcSlot();
      rt_.Proc(slot) = fn;
      if (!m.procs.count(name)) m.procOrder.push_back(name);
      m.procs[name] = slot;
    }
    for (auto& [name, cls] : unitClasses_) m.classes[name] = cls;
    rt_.Touch();
  }

  // --- statements ---
  void Block(const ::zantrel::script::Block& b) {
    for (const Stmt& s : b) Stmt_(s);
  }

  void Stmt_(const Stmt& s) {
    Statement(s.line, s.column);
    st_->depth = 0;
    switch (s.kind) {
      case StmtKind::Call: CallStatement(*s.target); break;
      case StmtKind::Assign: Assign(*s.target, *s.value, false); break;
      case StmtKind::Set: Assign(*s.target, *s.value, true); break;
      case StmtKind::Dim:
      case StmtKind::Const:
      case StmtKind::Stop: break;
      case StmtKind::ReDim: ReDim(s); break;
      case StmtKind::Erase:
        for (const VarDecl& v : s.vars) {
          const Target t = StoreTarget(v.name, v.line, v.column);
          if (t.kind != Target::Var) SyntaxError(1002, v.line, v.column);
          Emit(OpCode::Erase, 0, 0, static_cast<int>(t.var), t.slot);
        }
        break;
      case StmtKind::If: If(s); break;
      case StmtKind::Select: Select(s); break;
      case StmtKind::For: For(s); break;
      case StmtKind::ForEach: ForEach(s); break;
      case StmtKind::Do: Do(s); break;
      case StmtKind::While: While(s); break;
      case StmtKind::Exit: Exit(s); break;
      case StmtKind::With: With(s); break;
      case StmtKind::OnErrorResumeNext: Emit(OpCode::OnErrorResumeNext, 0); break;
      case StmtKind::OnErrorGoto0: Emit(OpCode::OnErrorGoto0, 0); break;
    }
  }

  void ReDim(const Stmt& s) {
    for (const VarDecl& v : s.vars) {
      for (const ExprPtr& b : v.bounds) Expression(*b);
      const Target t = StoreTarget(v.name, v.line, v.column);
      if (t.kind != Target::Var) SyntaxError(1002, v.line, v.column);
      if (v.bounds.size() > 60) SyntaxError(1002, v.line, v.column);
      Emit(OpCode::ReDim, -static_cast<int>(v.bounds.size()), static_cast<int>(v.bounds.size()),
           static_cast<int>(t.var) | (s.preserve ? 0x100 : 0), t.slot);
    }
  }

  void If(const Stmt& s) {
    std::vector<int32_t> ends;
    for (std::size_t i = 0; i < s.branches.size(); ++i) {
      const Branch& b = s.branches[i];
      if (i > 0) Statement(b.cond->line, b.cond->column);
      Expression(*b.cond);
      const int32_t skip = Emit(OpCode::JumpIfFalse, -1);
      Block(b.body);
      if (i + 1 < s.branches.size() || !s.elseBody.empty()) {
        Statement(line_, 1);
        ends.push_back(Emit(OpCode::Jump, 0));
      }
      Patch(skip, Pc());
    }
    Block(s.elseBody);
    for (int32_t e : ends) Patch(e, Pc());
  }

  void Select(const Stmt& s) {
    const int32_t sel = Hidden();
    Expression(*s.value);
    Emit(OpCode::StoreLocal, -1, 0, 0, sel);
    std::vector<int32_t> ends;
    for (const CaseClause& c : s.cases) {
      if (c.isElse) {
        Block(c.body);
        break;
      }
      std::vector<int32_t> toBody;
      for (const CaseItem& item : c.items) {
        Emit(OpCode::LoadLocal, 1, 0, 0, sel);
        Expression(*item.a);
        if (item.kind == CaseKind::Value) {
          EmitBinary(OpCode::Eq);
        } else if (item.kind == CaseKind::Is) {
          Emit(BinaryOpCode(item.op), -1);
        } else {
          Emit(OpCode::Ge, -1);
          Emit(OpCode::LoadLocal, 1, 0, 0, sel);
          Expression(*item.b);
          Emit(OpCode::Le, -1);
          Emit(OpCode::And, -1);
        }
        toBody.push_back(Emit(OpCode::JumpIfTrue, -1));
      }
      const int32_t next = Emit(OpCode::Jump, 0);
      for (int32_t j : toBody) Patch(j, Pc());
      Block(c.body);
      Statement(line_, 1);
      ends.push_back(Emit(OpCode::Jump, 0));
      Patch(next, Pc());
    }
    for (int32_t e : ends) Patch(e, Pc());
  }

  Target LoopVar(const std::string& name, int line, int column) {
    Target t = StoreTarget(name, line, column);
    if (t.kind != Target::Var) SyntaxError(1040, line, column);
    return t;
  }

  void For(const Stmt& s) {
    const Target v = LoopVar(s.name, s.line, s.column);
    const int32_t hidden = Hidden();
    Hidden();  // the step
    Expression(*s.value);
    Expression(*s.to);
    if (s.step) Expression(*s.step);
    else Emit(OpCode::PushConst, 1, 0, 0, Const(Variant(int16_t{1})));
    Emit(OpCode::ForInit, -3, 0, static_cast<int>(v.var), v.slot);
    const int32_t exitOperand = Emit(OpCode::Operand, 0, 0, hidden, 0);
    const int32_t body = Pc();
    st_->loops.push_back(Loop{ExitKind::For, {}});
    Block(s.body);
    Statement(line_, 1);
    Emit(OpCode::ForNext, 0, 0, static_cast<int>(v.var), v.slot);
    Emit(OpCode::Operand, 0, 0, hidden, body);
    Patch(exitOperand, Pc());
    for (int32_t e : st_->loops.back().exits) Patch(e, Pc());
    st_->loops.pop_back();
  }

  void ForEach(const Stmt& s) {
    const Target v = LoopVar(s.name, s.line, s.column);
    const int32_t hidden = Hidden();
    Expression(*s.value);
    Emit(OpCode::ForEachInit, -1, 0, 0, hidden);
    Statement(s.line, s.column);  // a failed start under On Error Resume Next goes on here, past the loop
    const int32_t top = Pc();
    Emit(OpCode::ForEachNext, 0, 0, static_cast<int>(v.var), v.slot);
    const int32_t exitOperand = Emit(OpCode::Operand, 0, 0, hidden, 0);
    st_->loops.push_back(Loop{ExitKind::For, {}});
    Block(s.body);
    Statement(line_, 1);
    Emit(OpCode::Jump, 0, 0, 0, top);
    Patch(exitOperand, Pc());
    for (int32_t e : st_->loops.back().exits) Patch(e, Pc());
    st_->loops.pop_back();
    Emit(OpCode::PushNothing, 1);  // drops the enumerator
    Emit(OpCode::SetVar, -1, 0, static_cast<int>(VarKind::Local), hidden);
  }

  void Do(const Stmt& s) {
    const int32_t top = Pc();
    int32_t exitJump = -1;
    st_->loops.push_back(Loop{ExitKind::Do, {}});
    if (s.cond && !s.condAtEnd) {
      Expression(*s.cond);
      exitJump = Emit(s.whileCond ? OpCode::JumpIfFalse : OpCode::JumpIfTrue, -1);
    }
    Block(s.body);
    Statement(line_, 1);
    if (s.cond && s.condAtEnd) {
      Expression(*s.cond);
      Emit(s.whileCond ? OpCode::JumpIfTrue : OpCode::JumpIfFalse, -1, 0, 0, top);
    } else {
      Emit(OpCode::Jump, 0, 0, 0, top);
    }
    if (exitJump >= 0) Patch(exitJump, Pc());
    for (int32_t e : st_->loops.back().exits) Patch(e, Pc());
    st_->loops.pop_back();
  }

  void While(const Stmt& s) {
    const int32_t top = Pc();
    Expression(*s.cond);
    const int32_t exitJump = Emit(OpCode::JumpIfFalse, -1);
    Block(s.body);
    Statement(line_, 1);
    Emit(OpCode::Jump, 0, 0, 0, top);
    Patch(exitJump, Pc());
  }

  void Exit(const Stmt& s) {
    if (s.exitWhat == ExitKind::Do || s.exitWhat == ExitKind::For) {
      for (auto it = st_->loops.rbegin(); it != st_->loops.rend(); ++it) {
        if (it->kind != s.exitWhat) continue;
        it->exits.push_back(Emit(OpCode::Jump, 0));
        return;
      }
      SyntaxError(1039, s.line, s.column);
    }
    const FnKind k = F().kind;
    const bool ok = (s.exitWhat == ExitKind::Function && k == FnKind::Function) ||
                    (s.exitWhat == ExitKind::Sub && k == FnKind::Sub) ||
                    (s.exitWhat == ExitKind::Property &&
                     (k == FnKind::PropertyGet || k == FnKind::PropertyLet || k == FnKind::PropertySet));
    if (!ok) SyntaxError(1039, s.line, s.column);
    Emit(OpCode::Return, 0);
  }

  void With(const Stmt& s) {
    const int32_t slot = Hidden();
    Expression(*s.value);
    Emit(OpCode::SetVar, -1, 0, static_cast<int>(VarKind::Local), slot);
    st_->withSlots.push_back(slot);
    Block(s.body);
    st_->withSlots.pop_back();
    Statement(line_, 1);
    Emit(OpCode::PushNothing, 1);
    Emit(OpCode::SetVar, -1, 0, static_cast<int>(VarKind::Local), slot);
  }

  // --- assignment ---
  void Assign(const Expr& target, const Expr& value, bool isSet) {
    switch (target.kind) {
      case ExprKind::Ident: {
        const Target t = StoreTarget(target.name, target.line, target.column);
        if (t.kind == Target::Method) {
          Expression(value);
          Emit(OpCode::CallMethod, -1, 1, static_cast<int>(isSet ? InvokeKind::Set : InvokeKind::Let), t.slot);
          return;
        }
        if (!isSet && TryAppend(t, target.name, value)) return;
        Expression(value);
        StoreVar(t, isSet);
        return;
      }
      case ExprKind::Member: {
        if (MeMember(target)) {
          const Target t = ClassTarget(target.name, target);
          if (t.kind == Target::Var) {
            Expression(value);
            StoreVar(t, isSet);
          } else {
            Expression(value);
            Emit(OpCode::CallMethod, -1, 1, static_cast<int>(isSet ? InvokeKind::Set : InvokeKind::Let), t.slot);
          }
          return;
        }
        ObjectOf(target);
        Expression(value);
        Emit(isSet ? OpCode::SetMember : OpCode::LetMember, -2, 0, 0, NameIndex(target.name));
        return;
      }
      case ExprKind::Call: {
        CheckArgs(target);
        const Expr& callee = *target.left;
        const int n = static_cast<int>(target.args.size());
        if (callee.kind == ExprKind::Ident) {
          Target t = Lookup(callee.name, true);
          if (t.kind == Target::Method) {
            for (const ExprPtr& a : target.args) Expression(*a);
            Expression(value);
            Emit(OpCode::CallMethod, -(n + 1), n + 1, static_cast<int>(isSet ? InvokeKind::Set : InvokeKind::Let), t.slot);
            return;
          }
          if (t.kind != Target::Var) t = StoreTarget(callee.name, callee.line, callee.column);
          for (const ExprPtr& a : target.args) Expression(*a);
          Expression(value);
          Emit(isSet ? OpCode::SetIndex : OpCode::StoreIndex, -(n + 1), n, static_cast<int>(t.var), t.slot);
          return;
        }
        if (callee.kind == ExprKind::Member && !MeMember(callee)) {
          ObjectOf(callee);
          for (const ExprPtr& a : target.args) Expression(*a);
          Expression(value);
          Emit(isSet ? OpCode::SetMember : OpCode::LetMember, -(n + 2), n, 0, NameIndex(callee.name));
          return;
        }
        if (callee.kind == ExprKind::Member) {  // Me.x(i) = v
          const Target t = ClassTarget(callee.name, callee);
          for (const ExprPtr& a : target.args) Expression(*a);
          Expression(value);
          if (t.kind == Target::Var) Emit(isSet ? OpCode::SetIndex : OpCode::StoreIndex, -(n + 1), n, static_cast<int>(t.var), t.slot);
          else Emit(OpCode::CallMethod, -(n + 1), n + 1, static_cast<int>(isSet ? InvokeKind::Set : InvokeKind::Let), t.slot);
          return;
        }
        Expression(callee);
        for (const ExprPtr& a : target.args) Expression(*a);
        Expression(value);
        Emit(isSet ? OpCode::SetMember : OpCode::LetMember, -(n + 2), n, 0, NameIndex(""));
        return;
      }
      default: SyntaxError(1002, target.line, target.column);
    }
  }

  void StoreVar(const Target& t, bool isSet) {
    if (isSet) Emit(OpCode::SetVar, -1, 0, static_cast<int>(t.var), t.slot);
    else if (t.var == VarKind::Local && StoreFused(t.slot)) return;
    else if (t.var == VarKind::Local) Emit(OpCode::StoreLocal, -1, 0, 0, t.slot);
    else Emit(OpCode::Store, -1, 0, static_cast<int>(t.var), t.slot);
  }

  // local = local op local/constant: the operator writes the local itself
  // (the value was the instruction just emitted), saving a push and a pop.
  bool StoreFused(int32_t slot) {
    Instr& last = F().code.back();
    if ((last.op != OpCode::ArithLocals && last.op != OpCode::ArithLocalConst) || last.c > 0xFFFF || slot > 0x7FFF)
      return false;
    last.op = last.op == OpCode::ArithLocals ? OpCode::ArithLocalsTo : OpCode::ArithLocalConstTo;
    last.c |= slot << 16;
    st_->depth -= 1;
    return true;
  }

  // target = target & a & b ...: append each operand in place.
  bool TryAppend(const Target& t, const std::string& name, const Expr& value) {
    if (t.kind != Target::Var || value.kind != ExprKind::Binary || value.op != Op::Concat) return false;
    std::vector<const Expr*> operands;
    const Expr* e = &value;
    while (e->kind == ExprKind::Binary && e->op == Op::Concat) {
      operands.push_back(e->right.get());
      e = e->left.get();
    }
    if (e->kind != ExprKind::Ident || !NameEquals(e->name, name)) return false;
    const bool local = t.var == VarKind::Local;
    for (const Expr* o : operands)
      if (!SafeAppendOperand(*o, name, local)) return false;
    for (auto it = operands.rbegin(); it != operands.rend(); ++it) {
      if (local && AppendFused(**it, t.slot)) continue;
      Expression(**it);
      if (local) Emit(OpCode::AppendLocal, -1, 0, 0, t.slot);
      else Emit(OpCode::Append, -1, 0, static_cast<int>(t.var), t.slot);
    }
    return true;
  }

  // Appends of a string constant or an array element skip the copy on the stack.
  bool AppendFused(const Expr& e, int32_t target) {
    if (e.kind == ExprKind::Literal && e.value.IsString()) {
      Emit(OpCode::AppendConst, 0, 0, target, Const(e.value));
      return true;
    }
    if (e.kind == ExprKind::Ident) {
      const Target c = Lookup(e.name, false);
      if (c.kind != Target::Const || !c.value.IsString()) return false;
      Emit(OpCode::AppendConst, 0, 0, target, Const(c.value));
      return true;
    }
    if (e.kind != ExprKind::Call || e.left->kind != ExprKind::Ident || e.args.empty() || e.args.size() > 60) return false;
    const Target src = Lookup(e.left->name, true);
    if (src.kind != Target::Var) return false;
    for (const ExprPtr& a : e.args) Expression(*a);
    const int n = static_cast<int>(e.args.size());
    Emit(OpCode::AppendElem, -n, n, target);
    Emit(OpCode::Operand, 0, 0, static_cast<int>(src.var), src.slot);
    return true;
  }

  // An operand that cannot see the half-appended target: it does not name it, and
  // for a target other than a local it calls nothing that could.
  bool SafeAppendOperand(const Expr& e, const std::string& name, bool local) {
    switch (e.kind) {
      case ExprKind::Ident:
        if (NameEquals(e.name, name)) return false;
        if (!local && Lookup(e.name, false).kind != Target::Var && Lookup(e.name, false).kind != Target::Const) return false;
        return true;
      case ExprKind::Call:
      case ExprKind::Member:
      case ExprKind::New:
        if (!local) return false;
        break;
      default: break;
    }
    if (e.kind == ExprKind::Ident && !local) return true;
    if (e.left && !SafeAppendOperand(*e.left, name, local)) return false;
    if (e.right && !SafeAppendOperand(*e.right, name, local)) return false;
    for (const ExprPtr& a : e.args)
      if (!SafeAppendOperand(*a, name, local)) return false;
    if (e.kind == ExprKind::Member && !e.left && !local) return false;
    return true;
  }

  // --- calls ---
  void CallStatement(const Expr& target) {
    switch (target.kind) {
      case ExprKind::Ident: NameCall(target, target.name, nullptr, false); return;
      case ExprKind::Member: MemberCall(target, nullptr, false); return;
      case ExprKind::Call: Call(target, false); return;
      default: SyntaxError(1024, target.line, target.column);
    }
  }

  // name or name(args)
  void NameCall(const Expr& at, const std::string& name, const std::vector<ExprPtr>* args, bool keep) {
    const int n = args ? static_cast<int>(args->size()) : 0;
    const Target t = Lookup(name, args != nullptr);
    switch (t.kind) {
      case Target::Var:
        if (args) {
          // As a statement the variable holds an object (a function reference): ByRef arguments.
          for (const ExprPtr& a : *args) keep ? Expression(*a) : Argument(*a);
          Emit(OpCode::Index, 1 - n, n, static_cast<int>(t.var), t.slot);
        } else {
          Load(t);
        }
        break;
      case Target::Const:
        if (args) SyntaxError(1002, at.line, at.column);
        Emit(OpCode::PushConst, 1, 0, 0, Const(t.value));
        break;
      case Target::Proc:
        if (args) for (const ExprPtr& a : *args) Argument(*a);
        Emit(OpCode::CallProc, 1 - n, n, 1, t.slot);
        break;
      case Target::Method:
        if (args) for (const ExprPtr& a : *args) Argument(*a);
        Emit(OpCode::CallMethod, 1 - n, n, static_cast<int>(InvokeKind::Get) | 0x100, t.slot);
        break;
      case Target::Builtin: {
        const Builtin& b = BuiltinAt(t.slot);
        if (n < b.minArgs || n > b.maxArgs) SyntaxError(1002, at.line, at.column, "Wrong number of arguments or invalid property assignment: '" + name + "'");
        if (args) for (const ExprPtr& a : *args) Expression(*a);
        Emit(OpCode::CallBuiltin, 1 - n, n, 1, t.slot);
        break;
      }
      case Target::Unknown:
        if (args) {
          for (const ExprPtr& a : *args) Argument(*a);
          Emit(OpCode::CallName, 1 - n, n, 1, NameIndex(name));
        } else {
          Emit(OpCode::LoadName, 1, 0, 0, NameIndex(name));
        }
        break;
    }
    if (!keep) Emit(OpCode::Pop, -1);
  }

  void Load(const Target& t) {
    if (t.var == VarKind::Local) Emit(OpCode::LoadLocal, 1, 0, 0, t.slot);
    else Emit(OpCode::Load, 1, 0, static_cast<int>(t.var), t.slot);
  }

  bool MeMember(const Expr& m) const { return m.left && m.left->kind == ExprKind::Me && st_->cls; }

  Target ClassTarget(const std::string& name, const Expr& at) {
    Target t;
    const int32_t m = st_->cls->Find(name);
    if (m < 0) SyntaxError(1002, at.line, at.column, "Object doesn't support this property or method: 'Me." + name + "'");
    if (st_->cls->members[m].field >= 0) {
      t.kind = Target::Var;
      t.var = VarKind::Member;
      t.slot = st_->cls->members[m].field;
    } else {
      t.kind = Target::Method;
      t.slot = m;
    }
    return t;
  }

  // Pushes the object of a member access (the With object for ".name").
  void ObjectOf(const Expr& member) {
    if (member.left) {
      Expression(*member.left);
      return;
    }
    if (st_->withSlots.empty()) SyntaxError(1002, member.line, member.column, "Invalid or unqualified reference");
    Emit(OpCode::LoadLocal, 1, 0, 0, st_->withSlots.back());
  }

  void MemberCall(const Expr& member, const std::vector<ExprPtr>* args, bool keep) {
    const int n = args ? static_cast<int>(args->size()) : 0;
    if (MeMember(member)) {
      const Target t = ClassTarget(member.name, member);
      if (t.kind == Target::Var) {
        if (args) {
          for (const ExprPtr& a : *args) Expression(*a);
          Emit(OpCode::Index, 1 - n, n, static_cast<int>(t.var), t.slot);
        } else {
          Load(t);
        }
      } else {
        if (args) for (const ExprPtr& a : *args) Argument(*a);
        Emit(OpCode::CallMethod, 1 - n, n, static_cast<int>(InvokeKind::Get) | 0x100, t.slot);
      }
      if (!keep) Emit(OpCode::Pop, -1);
      return;
    }
    ObjectOf(member);
    if (args) for (const ExprPtr& a : *args) Argument(*a);
    Emit(OpCode::GetMember, keep ? -n : -n - 1, n, keep ? 1 : 0, NameIndex(member.name));
  }

  void Call(const Expr& call, bool keep) {
    CheckArgs(call);
    const Expr& callee = *call.left;
    if (callee.kind == ExprKind::Ident) return NameCall(call, callee.name, &call.args, keep);
    if (callee.kind == ExprKind::Member) return MemberCall(callee, &call.args, keep);
    Expression(callee);
    for (const ExprPtr& a : call.args) Expression(*a);
    const int n = static_cast<int>(call.args.size());
    Emit(OpCode::IndexValue, -n, n);
    if (!keep) Emit(OpCode::Pop, -1);
  }

  // An argument: a variable or an array element goes by reference.
  void Argument(const Expr& e) {
    if (e.kind == ExprKind::Ident) {
      const Target t = Lookup(e.name, false);
      if (t.kind == Target::Var) {
        Emit(OpCode::ArgVar, 1, 0, static_cast<int>(t.var), t.slot);
        return;
      }
      if (t.kind == Target::Unknown) {
        Emit(OpCode::ArgVar, 1, 0, static_cast<int>(VarKind::Name), NameIndex(e.name));
        return;
      }
    }
    if (e.kind == ExprKind::Call && e.left->kind == ExprKind::Ident && !e.args.empty()) {
      const Target t = Lookup(e.left->name, true);
      if (t.kind == Target::Var) {
        CheckArgs(e);
        for (const ExprPtr& a : e.args) Expression(*a);
        const int n = static_cast<int>(e.args.size());
        Emit(OpCode::ArgIndex, 1 - n, n, static_cast<int>(t.var), t.slot);
        return;
      }
    }
    Expression(e);
  }

  // --- expressions ---
  void Expression(const Expr& e) {
    switch (e.kind) {
      case ExprKind::Literal:
        if (e.value.IsEmpty()) Emit(OpCode::PushEmpty, 1);
        else Emit(OpCode::PushConst, 1, 0, 0, Const(e.value));
        return;
      case ExprKind::Nothing: Emit(OpCode::PushNothing, 1); return;
      case ExprKind::Me:
        if (!st_->cls) SyntaxError(1037, e.line, e.column);
        Emit(OpCode::PushMe, 1);
        return;
      case ExprKind::New: Emit(OpCode::New, 1, 0, 0, NameIndex(e.name)); return;
      case ExprKind::Paren: Expression(*e.left); return;
      case ExprKind::Ident: NameCall(e, e.name, nullptr, true); return;
      case ExprKind::Member: MemberCall(e, nullptr, true); return;
      case ExprKind::Call: Call(e, true); return;
      case ExprKind::Unary:
        Expression(*e.left);
        Emit(e.op == Op::Not ? OpCode::Not : OpCode::Neg, 0);
        return;
      case ExprKind::Binary: Binary(e); return;
    }
  }

  // Left-deep operator chains compile without recursion on the left side.
  void Binary(const Expr& e) {
    std::vector<const Expr*> spine;
    const Expr* cur = &e;
    while (cur->kind == ExprKind::Binary) {
      spine.push_back(cur);
      cur = cur->left.get();
    }
    Expression(*cur);
    for (auto it = spine.rbegin(); it != spine.rend(); ++it) {
      Expression(*(*it)->right);
      EmitBinary(BinaryOpCode((*it)->op));
    }
  }

  // A binary operator on the two values just pushed. Arithmetic and
  // comparisons of a local (or ByRef parameter) with another or a constant
  // (i + 1, s = s + x, Case "x") read their operands in place instead of
  // copying them: when the last two instructions load them, only those
  // operands can have pushed them.
  void EmitBinary(OpCode op) {
    std::vector<Instr>& code = F().code;
    const std::size_t n = code.size();
    const bool fusable = op == OpCode::Add || op == OpCode::Sub || op == OpCode::Mul ||
                         (op >= OpCode::Eq && op <= OpCode::Ge);
    if (fusable && n >= 2) {
      const int32_t left = FrameOperand(code[n - 2]), right = FrameOperand(code[n - 1]);
      const bool constant = code[n - 1].op == OpCode::PushConst && code[n - 1].c <= 0xFFFF;
      if (left >= 0 && (right >= 0 || constant)) {
        const int32_t other = right >= 0 ? right : code[n - 1].c;
        code.resize(n - 2);
        st_->depth -= 2;
        Emit(right >= 0 ? OpCode::ArithLocals : OpCode::ArithLocalConst, 1, static_cast<int>(op), left, other);
        return;
      }
    }
    Emit(op, -1);
  }

  // A fused operator's operand: a local's slot, or a ByRef parameter's with
  // kRefOperand set; -1 when the instruction loads anything else.
  static int32_t FrameOperand(const Instr& in) {
    if (in.c < 0 || in.c >= kRefOperand) return -1;
    if (in.op == OpCode::LoadLocal) return in.c;
    if (in.op == OpCode::Load && in.b == static_cast<int>(VarKind::Ref)) return in.c | kRefOperand;
    return -1;
  }

  Runtime& rt_;
  int32_t module_;
  CompileMode mode_;
  const Frame* outer_;
  std::string_view source_;
  Ref<SourceText> src_;
  bool optionExplicit_ = false;
  FnState* st_ = nullptr;
  int line_ = 1;
  NameMap<int32_t> unitProcs_;        // procedure slot, -1 until one is needed
  NameMap<Ref<ClassDef>> unitClasses_;
  NameMap<int32_t> unitGlobals_;
  NameMap<int> unitDimmed_;
  NameMap<int> unitDynamic_;          // Execute in a procedure: the names it declares there
  NameMap<Variant> unitConsts_;
  std::vector<std::pair<int32_t, Variant>> constCells_;
};

}  // namespace

Ref<Function> Compile(Runtime& rt, int32_t module, std::string_view source, CompileMode mode, const Frame* outer) {
  return Compiler(rt, module, source, mode, outer).Run();
}

}  // namespace zantrel::script
