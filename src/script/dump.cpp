// Token, tree and instruction dumps. The disassembly shows one instruction per
// line with its source line where a statement starts, constants and names
// spelled out.
#include "script/dump.h"

#include <cstdio>

#include "core/convert.h"
#include "script/parser.h"

namespace zantrel::script {
namespace {

std::string Quote(const Variant& v) {
  if (v.IsString()) return "\"" + v.RawString() + "\"";
  if (v.IsNull()) return "Null";
  if (v.IsEmpty()) return "Empty";
  if (v.IsObject()) return "Nothing";
  return TypeName(v) + " " + CStr(v);
}

const char* OpText(Op op) {
  static constexpr const char* kText[] = {"Imp", "Eqv", "Xor", "Or", "And", "Not", "=", "<>", "<", ">", "<=",
                                          ">=", "Is", "&", "+", "-", "Mod", "\\", "*", "/", "^", "Neg"};
  return kText[static_cast<int>(op)];
}

void ExprText(const Expr& e, std::string& out) {
  switch (e.kind) {
    case ExprKind::Literal: out += Quote(e.value); return;
    case ExprKind::Omitted: out += "(omitted)"; return;
    case ExprKind::Ident: out += e.name; return;
    case ExprKind::Me: out += "Me"; return;
    case ExprKind::Nothing: out += "Nothing"; return;
    case ExprKind::New: out += "(New " + e.name + ")"; return;
    case ExprKind::Member:
      if (e.left) ExprText(*e.left, out);
      out += "." + e.name;
      return;
    case ExprKind::Call:
      out += "(call ";
      ExprText(*e.left, out);
      for (const ExprPtr& a : e.args) {
        out += " ";
        ExprText(*a, out);
      }
      out += ")";
      return;
    case ExprKind::Unary:
      out += std::string("(") + OpText(e.op) + " ";
      ExprText(*e.left, out);
      out += ")";
      return;
    case ExprKind::Binary:
      out += std::string("(") + OpText(e.op) + " ";
      ExprText(*e.left, out);
      out += " ";
      ExprText(*e.right, out);
      out += ")";
      return;
    case ExprKind::Paren:
      out += "(paren ";
      ExprText(*e.left, out);
      out += ")";
      return;
  }
}

std::string ExprString(const Expr* e) {
  std::string s;
  if (e) ExprText(*e, s);
  return s;
}

void BlockText(const Block& b, int indent, std::string& out);

void StmtText(const Stmt& s, int indent, std::string& out) {
  static constexpr const char* kNames[] = {"Call", "Assign", "Set", "Dim", "ReDim", "Erase", "Const", "If", "Select",
                                           "For", "ForEach", "Do", "While", "Exit", "With", "OnErrorResumeNext",
                                           "OnErrorGoto0", "Stop"};
  out += std::string(indent * 2, ' ') + std::to_string(s.line) + ": " + kNames[static_cast<int>(s.kind)];
  if (!s.name.empty()) out += " " + s.name;
  if (s.target) out += " " + ExprString(s.target.get());
  if (s.value) out += " = " + ExprString(s.value.get());
  if (s.to) out += " To " + ExprString(s.to.get());
  if (s.step) out += " Step " + ExprString(s.step.get());
  if (s.cond) out += std::string(s.whileCond ? " While " : " Until ") + ExprString(s.cond.get());
  for (const VarDecl& v : s.vars) {
    out += " " + v.name;
    if (v.isArray) out += "(" + std::to_string(v.bounds.size()) + ")";
    if (v.value) out += "=" + ExprString(v.value.get());
  }
  out += "\n";
  for (const Branch& br : s.branches) {
    out += std::string(indent * 2 + 2, ' ') + "when " + ExprString(br.cond.get()) + "\n";
    BlockText(br.body, indent + 2, out);
  }
  for (const CaseClause& c : s.cases) {
    out += std::string(indent * 2 + 2, ' ') + (c.isElse ? "case else" : "case") + "\n";
    BlockText(c.body, indent + 2, out);
  }
  BlockText(s.body, indent + 1, out);
  if (!s.elseBody.empty()) {
    out += std::string(indent * 2 + 2, ' ') + "else\n";
    BlockText(s.elseBody, indent + 2, out);
  }
}

void BlockText(const Block& b, int indent, std::string& out) {
  for (const Stmt& s : b) StmtText(s, indent, out);
}

}  // namespace

std::string DumpTokens(std::string_view source) {
  std::string out;
  for (const Token& t : Tokenize(source)) {
    char pos[32];
    std::snprintf(pos, sizeof pos, "%d:%d ", t.line, t.column);
    out += pos;
    out += TokName(t.kind);
    if (t.kind == Tok::Identifier) out += " " + t.text;
    if (t.kind == Tok::Literal) out += " " + Quote(t.value);
    out += "\n";
  }
  return out;
}

std::string DumpAst(std::string_view source) {
  const Program p = ParseProgram(source);
  std::string out;
  if (p.optionExplicit) out += "Option Explicit\n";
  BlockText(p.statements, 0, out);
  for (const ProcDecl& d : p.procs) {
    out += std::to_string(d.line) + ": Procedure " + d.name + "(";
    for (std::size_t i = 0; i < d.params.size(); ++i)
      out += (i ? ", " : "") + std::string(d.params[i].byRef ? "" : "ByVal ") + d.params[i].name;
    out += ")\n";
    BlockText(d.body, 1, out);
  }
  for (const ClassDecl& c : p.classes) {
    out += std::to_string(c.line) + ": Class " + c.name + "\n";
    BlockText(c.fields, 1, out);
    for (const ProcDecl& d : c.methods) {
      out += "  " + std::to_string(d.line) + ": Member " + d.name + "\n";
      BlockText(d.body, 2, out);
    }
  }
  return out;
}

std::string DisassembleFunction(const Function& fn) {
  static constexpr const char* kKinds[] = {"Sub", "Function", "Property Get", "Property Let", "Property Set",
                                           "(top level)", "(eval)", "(execute)"};
  std::string out = "== " + std::string(kKinds[static_cast<int>(fn.kind)]) + " " + fn.name + "  params " +
                    std::to_string(fn.paramCount) + ", locals " + std::to_string(fn.localCount) + ", stack " +
                    std::to_string(fn.maxStack) + "\n";
  std::size_t stmt = 0;
  for (std::size_t pc = 0; pc < fn.code.size(); ++pc) {
    const Instr& in = fn.code[pc];
    char line[48] = "     ";
    while (stmt < fn.stmts.size() && fn.stmts[stmt].pc < static_cast<int32_t>(pc)) ++stmt;
    if (stmt < fn.stmts.size() && fn.stmts[stmt].pc == static_cast<int32_t>(pc))
      std::snprintf(line, sizeof line, "%4d ", fn.stmts[stmt].line);
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s%5zu  %-18s a=%-3d b=%-5d c=%d", line, pc, OpName(in.op), in.a, in.b, in.c);
    out += buf;
    if (in.op == OpCode::PushConst && in.c < static_cast<int32_t>(fn.constants.size())) out += "   ; " + Quote(fn.constants[in.c]);
    const bool named = in.op == OpCode::LoadName || in.op == OpCode::CallName || in.op == OpCode::GetMember ||
                       in.op == OpCode::LetMember || in.op == OpCode::SetMember || in.op == OpCode::New ||
                       ((in.b == static_cast<int>(VarKind::Name) || in.b == static_cast<int>(VarKind::Dynamic)) && in.op != OpCode::Operand && in.op != OpCode::CallProc &&
                        in.op != OpCode::CallBuiltin && in.op != OpCode::CallMethod);
    if (named && in.c >= 0 && in.c < static_cast<int32_t>(fn.names.size())) out += "   ; " + fn.names[in.c];
    if ((in.op == OpCode::LoadLocal || in.op == OpCode::StoreLocal || in.op == OpCode::AppendLocal) &&
        in.c < static_cast<int32_t>(fn.localNames.size()) && !fn.localNames[in.c].empty())
      out += "   ; " + fn.localNames[in.c];
    out += "\n";
  }
  return out;
}

}  // namespace zantrel::script
