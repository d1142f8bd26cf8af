// The instruction set, written once as a table: name, operands, stack effect.
// An instruction is 8 bytes: op, a (8 bits), b (16 bits), c (32 bits). Variable
// operands name a kind in b (VarKind) and a slot in c; "n" is an argument count in a.
#pragma once

#include <cstdint>

namespace zantrel::script {

#define ZANTREL_SCRIPT_OPCODES(X)                                                         \
  /* constants and stack */                                                             \
  X(PushConst, "c=constant", "-> v")                                                    \
  X(PushEmpty, "", "-> Empty")                                                          \
  X(PushNothing, "", "-> Nothing")                                                      \
  X(PushMe, "", "-> Me")                                                                \
  X(Pop, "", "v ->")                                                                    \
  /* variables: b = kind, c = slot */                                                   \
  X(LoadLocal, "c=slot", "-> v")                                                        \
  X(StoreLocal, "c=slot", "v ->   (Let)")                                               \
  X(Load, "b=kind c=slot", "-> v")                                                      \
  X(Store, "b=kind c=slot", "v ->   (Let)")                                             \
  X(SetVar, "b=kind c=slot", "obj ->   (Set)")                                          \
  X(Append, "b=kind c=slot", "v ->   var = var & v in place")                           \
  X(AppendLocal, "c=slot", "v ->   local = local & v in place")                         \
  X(AppendConst, "b=slot c=constant", "local = local & constant in place")                \
  X(ArithLocals, "a=operator b=operand c=operand", "-> local op local, read in place")  \
  X(ArithLocalConst, "a=operator b=operand c=constant", "-> local op constant, in place") \
  X(ArithLocalsTo, "a=operator b=operand c=operand|target<<16", "target = local op local") \
  X(ArithLocalConstTo, "a=operator b=operand c=constant|target<<16", "target = local op constant") \
  X(AppendElem, "n b=slot", "args ->   local = local & var(args); next: b=kind c=slot")  \
  X(ArgVar, "b=kind c=slot", "-> v   and remember the variable for ByRef")              \
  X(Index, "n b=kind c=slot", "args -> var(args)")                                      \
  X(StoreIndex, "n b=kind c=slot", "args v ->   var(args) = v")                         \
  X(SetIndex, "n b=kind c=slot", "args obj ->   Set var(args) = obj")                   \
  X(ArgIndex, "n b=kind c=slot", "args -> var(args)   element by reference")            \
  X(DimArray, "n b=kind c=slot", "bounds ->   fixed array")                             \
  X(ReDim, "n b=kind|preserve c=slot", "bounds ->")                                     \
  X(Erase, "b=kind c=slot", "")                                                         \
  /* names resolved at run time: c = name index */                                      \
  X(LoadName, "c=name", "-> v")                                                         \
  X(CallName, "n c=name b=1:keep", "args -> [result]")                                  \
  /* calls */                                                                           \
  X(CallProc, "n c=procedure b=1:keep", "args -> [result]")                             \
  X(CallBuiltin, "n c=builtin b=1:keep", "args -> [result]")                            \
  X(CallMethod, "n c=method b=kind|keep", "args -> [result]   a method of Me")          \
  X(IndexValue, "n", "v args -> v(args)")                                               \
  X(GetMember, "n c=name b=1:keep", "obj args -> [obj.name(args)]")                     \
  X(LetMember, "n c=name", "obj args v ->")                                             \
  X(SetMember, "n c=name", "obj args v ->")                                             \
  X(New, "c=name", "-> obj")                                                            \
  X(CheckObject, "", "v -> v   424 unless an object")                                   \
  /* operators */                                                                       \
  X(Add, "", "a b -> a+b")                                                              \
  X(Sub, "", "a b -> a-b")                                                              \
  X(Mul, "", "a b -> a*b")                                                              \
  X(Div, "", "a b -> a/b")                                                              \
  X(IntDiv, "", "a b -> a\\b")                                                          \
  X(Mod, "", "a b -> a Mod b")                                                          \
  X(Pow, "", "a b -> a^b")                                                              \
  X(Neg, "", "a -> -a")                                                                 \
  X(Concat, "", "a b -> a&b")                                                           \
  X(Eq, "", "a b -> a=b")                                                               \
  X(Ne, "", "a b -> a<>b")                                                              \
  X(Lt, "", "a b -> a<b")                                                               \
  X(Le, "", "a b -> a<=b")                                                              \
  X(Gt, "", "a b -> a>b")                                                               \
  X(Ge, "", "a b -> a>=b")                                                              \
  X(Is, "", "a b -> a Is b")                                                            \
  X(And, "", "a b -> a And b")                                                          \
  X(Or, "", "a b -> a Or b")                                                            \
  X(Xor, "", "a b -> a Xor b")                                                          \
  X(Eqv, "", "a b -> a Eqv b")                                                          \
  X(Imp, "", "a b -> a Imp b")                                                          \
  X(Not, "", "a -> Not a")                                                              \
  /* control flow: c = target */                                                        \
  X(Jump, "c=target", "")                                                               \
  X(JumpIfFalse, "c=target", "cond ->")                                                 \
  X(JumpIfTrue, "c=target", "cond ->")                                                  \
  X(ForInit, "b=kind c=slot", "from to step ->   next: b=hidden c=exit")                \
  X(ForNext, "b=kind c=slot", "next: b=hidden c=body")                                  \
  X(ForEachInit, "c=hidden", "collection ->")                                           \
  X(ForEachNext, "b=kind c=slot", "next: b=hidden c=exit")                              \
  X(Operand, "b c", "extra operands of the instruction before")                         \
  X(Return, "", "leave the procedure")                                                  \
  X(OnErrorResumeNext, "", "")                                                          \
  X(OnErrorGoto0, "", "")                                                               \
  X(Nop, "", "")

enum class OpCode : uint8_t {
#define ZANTREL_OP(name, operands, effect) name,
  ZANTREL_SCRIPT_OPCODES(ZANTREL_OP)
#undef ZANTREL_OP
};

// Where a variable lives.
enum class VarKind : uint8_t {
  Local,     // the frame's own slot
  Ref,       // a ByRef parameter: the frame's pointer
  Global,    // a cell of the runtime (module variables, named objects)
  Member,    // a field of Me
  OuterLocal,  // Execute/Eval code: a slot of the frame that ran it
  OuterRef,
  Name,      // resolved by name at run time (c = name index); Option Explicit applies
  Dynamic,   // Execute code: a name it declared in the procedure that ran it (c = name index)
};

// An operand of the fused operators (ArithLocals…): a slot of the frame's
// locals, or with this bit set of its ByRef parameters.
inline constexpr int32_t kRefOperand = 0x8000;

struct Instr {
  OpCode op;
  uint8_t a = 0;
  uint16_t b = 0;
  int32_t c = 0;
};
static_assert(sizeof(Instr) == 8);

const char* OpName(OpCode op);

}  // namespace zantrel::script
