// Recursive descent over the token list. Each parse function opens with the
// grammar rule it reads. Operator precedence is the table kBinary; unary minus
// binds tighter than "^" and Not sits between comparison and And, as in VBScript.
// Statement calls resolve VBScript's parenthesis rules: "F (a)" passes a copy,
// "F(a, b)" without Call is error 1044, "F (a) + 1, b" starts its first argument
// with a parenthesis.
#include "script/parser.h"

#include <array>

#include "core/names.h"

namespace zantrel::script {
namespace {

struct BinaryRule {
  Tok tok;
  Op op;
  int prec;
};

// Binary operators from loosest to tightest; all associate to the left.
constexpr std::array kBinary = {
    BinaryRule{Tok::KwImp, Op::Imp, 1},          BinaryRule{Tok::KwEqv, Op::Eqv, 2},
    BinaryRule{Tok::KwXor, Op::Xor, 3},          BinaryRule{Tok::KwOr, Op::Or, 4},
    BinaryRule{Tok::KwAnd, Op::And, 5},          BinaryRule{Tok::Equal, Op::Eq, 7},
    BinaryRule{Tok::NotEqual, Op::Ne, 7},        BinaryRule{Tok::Less, Op::Lt, 7},
    BinaryRule{Tok::Greater, Op::Gt, 7},         BinaryRule{Tok::LessEqual, Op::Le, 7},
    BinaryRule{Tok::GreaterEqual, Op::Ge, 7},    BinaryRule{Tok::KwIs, Op::Is, 7},
    BinaryRule{Tok::Ampersand, Op::Concat, 8},   BinaryRule{Tok::Plus, Op::Add, 9},
    BinaryRule{Tok::Minus, Op::Sub, 9},          BinaryRule{Tok::KwMod, Op::Mod, 10},
    BinaryRule{Tok::Backslash, Op::IntDiv, 11},  BinaryRule{Tok::Star, Op::Mul, 12},
    BinaryRule{Tok::Slash, Op::Div, 12},         BinaryRule{Tok::Caret, Op::Pow, 13},
};
constexpr int kNotOperandPrec = 7;
// Nesting limits that keep the recursive descent (and the compiler and AST
// destructor that follow its shape) well within the C++ stack.
constexpr int kMaxExprDepth = 400;
constexpr int kMaxStmtDepth = 200;
constexpr int kMaxOperators = 4000;

const BinaryRule* FindBinary(Tok t) {
  for (const BinaryRule& r : kBinary)
    if (r.tok == t) return &r;
  return nullptr;
}

class Parser {
 public:
  explicit Parser(std::string_view source) : toks_(Tokenize(source)) {}

  // program -> { [Option Explicit] | classdecl | procdecl | statement } EOF
  Program ProgramRule() {
    Program prog;
    hoisted_ = &prog.procs;
    bool first = true;
    for (;;) {
      SkipSeparators();
      if (At(Tok::EndOfFile)) break;
      if (At(Tok::KwOption)) {
        if (!first) Fail(1042);
        Next();
        if (!AtWord("explicit")) Fail(1002);
        Next();
        prog.optionExplicit = true;
        EndOfStatement();
        continue;
      }
      first = false;
      if (At(Tok::KwClass)) {
        prog.classes.push_back(ClassRule());
        continue;
      }
      if (AtProcedureStart()) {
        prog.procs.push_back(ProcRule(true));
        continue;
      }
      prog.statements.push_back(Statement(true));
      EndOfStatement();
    }
    return prog;
  }

  // eval -> expression EOF
  ExprPtr Eval() {
    SkipSeparators();
    ExprPtr e = Expression();
    SkipSeparators();
    if (!At(Tok::EndOfFile)) Fail(1025);
    return e;
  }

