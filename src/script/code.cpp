// Lookups in a function's statement table and the names of the opcodes.
#include "script/code.h"

#include <algorithm>

namespace zantrel::script {

const StmtPos* Function::StatementAt(int32_t pc) const {
  auto it = std::upper_bound(stmts.begin(), stmts.end(), pc, [](int32_t p, const StmtPos& s) { return p < s.pc; });
  if (it == stmts.begin()) return nullptr;
  return &*(it - 1);
}

int32_t Function::NextStatementPc(int32_t pc) const {
  const StmtPos* at = StatementAt(pc);
  auto it = at ? stmts.begin() + (at - stmts.data()) + 1 : stmts.begin();
  for (; it != stmts.end(); ++it)
    if (it->pc > pc) return it->pc;
  return static_cast<int32_t>(code.size()) - 1;  // the final Return
}

const char* OpName(OpCode op) {
  static constexpr const char* kNames[] = {
#define ZANTREL_OP(name, operands, effect) #name,
      ZANTREL_SCRIPT_OPCODES(ZANTREL_OP)
#undef ZANTREL_OP
  };
  return kNames[static_cast<int>(op)];
}

}  // namespace zantrel::script
