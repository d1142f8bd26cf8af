// The syntax tree the parser builds and the compiler walks: expressions,
// statements, procedures and classes of one piece of source text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/variant.h"

namespace zantrel::script {

// Binary and unary operators, in one list for the precedence table and the dumps.
enum class Op : uint8_t {
  Imp, Eqv, Xor, Or, And, Not, Eq, Ne, Lt, Gt, Le, Ge, Is, Concat, Add, Sub, Mod, IntDiv, Mul, Div, Pow, Neg,
};

enum class ExprKind : uint8_t {
  Literal,  // value
  Ident,    // name
  Me,
  Nothing,
  New,      // name: the class
  Member,   // left.name; left is null for ".name" inside With
  Call,     // left(args): call or index
  Unary,    // op left
  Binary,   // left op right
  Paren,    // (left): a value, never a reference
  Omitted,  // an argument left out: f(a, , c)
};

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
  Expr() = default;
  Expr(const Expr&) = delete;
  Expr& operator=(const Expr&) = delete;
  ~Expr();  // iterative, so that a chain of thousands of operators does not recurse

  ExprKind kind;
  Op op = Op::Add;
  int line = 0;
  int column = 0;
  std::string name;
  Variant value;
  ExprPtr left, right;
  std::vector<ExprPtr> args;
};

enum class StmtKind : uint8_t {
  Call,        // target: the call (Call expression or a name/member without arguments)
  Assign,      // target = value
  Set,         // Set target = value
  Dim,         // vars (also Public/Private at module or class level)
  ReDim,       // vars with bounds; preserve
  Erase,       // vars[0].name
  Const,       // vars with values
  If,          // branches (cond, body) and elseBody
  Select,      // value, cases
  For,         // name, value (from), to, step, body
  ForEach,     // name, value (collection), body
  Do,          // cond (may be null), whileCond, condAtEnd, body
  While,       // cond, body
  Exit,        // exitWhat
  With,        // value, body
  OnErrorResumeNext,
  OnErrorGoto0,
  Stop,
};

inline Expr::~Expr() {
  if (!left && !right && args.empty()) return;
  std::vector<ExprPtr> pending;
  auto take = [&pending](Expr& e) {
    if (e.left) pending.push_back(std::move(e.left));
    if (e.right) pending.push_back(std::move(e.right));
    for (ExprPtr& a : e.args) pending.push_back(std::move(a));
    e.args.clear();
  };
  take(*this);
  while (!pending.empty()) {
    ExprPtr e = std::move(pending.back());
    pending.pop_back();
    take(*e);
  }
}

struct Stmt;
using Block = std::vector<Stmt>;

struct VarDecl {
  std::string name;
  int line = 0, column = 0;
  bool isArray = false;          // declared with ()
  std::vector<ExprPtr> bounds;   // upper bounds
  ExprPtr value;                 // Const
};

struct Branch {
  ExprPtr cond;
  Block body;
};

enum class CaseKind : uint8_t { Value, Range, Is };
struct CaseItem {
  CaseKind kind = CaseKind::Value;
  Op op = Op::Eq;  // Is
  ExprPtr a, b;
};
struct CaseClause {
  bool isElse = false;
  std::vector<CaseItem> items;
  Block body;
};

enum class ExitKind : uint8_t { Do, For, Function, Sub, Property };

struct Stmt {
  StmtKind kind;
  int line = 0, column = 0;
  ExprPtr target, value, to, step, cond;
  std::string name;
  bool isPublic = false;         // Dim/Const at module level declared Public
  bool isPrivate = false;        // declared Private
  bool preserve = false;
  bool whileCond = true;         // Do While (true) / Do Until (false)
  bool condAtEnd = false;
  ExitKind exitWhat = ExitKind::Do;
  std::vector<VarDecl> vars;
  std::vector<Branch> branches;
  std::vector<CaseClause> cases;
  Block body, elseBody;
};

enum class ProcKind : uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Param {
  std::string name;
  bool byRef = true;
  bool isArray = false;
};

struct ProcDecl {
  std::string name;
  ProcKind kind = ProcKind::Sub;
  bool isPublic = true;
  bool isDefault = false;
  int line = 0, column = 0;
  int endLine = 0;
  std::vector<Param> params;
  Block body;
};

struct ClassDecl {
  std::string name;
  int line = 0, column = 0;
  std::vector<Stmt> fields;  // Dim/Public/Private declarations
  std::vector<ProcDecl> methods;
};

struct Program {
  bool optionExplicit = false;
  Block statements;              // top-level code, run when the text is added
  std::vector<ProcDecl> procs;
  std::vector<ClassDecl> classes;
};

}  // namespace zantrel::script