 private:
  // --- token access ---
  const Token& Cur() const { return toks_[pos_]; }
  const Token& Peek(std::size_t n = 1) const { return toks_[std::min(pos_ + n, toks_.size() - 1)]; }
  bool At(Tok t) const { return Cur().kind == t; }
  bool AtWord(std::string_view w) const { return At(Tok::Identifier) && NameEquals(Cur().text, w); }
  void Next() {
    if (pos_ + 1 < toks_.size()) ++pos_;
  }
  bool Accept(Tok t) {
    if (!At(t)) return false;
    Next();
    return true;
  }
  [[noreturn]] void Fail(int32_t number) const { SyntaxError(number, Cur().line, Cur().column); }
  [[noreturn]] void TooDeep() const {
    SyntaxError(1001, Cur().line, Cur().column, "Out of memory: expression nested too deeply");
  }
  void Expect(Tok t, int32_t number) {
    if (!Accept(t)) Fail(number);
  }
  void SkipSeparators() {
    while (At(Tok::NewLine) || At(Tok::Colon)) Next();
  }
  bool AtStatementEnd() const {
    return At(Tok::NewLine) || At(Tok::Colon) || At(Tok::EndOfFile) || (singleLineIf_ > 0 && At(Tok::KwElse));
  }
  void EndOfStatement() {
    if (!AtStatementEnd()) Fail(1025);
  }

  // A name after a dot or in a declaration: identifiers, and keywords after a dot.
  std::string Name(bool allowKeyword) {
    if (At(Tok::Identifier) || (allowKeyword && Cur().kind >= Tok::KwAnd)) {
      std::string n = Cur().text;
      Next();
      return n;
    }
    Fail(1010);
  }

  bool AtProcedureStart() const {
    std::size_t i = 0;
    if (At(Tok::KwPublic) || At(Tok::KwPrivate)) {
      ++i;
      if (Peek(i).kind == Tok::Identifier && NameEquals(Peek(i).text, "default")) ++i;
    }
    const Tok k = Peek(i).kind;
    return k == Tok::KwSub || k == Tok::KwFunction || AtPropertyDecl(i);
  }

  // "Property Get|Let|Set" at token i ahead: Property is a name anywhere else.
  bool AtPropertyDecl(std::size_t i) const {
    const Token& t = Peek(i);
    if (t.kind != Tok::Identifier || !NameEquals(t.text, "property")) return false;
    const Token& next = Peek(i + 1);
    return next.kind == Tok::KwLet || next.kind == Tok::KwSet || (next.kind == Tok::Identifier && NameEquals(next.text, "get"));
  }

  // classdecl -> Class name NL { memberdecl } End Class
  ClassDecl ClassRule() {
    ClassDecl c;
    c.line = Cur().line;
    c.column = Cur().column;
    Next();
    c.name = Name(false);
    EndOfStatement();
    for (;;) {
      SkipSeparators();
      if (At(Tok::KwEnd)) {
        Next();
        Expect(Tok::KwClass, 1047);
        EndOfStatement();
        return c;
      }
      if (At(Tok::EndOfFile)) Fail(1014);
      if (AtProcedureStart()) {
        c.methods.push_back(ProcRule(false));
        continue;
      }
      if (At(Tok::KwDim) || At(Tok::KwPublic) || At(Tok::KwPrivate)) {
        c.fields.push_back(DimStatement());
        EndOfStatement();
        continue;
      }
      Fail(1024);
    }
  }

