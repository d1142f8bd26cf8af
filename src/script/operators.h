// VBScript's operators on variants: arithmetic with Integer -> Long -> Double
// promotion, & and + on strings, comparisons across types, logical operators
// that are bitwise on numbers, and the truth of a condition. Objects in
// operands give their default member's value first.
#pragma once

#include <string>

#include "core/variant.h"

namespace zantrel::script {

Variant Add(const Variant& a, const Variant& b);
Variant Subtract(const Variant& a, const Variant& b);
Variant Multiply(const Variant& a, const Variant& b);
Variant Divide(const Variant& a, const Variant& b);
Variant IntDivide(const Variant& a, const Variant& b);
Variant Modulo(const Variant& a, const Variant& b);
Variant Power(const Variant& a, const Variant& b);
Variant Negate(const Variant& a);
Variant Concat(const Variant& a, const Variant& b);

enum class CompareOp : uint8_t { Eq, Ne, Lt, Le, Gt, Ge };
// Boolean, or Null when either side is Null.
Variant Compare(const Variant& a, const Variant& b, CompareOp op);
// -1, 0, 1 under VBScript's ordering; raises for Null (used by sorting and Select).
int CompareValues(const Variant& a, const Variant& b, bool text = false);

Variant And(const Variant& a, const Variant& b);
Variant Or(const Variant& a, const Variant& b);
Variant Xor(const Variant& a, const Variant& b);
Variant Eqv(const Variant& a, const Variant& b);
Variant Imp(const Variant& a, const Variant& b);
Variant Not(const Variant& a);
bool Is(const Variant& a, const Variant& b);

// The condition of If, While, Do: Null is false, objects give their default value.
bool Truth(const Variant& v);

// The value of v for an operator: the default member of an object (91 for
// Nothing, 438 without one), else v itself.
Variant DefaultValue(const Variant& v);

// Appends the text of v (Null gives nothing) to out: the in-place form of &.
void AppendText(std::string& out, const Variant& v);

}  // namespace zantrel::script
