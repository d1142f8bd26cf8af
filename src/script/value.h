// Inline helpers for the machine's hot paths: placement copies and moves that
// skip the out-of-line Variant members for the types without resources, and
// the whole-number tests the fast paths of + and comparison use.
#pragma once

#include <cstring>
#include <new>

#include "core/variant.h"
#include "script/operators.h"

namespace zantrel::script {

// True for the types whose Variant holds no string, object or array.
inline bool IsPlain(VarType t) { return t != VarType::String && t != VarType::Object && t != VarType::Array; }

// Ends the life of the value in a stack slot (the slot is raw afterwards).
inline void Destroy(Variant* v) {
  if (!IsPlain(v->type())) v->~Variant();
}

// A plain value is its bytes: copied as they are, with one branch instead of a
// switch over the types (whose jump the processor keeps mispredicting).
inline void CopyBytes(Variant* dst, const Variant& src) {
  std::memcpy(static_cast<void*>(dst), static_cast<const void*>(&src), sizeof(Variant));
}

// Constructs a copy of src in the raw slot dst.
inline void CopyInto(Variant* dst, const Variant& src) {
  if (IsPlain(src.type())) CopyBytes(dst, src);
  else new (dst) Variant(src);
}

// Moves src into the raw slot dst; src is left valid (Empty or unchanged plain value).
inline void MoveInto(Variant* dst, Variant* src) {
  if (IsPlain(src->type())) CopyBytes(dst, *src);
  else new (dst) Variant(std::move(*src));
}

inline bool IsWhole(const Variant& v) { return v.type() == VarType::Integer || v.type() == VarType::Long; }
inline int32_t WholeOf(const Variant& v) { return v.type() == VarType::Integer ? v.RawInteger() : v.RawLong(); }

// Both plain numbers (Integer, Long or Double) as doubles.
inline bool PlainNumbers(const Variant& a, const Variant& b, double& x, double& y) {
  auto num = [](const Variant& v, double& out) {
    switch (v.type()) {
      case VarType::Integer: out = v.RawInteger(); return true;
      case VarType::Long: out = v.RawLong(); return true;
      case VarType::Double: out = v.RawDouble(); return true;
      default: return false;
    }
  };
  return num(a, x) && num(b, y);
}

// An Integer when both operands were Integers and the result fits, else a Long.
inline Variant WholeResult(const Variant& a, const Variant& b, int32_t r) {
  if (a.type() == VarType::Integer && b.type() == VarType::Integer && r >= -32768 && r <= 32767)
    return Variant(static_cast<int16_t>(r));
  return Variant(r);
}

inline bool CompareResult(int c, CompareOp op) {
  switch (op) {
    case CompareOp::Eq: return c == 0;
    case CompareOp::Ne: return c != 0;
    case CompareOp::Lt: return c < 0;
    case CompareOp::Le: return c <= 0;
    case CompareOp::Gt: return c > 0;
    case CompareOp::Ge: return c >= 0;
  }
  return false;
}

}  // namespace zantrel::script