  // procdecl -> [Public [Default] | Private] (Sub | Function | Property (Get|Let|Set)) name [params] NL block End ...
  ProcDecl ProcRule(bool moduleLevel) {
    ProcDecl p;
    p.line = Cur().line;
    p.column = Cur().column;
    if (Accept(Tok::KwPrivate)) p.isPublic = false;
    else if (Accept(Tok::KwPublic) && AtWord("default")) {
      if (moduleLevel) Fail(1048);
      Next();
      p.isDefault = true;
    }
    const Tok endTok = Cur().kind;  // Identifier for Property
    if (Accept(Tok::KwSub)) p.kind = ProcKind::Sub;
    else if (Accept(Tok::KwFunction)) p.kind = ProcKind::Function;
    else {
      Next();  // Property
      if (moduleLevel) Fail(1048);
      if (AtWord("get")) p.kind = ProcKind::PropertyGet;
      else if (At(Tok::KwLet)) p.kind = ProcKind::PropertyLet;
      else if (At(Tok::KwSet)) p.kind = ProcKind::PropertySet;
      else Fail(1049);
      Next();
    }
    if (p.isDefault && p.kind != ProcKind::PropertyGet && p.kind != ProcKind::Function) Fail(1058);
    p.name = Name(false);
    if (Accept(Tok::LParen)) {
      while (!At(Tok::RParen)) {
        Param prm;
        if (Accept(Tok::KwByVal)) prm.byRef = false;
        else Accept(Tok::KwByRef);
        prm.name = Name(false);
        if (Accept(Tok::LParen)) {
          Expect(Tok::RParen, 1006);
          prm.isArray = true;
        }
        p.params.push_back(std::move(prm));
        if (!Accept(Tok::Comma)) break;
      }
      Expect(Tok::RParen, 1006);
    }
    if ((p.kind == ProcKind::PropertyLet || p.kind == ProcKind::PropertySet) && p.params.empty()) Fail(1054);
    EndOfStatement();
    ++procDepth_;
    p.body = BlockUntilEnd();
    --procDepth_;
    p.endLine = Cur().line;
    Expect(Tok::KwEnd, 1014);
    if (endTok == Tok::Identifier ? !AtWord("property") : !At(endTok))
      Fail(endTok == Tok::KwSub ? 1016 : endTok == Tok::KwFunction ? 1015 : 1050);
    Next();
    EndOfStatement();
    return p;
  }

  // block -> { statement separator } up to a closing keyword
  Block BlockUntilEnd() {
    Block b;
    for (;;) {
      SkipSeparators();
      switch (Cur().kind) {
        case Tok::KwEnd: case Tok::KwElse: case Tok::KwElseIf: case Tok::KwCase:
        case Tok::KwLoop: case Tok::KwNext: case Tok::KwWend: case Tok::EndOfFile:
          return b;
        default: break;
      }
      if (AtProcedureStart() && procDepth_ == 0 && singleLineIf_ == 0 && hoisted_) {
        hoisted_->push_back(ProcRule(true));
        continue;
      }
      if (At(Tok::KwClass) || AtProcedureStart()) Fail(1024);
      b.push_back(Statement(false));
      EndOfStatement();
    }
  }

  Stmt Make(StmtKind k) const {
    Stmt s;
    s.kind = k;
    s.line = Cur().line;
    s.column = Cur().column;
    return s;
  }

  // statement -> one of the statement forms below, or an assignment or call
  Stmt Statement(bool moduleLevel) {
    if (stmtDepth_ >= kMaxStmtDepth) SyntaxError(1001, Cur().line, Cur().column, "Out of memory: blocks nested too deeply");
    ++stmtDepth_;
    Stmt s = StatementForm(moduleLevel);
    --stmtDepth_;
    return s;
  }

  Stmt StatementForm(bool moduleLevel) {
    switch (Cur().kind) {
      case Tok::KwDim: return DimStatement();
      case Tok::KwPublic:
      case Tok::KwPrivate:
        if (!moduleLevel) Fail(1024);
        if (Peek().kind == Tok::KwConst) {
          const bool pub = At(Tok::KwPublic);
          Next();
          Stmt s = ConstStatement();
          s.isPublic = pub;
          return s;
        }
        return DimStatement();
      case Tok::KwConst: return ConstStatement();
      case Tok::KwReDim: return ReDimStatement();
      case Tok::KwErase: return EraseStatement();
      case Tok::KwIf: return IfStatement();
      case Tok::KwSelect: return SelectStatement();
      case Tok::KwFor: return ForStatement();
      case Tok::KwDo: return DoStatement();
      case Tok::KwWhile: return WhileStatement();
      case Tok::KwWith: return WithStatement();
      case Tok::KwExit: return ExitStatement();
      case Tok::KwOn: return OnErrorStatement();
      case Tok::KwSet: return SetStatement();
      case Tok::KwStop: {
        Stmt s = Make(StmtKind::Stop);
        Next();
        return s;
      }
      case Tok::KwCall: return CallStatement();
      case Tok::KwLet: Next(); return AssignOrCall(true);
      case Tok::KwOption: Fail(1042);
      case Tok::KwNext: Fail(1055);
      case Tok::KwLoop: Fail(1038);
      default: return AssignOrCall(false);
    }
  }

  // dim -> (Dim | Public | Private) name [ "(" [bounds] ")" ] { "," ... }
  Stmt DimStatement() {
    Stmt s = Make(StmtKind::Dim);
    s.isPublic = At(Tok::KwPublic);
    s.isPrivate = At(Tok::KwPrivate);
    Next();
    do {
      VarDecl v = DeclaredName();
      if (Accept(Tok::LParen)) {
        v.isArray = true;
        while (!At(Tok::RParen)) {
          v.bounds.push_back(Expression());
          if (!Accept(Tok::Comma)) break;
        }
        Expect(Tok::RParen, 1006);
      }
      s.vars.push_back(std::move(v));
    } while (Accept(Tok::Comma));
    return s;
  }

  // A declared variable's name with its position.
  VarDecl DeclaredName() {
    VarDecl v;
    v.line = Cur().line;
    v.column = Cur().column;
    v.name = Name(false);
    return v;
  }

  // const -> Const name "=" literal { "," name "=" literal }
  Stmt ConstStatement() {
    Stmt s = Make(StmtKind::Const);
    Next();
    do {
      VarDecl v = DeclaredName();
      Expect(Tok::Equal, 1011);
      v.value = ConstValue();
      s.vars.push_back(std::move(v));
    } while (Accept(Tok::Comma));
    return s;
  }

  // constvalue -> ["-"|"+"] literal | "(" constvalue ")" | True | False | Empty | Null | Nothing
  ExprPtr ConstValue() {
    ExprPtr e = Unary();
    const Expr* inner = e.get();
    while (inner->kind == ExprKind::Paren || (inner->kind == ExprKind::Unary && inner->op == Op::Neg)) inner = inner->left.get();
    if (inner->kind != ExprKind::Literal && inner->kind != ExprKind::Nothing) Fail(1045);
    return e;
  }

  // redim -> ReDim [Preserve] name "(" bounds ")" { "," ... }
  Stmt ReDimStatement() {
    Stmt s = Make(StmtKind::ReDim);
    Next();
    if (AtWord("preserve")) {
      Next();
      s.preserve = true;
    }
    do {
      VarDecl v = DeclaredName();
      Expect(Tok::LParen, 1005);
      do v.bounds.push_back(Expression());
      while (Accept(Tok::Comma));
      Expect(Tok::RParen, 1006);
      v.isArray = true;
      s.vars.push_back(std::move(v));
    } while (Accept(Tok::Comma));
    return s;
  }

  // erase -> Erase name { "," name }
  Stmt EraseStatement() {
    Stmt s = Make(StmtKind::Erase);
    Next();
    do {
      VarDecl v = DeclaredName();
      s.vars.push_back(std::move(v));
    } while (Accept(Tok::Comma));
    return s;
  }

  // if -> If expr Then NL block { ElseIf expr Then NL block } [Else NL block] End If
  //     | If expr Then statements [Else statements]        (single line)
  Stmt IfStatement() {
    Stmt s = Make(StmtKind::If);
    Next();
    Branch first;
    first.cond = Expression();
    Expect(Tok::KwThen, 1017);
    // "If c Then : a" is the one-line form; "If c Then :" at the line end opens a block.
    std::size_t colons = 0;
    while (Peek(colons).kind == Tok::Colon) ++colons;
    const Tok after = Peek(colons).kind;
    if (after != Tok::NewLine && after != Tok::EndOfFile) {
      while (Accept(Tok::Colon)) {}
      return SingleLineIf(std::move(s), std::move(first));
    }
    first.body = BlockUntilEnd();
    s.branches.push_back(std::move(first));
    for (;;) {
      if (At(Tok::KwElseIf)) {
        Next();
        Branch b;
        b.cond = Expression();
        Expect(Tok::KwThen, 1017);
        b.body = BlockUntilEnd();
        s.branches.push_back(std::move(b));
        continue;
      }
      if (Accept(Tok::KwElse)) {
        s.elseBody = BlockUntilEnd();
        if (!At(Tok::KwEnd)) Fail(1014);
      }
      break;
    }
    Expect(Tok::KwEnd, 1014);
    Expect(Tok::KwIf, 1012);
    return s;
  }

  Stmt SingleLineIf(Stmt s, Branch first) {
    ++singleLineIf_;
    first.body = SingleLineStatements();
    s.branches.push_back(std::move(first));
    if (Accept(Tok::KwElse)) s.elseBody = SingleLineStatements();
    --singleLineIf_;
    if (At(Tok::KwEnd) && Peek().kind == Tok::KwIf) Next(), Next();
    return s;
  }

  Block SingleLineStatements() {
    Block b;
    for (;;) {
      if (At(Tok::KwEnd) && Peek().kind == Tok::KwIf) break;
      b.push_back(Statement(false));
      if (!Accept(Tok::Colon)) break;
      if (At(Tok::NewLine) || At(Tok::EndOfFile) || At(Tok::KwElse)) break;
    }
    if (!At(Tok::NewLine) && !At(Tok::EndOfFile) && !At(Tok::KwElse) && !At(Tok::KwEnd)) Fail(1025);
    return b;
  }

  // select -> Select Case expr NL { Case caselist NL block } [Case Else NL block] End Select
  Stmt SelectStatement() {
    Stmt s = Make(StmtKind::Select);
    Next();
    Expect(Tok::KwCase, 1021);
    s.value = Expression();
    EndOfStatement();
    SkipSeparators();
    while (Accept(Tok::KwCase)) {
      CaseClause c;
      if (Accept(Tok::KwElse)) {
        c.isElse = true;
      } else {
        do c.items.push_back(CaseItemRule());
        while (Accept(Tok::Comma));
      }
      c.body = BlockUntilEnd();
      const bool wasElse = c.isElse;
      s.cases.push_back(std::move(c));
      if (wasElse) break;
    }
    Expect(Tok::KwEnd, 1014);
    Expect(Tok::KwSelect, 1022);
    return s;
  }

  // caseitem -> expr [To expr] | Is compareop expr
  CaseItem CaseItemRule() {
    CaseItem item;
    if (Accept(Tok::KwIs)) {
      const BinaryRule* r = FindBinary(Cur().kind);
      if (!r || r->prec != 7 || r->op == Op::Is) Fail(1002);
      Next();
      item.kind = CaseKind::Is;
      item.op = r->op;
      item.a = Expression();
      return item;
    }
    item.a = Expression();
    if (Accept(Tok::KwTo)) {
      item.kind = CaseKind::Range;
      item.b = Expression();
    }
    return item;
  }

  // for -> For name "=" expr To expr [Step expr] NL block Next
  //      | For Each name In expr NL block Next
  Stmt ForStatement() {
    Stmt s = Make(StmtKind::For);
    Next();
    if (Accept(Tok::KwEach)) {
      s.kind = StmtKind::ForEach;
      s.name = Name(false);
      Expect(Tok::KwIn, 1046);
      s.value = Expression();
    } else {
      if (!At(Tok::Identifier)) Fail(1040);
      s.name = Name(false);
      Expect(Tok::Equal, 1011);
      s.value = Expression();
      Expect(Tok::KwTo, 1013);
      s.to = Expression();
      if (AtWord("step")) {
        Next();
        s.step = Expression();
      }
    }
    EndOfStatement();
    s.body = BlockUntilEnd();
    Expect(Tok::KwNext, 1020);
    if (At(Tok::Identifier)) Next();  // "Next i"
    return s;
  }

  // do -> Do [(While|Until) expr] NL block Loop [(While|Until) expr]
  Stmt DoStatement() {
    Stmt s = Make(StmtKind::Do);
    Next();
    if (At(Tok::KwWhile) || At(Tok::KwUntil)) {
      s.whileCond = At(Tok::KwWhile);
      Next();
      s.cond = Expression();
    }
    EndOfStatement();
    s.body = BlockUntilEnd();
    Expect(Tok::KwLoop, 1019);
    if (At(Tok::KwWhile) || At(Tok::KwUntil)) {
      if (s.cond) Fail(1025);
      s.whileCond = At(Tok::KwWhile);
      s.condAtEnd = true;
      Next();
      s.cond = Expression();
    }
    return s;
  }

  // while -> While expr NL block Wend
  Stmt WhileStatement() {
    Stmt s = Make(StmtKind::While);
    Next();
    s.cond = Expression();
    EndOfStatement();
    s.body = BlockUntilEnd();
    Expect(Tok::KwWend, 1018);
    return s;
  }

  // with -> With expr NL block End With
  Stmt WithStatement() {
    Stmt s = Make(StmtKind::With);
    Next();
    s.value = Expression();
    EndOfStatement();
    s.body = BlockUntilEnd();
    Expect(Tok::KwEnd, 1014);
    Expect(Tok::KwWith, 1029);
    return s;
  }

  // exit -> Exit (Do | For | Function | Sub | Property)
  Stmt ExitStatement() {
    Stmt s = Make(StmtKind::Exit);
    Next();
    switch (Cur().kind) {
      case Tok::KwDo: s.exitWhat = ExitKind::Do; break;
      case Tok::KwFor: s.exitWhat = ExitKind::For; break;
      case Tok::KwFunction: s.exitWhat = ExitKind::Function; break;
      case Tok::KwSub: s.exitWhat = ExitKind::Sub; break;
      default:
        if (!AtWord("property")) Fail(1039);
        s.exitWhat = ExitKind::Property;
        break;
    }
    Next();
    return s;
  }

  // onerror -> On Error (Resume Next | GoTo 0)
  Stmt OnErrorStatement() {
    Stmt s = Make(StmtKind::OnErrorResumeNext);
    Next();
    if (!AtWord("error")) Fail(1002);
    Next();
    if (AtWord("resume")) {
      Next();
      Expect(Tok::KwNext, 1002);
      return s;
    }
    Expect(Tok::KwGoTo, 1002);
    if (!At(Tok::Literal) || !Cur().value.IsNumeric() || Cur().text != "0") Fail(1002);
    Next();
    s.kind = StmtKind::OnErrorGoto0;
    return s;
  }

  // set -> Set target "=" expr
  Stmt SetStatement() {
    Stmt s = Make(StmtKind::Set);
    Next();
    s.target = Chain();
    if (s.target->kind != ExprKind::Ident && s.target->kind != ExprKind::Member && s.target->kind != ExprKind::Call) Fail(1010);
    Expect(Tok::Equal, 1011);
    s.value = Expression();
    return s;
  }

  // call -> Call chain
  Stmt CallStatement() {
    Stmt s = Make(StmtKind::Call);
    Next();
    s.target = Chain();
    if (s.target->kind != ExprKind::Ident && s.target->kind != ExprKind::Member && s.target->kind != ExprKind::Call) Fail(1010);
    return s;
  }

  // assignorcall -> chain "=" expr | chain [args]
  Stmt AssignOrCall(bool letKeyword) {
    Stmt s = Make(StmtKind::Call);
    const bool startsWithParen = At(Tok::LParen);
    if (startsWithParen || !(At(Tok::Identifier) || At(Tok::KwMe) || At(Tok::Dot))) Fail(1024);
    ExprPtr chain = Chain();
    if (Accept(Tok::Equal)) {
      if (chain->kind != ExprKind::Ident && chain->kind != ExprKind::Member && chain->kind != ExprKind::Call) Fail(1002);
      s.kind = StmtKind::Assign;
      s.target = std::move(chain);
      s.value = Expression();
      return s;
    }
    if (letKeyword) Fail(1011);
    if (chain->kind == ExprKind::Me) Fail(1024);
    if (AtStatementEnd()) {
      if (chain->kind == ExprKind::Call) {
        if (chain->args.size() > 1) Fail(1044);
        if (chain->args.size() == 1) chain->args[0] = Wrap(ExprKind::Paren, std::move(chain->args[0]));
      }
      s.target = std::move(chain);
      return s;
    }
    // Arguments without parentheses; a parenthesis right after the name began the first one.
    ExprPtr call;
    if (chain->kind == ExprKind::Call) {
      if (chain->args.size() != 1) Fail(1044);
      ExprPtr first = Wrap(ExprKind::Paren, std::move(chain->args[0]));
      call = std::move(chain);
      call->args.clear();
      call->args.push_back(BinaryRest(std::move(first), 0));
      if (Accept(Tok::Comma)) Arguments(*call);
    } else {
      call = std::make_unique<Expr>();
      call->kind = ExprKind::Call;
      call->line = chain->line;
      call->column = chain->column;
      call->left = std::move(chain);
      Arguments(*call);
    }
    s.target = std::move(call);
    return s;
  }

  // args -> [expr] { "," [expr] }
  void Arguments(Expr& call) {
    do {
      if (At(Tok::Comma) || (At(Tok::RParen) && !call.args.empty())) {
        auto e = std::make_unique<Expr>();
        e->kind = ExprKind::Omitted;
        e->line = Cur().line;
        e->column = Cur().column;
        call.args.push_back(std::move(e));
        continue;
      }
      call.args.push_back(Expression());
    } while (Accept(Tok::Comma));
  }

  ExprPtr Wrap(ExprKind k, ExprPtr inner) {
    auto e = std::make_unique<Expr>();
    e->kind = k;
    e->line = inner->line;
    e->column = inner->column;
    e->left = std::move(inner);
    return e;
  }

  // expr -> unary { binop unary }   (precedence climbing over kBinary)
  ExprPtr Expression() {
    if (++depth_ > kMaxExprDepth) TooDeep();
    ExprPtr e = BinaryRest(Unary(), 0);
    --depth_;
    return e;
  }

  // A run of operators builds a left-deep tree; its height is bounded too.
  ExprPtr BinaryRest(ExprPtr left, int minPrec) {
    for (int links = 0;; ++links) {
      const BinaryRule* r = FindBinary(Cur().kind);
      if (!r || r->prec < minPrec) {
        operators_ -= links;
        return left;
      }
      if (++operators_ > kMaxOperators) TooDeep();
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::Binary;
      e->op = r->op;
      e->line = Cur().line;
      e->column = Cur().column;
      Next();
      e->left = std::move(left);
      e->right = BinaryRest(Unary(), r->prec + 1);
      left = std::move(e);
    }
  }

  // unary -> Not expr(comparison) | "-" unary | "+" unary | chain
  ExprPtr Unary() {
    if (++depth_ > kMaxExprDepth) TooDeep();
    ExprPtr result;
    if (At(Tok::KwNot)) {
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::Unary;
      e->op = Op::Not;
      e->line = Cur().line;
      e->column = Cur().column;
      Next();
      e->left = BinaryRest(Unary(), kNotOperandPrec);
      result = std::move(e);
    } else if (At(Tok::Minus)) {
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::Unary;
      e->op = Op::Neg;
      e->line = Cur().line;
      e->column = Cur().column;
      Next();
      e->left = Unary();
      result = std::move(e);
    } else if (Accept(Tok::Plus)) {
      result = Unary();
    } else {
      result = Chain();
    }
    --depth_;
    return result;
  }

  // chain -> primary { "." name | "(" [args] ")" }
  ExprPtr Chain() {
    ExprPtr e = Primary();
    for (int links = 0;; ++links) {
      if (depth_ + links > kMaxExprDepth) TooDeep();
      if (At(Tok::Dot) && !Cur().spaceBefore) {
        auto m = std::make_unique<Expr>();
        m->kind = ExprKind::Member;
        m->line = Cur().line;
        m->column = Cur().column;
        Next();
        m->name = Name(true);
        m->left = std::move(e);
        e = std::move(m);
        continue;
      }
      if (At(Tok::LParen) && e->kind != ExprKind::Literal && e->kind != ExprKind::New) {
        auto c = std::make_unique<Expr>();
        c->kind = ExprKind::Call;
        c->line = Cur().line;
        c->column = Cur().column;
        Next();
        if (!At(Tok::RParen)) Arguments(*c);
        Expect(Tok::RParen, 1006);
        c->left = std::move(e);
        e = std::move(c);
        continue;
      }
      return e;
    }
  }

  // primary -> literal | name | Me | Nothing | Empty | Null | True | False | New name | "(" expr ")" | "." name
  ExprPtr Primary() {
    auto e = std::make_unique<Expr>();
    e->line = Cur().line;
    e->column = Cur().column;
    switch (Cur().kind) {
      case Tok::Literal:
        e->kind = ExprKind::Literal;
        e->value = Cur().value;
        Next();
        return e;
      case Tok::Identifier:
        e->kind = ExprKind::Ident;
        e->name = Cur().text;
        Next();
        return e;
      case Tok::KwTrue: case Tok::KwFalse:
        e->kind = ExprKind::Literal;
        e->value = Variant(At(Tok::KwTrue));
        Next();
        return e;
      case Tok::KwEmpty:
        e->kind = ExprKind::Literal;
        Next();
        return e;
      case Tok::KwNull:
        e->kind = ExprKind::Literal;
        e->value = Variant::Null();
        Next();
        return e;
      case Tok::KwNothing:
        e->kind = ExprKind::Nothing;
        Next();
        return e;
      case Tok::KwMe:
        e->kind = ExprKind::Me;
        Next();
        return e;
      case Tok::KwNew:
        Next();
        e->kind = ExprKind::New;
        e->name = Name(false);
        return e;
      case Tok::LParen:
        Next();
        e->kind = ExprKind::Paren;
        e->left = Expression();
        Expect(Tok::RParen, 1006);
        return e;
      case Tok::Dot:
        Next();
        e->kind = ExprKind::Member;
        e->name = Name(true);
        return e;
      default:
        Fail(1023);
    }
  }

  std::vector<Token> toks_;
  std::size_t pos_ = 0;
  int singleLineIf_ = 0;
  int depth_ = 0;      // expression nesting
  int operators_ = 0;  // binary operators of the operator runs being parsed
  int stmtDepth_ = 0;  // statement nesting (blocks and single-line Ifs)
  int procDepth_ = 0;  // inside a procedure or class
  std::vector<ProcDecl>* hoisted_ = nullptr;  // the program's procedures
};

}  // namespace

Program ParseProgram(std::string_view source) { return Parser(source).ProgramRule(); }

ExprPtr ParseExpression(std::string_view source) { return Parser(source).Eval(); }

}  // namespace zantrel::script
