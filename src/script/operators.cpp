// The arithmetic works on a common type picked by rank (Byte < Integer < Long <
// Single < Double < Currency, Date kept for + and -): whole-number results that
// leave their type widen to the next one instead of overflowing; Single with
// Long gives Double. Strings that meet a
// number become Doubles; a string that is not a number raises 13.
#include "script/operators.h"

#include <cmath>
#include <limits>

#include "core/convert.h"
#include "core/dispatch.h"
#include "core/error.h"
#include "core/names.h"

namespace zantrel::script {
namespace {

enum Rank { kByte = 1, kInteger, kLong, kSingle, kDouble, kCurrency, kDate };

[[noreturn]] void TypeMismatch() { Raise(err::kTypeMismatch); }

// A number in the form arithmetic needs: its rank and value.
struct Num {
  int rank;
  double d;       // for Double, Date, and strings
  int64_t i;      // for whole types and Currency (scaled)
};

Num ToNum(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return {kInteger, 0, 0};
    case VarType::Boolean: return {kInteger, 0, v.RawBoolean() ? -1 : 0};
    case VarType::Byte: return {kByte, 0, v.RawByte()};
    case VarType::Integer: return {kInteger, 0, v.RawInteger()};
    case VarType::Long: return {kLong, 0, v.RawLong()};
    case VarType::Single: return {kSingle, v.RawDouble(), 0};
    case VarType::Double: return {kDouble, v.RawDouble(), 0};
    case VarType::Date: return {kDate, v.RawDouble(), 0};
    case VarType::Currency: return {kCurrency, 0, v.RawCurrency()};
    case VarType::String: {
      const auto n = ParseNumber(v.RawString());
      if (!n) TypeMismatch();
      return {kDouble, *n, 0};
    }
    case VarType::Object: return ToNum(DefaultValue(v));
    default: TypeMismatch();
  }
}

double AsDouble(const Num& n) {
  if (n.rank == kSingle || n.rank == kDouble || n.rank == kDate) return n.d;
  if (n.rank == kCurrency) return static_cast<double>(n.i) / 10000.0;
  return static_cast<double>(n.i);
}

// A whole result in the narrowest of Byte/Integer/Long from rank upward, else Double.
Variant Whole(int64_t r, int rank) {
  if (rank <= kByte && r >= 0 && r <= 255) return Variant::Byte(static_cast<uint8_t>(r));
  if (rank <= kInteger && r >= -32768 && r <= 32767) return Variant(static_cast<int16_t>(r));
  if (r >= INT32_MIN && r <= INT32_MAX) return Variant(static_cast<int32_t>(r));
  return Variant(static_cast<double>(r));
}

Variant CurrencyResult(double scaled) {
  if (!(scaled >= -9.2233720368547758e18 && scaled < 9.2233720368547758e18)) Raise(err::kOverflow);
  return Variant::Currency(static_cast<int64_t>(std::llround(scaled)));
}

Variant DoubleResult(double d) {
  if (!std::isfinite(d)) Raise(err::kOverflow);
  return Variant(d);
}

// Single when the common rank is Single (a Long beside it widens to Double).
Variant FloatResult(double d, const Num& x, const Num& y) {
  if (std::max(x.rank, y.rank) != kSingle || x.rank == kLong || y.rank == kLong) return DoubleResult(d);
  if (!(std::fabs(d) <= std::numeric_limits<float>::max())) Raise(err::kOverflow);
  return Variant::Single(static_cast<float>(d));
}

Variant DateResult(double d) {
  if (!(d >= -657434.0 && d < 2958466.0)) Raise(err::kOverflow);
  return Variant::Date(d);
}

bool IsNullish(const Variant& a, const Variant& b) { return a.IsNull() || b.IsNull(); }

enum class Arith { Add, Sub, Mul };

Variant Arithmetic(const Variant& a, const Variant& b, Arith op) {
  if (IsNullish(a, b)) return Variant::Null();
  const Num x = ToNum(a), y = ToNum(b);
  int rank = std::max(x.rank, y.rank);
  const bool dated = rank == kDate;
  if (dated && op == Arith::Mul) rank = kDouble;
  if (rank <= kLong) {
    const int64_t r = op == Arith::Add ? x.i + y.i : op == Arith::Sub ? x.i - y.i : x.i * y.i;
    return Whole(r, rank);
  }
  if (rank == kCurrency) {
    const double xs = x.rank == kCurrency ? static_cast<double>(x.i) : AsDouble(x) * 10000.0;
    const double ys = y.rank == kCurrency ? static_cast<double>(y.i) : AsDouble(y) * 10000.0;
    if (op == Arith::Mul) return CurrencyResult(xs * ys / 10000.0);
    return CurrencyResult(op == Arith::Add ? xs + ys : xs - ys);
  }
  const double xd = AsDouble(x), yd = AsDouble(y);
  const double r = op == Arith::Add ? xd + yd : op == Arith::Sub ? xd - yd : xd * yd;
  if (dated) {
    if (op == Arith::Sub && x.rank == kDate && y.rank == kDate) return DoubleResult(r);
    return DateResult(r);
  }
  return FloatResult(r, x, y);
}

// \ and Mod: operands rounded to whole numbers first.
int64_t WholeOperand(const Num& n) {
  if (n.rank <= kLong) return n.i;
  const double r = BankersRound(AsDouble(n));
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) Raise(err::kOverflow);
  return static_cast<int64_t>(r);
}

int WholeRank(const Num& x, const Num& y) { return std::max(x.rank, y.rank) <= kInteger ? kInteger : kLong; }

int Sign(double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }

int CompareText(const std::string& a, const std::string& b, bool text) {
  const int c = text ? NameCompare(a, b) : a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Booleans and whole numbers as the 32-bit pattern the logical operators use.
struct Bits {
  bool isBool;
  int rank;
  int32_t v;
};

Bits ToBits(const Variant& v) {
  switch (v.type()) {
    case VarType::Boolean: return {true, kInteger, v.RawBoolean() ? -1 : 0};
    case VarType::Empty: return {false, kInteger, 0};
    case VarType::Byte: return {false, kByte, v.RawByte()};
    case VarType::Integer: return {false, kInteger, v.RawInteger()};
    case VarType::Long: return {false, kLong, v.RawLong()};
    case VarType::String: {
      const std::string& s = v.RawString();
      if (NameEquals(s, "true")) return {true, kInteger, -1};
      if (NameEquals(s, "false")) return {true, kInteger, 0};
      return {false, kLong, CLng(v)};
    }
    case VarType::Object: return ToBits(DefaultValue(v));
    default: return {false, kLong, CLng(v)};
  }
}

enum class Logic { And, Or, Xor, Eqv, Imp };

int32_t ApplyLogic(int32_t x, int32_t y, Logic op) {
  switch (op) {
    case Logic::And: return x & y;
    case Logic::Or: return x | y;
    case Logic::Xor: return x ^ y;
    case Logic::Eqv: return ~(x ^ y);
    case Logic::Imp: return ~x | y;
  }
  return 0;
}

Variant Logical(const Variant& a, const Variant& b, Logic op) {
  if (a.IsNull() || b.IsNull()) {
    // Null with a known operand: False And Null is False, True Or Null is True, True Imp... as VBScript.
    const Variant& other = a.IsNull() ? b : a;
    if (other.IsNull()) return Variant::Null();
    const Bits o = ToBits(other);
    if (op == Logic::And && o.v == 0) return o.isBool ? Variant(false) : Whole(0, o.rank);
    if (op == Logic::Or && o.v == -1) return o.isBool ? Variant(true) : Whole(-1, o.rank);
    if (op == Logic::Imp && a.IsNull() && o.v == -1) return o.isBool ? Variant(true) : Whole(-1, o.rank);
    if (op == Logic::Imp && b.IsNull() && o.v == 0) return o.isBool ? Variant(true) : Whole(-1, o.rank);
    return Variant::Null();
  }
  const Bits x = ToBits(a), y = ToBits(b);
  const int32_t r = ApplyLogic(x.v, y.v, op);
  if (x.isBool && y.isBool) return Variant(r != 0);
  return Whole(r, std::max(x.rank, y.rank) <= kInteger ? std::max(x.rank, y.rank) : kLong);
}

}  // namespace

Variant DefaultValue(const Variant& v) {
  if (!v.IsObject()) return v;
  Dispatch* d = v.RawObject();
  if (!d) Raise(err::kObjectNotSet);
  Variant r = d->Invoke(kDispDefault, InvokeKind::Get, {});
  if (r.IsObject()) Raise(err::kTypeMismatch);
  return r;
}

Variant Add(const Variant& a, const Variant& b) {
  if (a.IsString() && b.IsString()) return Variant(a.RawString() + b.RawString());
  if (a.IsObject() || b.IsObject()) return Add(DefaultValue(a), DefaultValue(b));
  if (a.IsEmpty() && b.IsString()) return b;
  if (b.IsEmpty() && a.IsString()) return a;
  return Arithmetic(a, b, Arith::Add);
}

Variant Subtract(const Variant& a, const Variant& b) { return Arithmetic(a, b, Arith::Sub); }
Variant Multiply(const Variant& a, const Variant& b) { return Arithmetic(a, b, Arith::Mul); }

Variant Divide(const Variant& a, const Variant& b) {
  if (IsNullish(a, b)) return Variant::Null();
  const Num xn = ToNum(a), yn = ToNum(b);
  const double x = AsDouble(xn), y = AsDouble(yn);
  if (y == 0) Raise(x == 0 ? err::kOverflow : err::kDivisionByZero);
  return FloatResult(x / y, xn, yn);
}

Variant IntDivide(const Variant& a, const Variant& b) {
  if (IsNullish(a, b)) return Variant::Null();
  const Num x = ToNum(a), y = ToNum(b);
  const int64_t xi = WholeOperand(x), yi = WholeOperand(y);
  if (yi == 0) Raise(err::kDivisionByZero);
  return Whole(xi / yi, WholeRank(x, y));
}

Variant Modulo(const Variant& a, const Variant& b) {
  if (IsNullish(a, b)) return Variant::Null();
  const Num x = ToNum(a), y = ToNum(b);
  const int64_t xi = WholeOperand(x), yi = WholeOperand(y);
  if (yi == 0) Raise(err::kDivisionByZero);
  return Whole(xi % yi, WholeRank(x, y));
}

Variant Power(const Variant& a, const Variant& b) {
  if (IsNullish(a, b)) return Variant::Null();
  const double x = AsDouble(ToNum(a)), y = AsDouble(ToNum(b));
  if (x == 0 && y < 0) Raise(err::kInvalidCall);
  if (x < 0 && y != std::floor(y)) Raise(err::kInvalidCall);
  return DoubleResult(std::pow(x, y));
}

Variant Negate(const Variant& a) {
  switch (a.type()) {
    case VarType::Null: return a;
    case VarType::Empty: return Variant(int16_t{0});
    case VarType::Double: return Variant(-a.RawDouble());
    case VarType::Single: return Variant::Single(static_cast<float>(-a.RawDouble()));
    case VarType::Date: return DateResult(-a.RawDouble());
    case VarType::Currency:
      if (a.RawCurrency() == INT64_MIN) Raise(err::kOverflow);
      return Variant::Currency(-a.RawCurrency());
    case VarType::Object: return Negate(DefaultValue(a));
    default: break;
  }
  const Num n = ToNum(a);
  if (n.rank == kDouble) return Variant(-n.d);
  return Whole(-n.i, n.rank == kByte ? kInteger : n.rank);
}

void AppendText(std::string& out, const Variant& v) {
  switch (v.type()) {
    case VarType::String: out += v.RawString(); return;
    case VarType::Null:
    case VarType::Empty: return;
    case VarType::Integer: out += std::to_string(v.RawInteger()); return;
    case VarType::Long: out += std::to_string(v.RawLong()); return;
    case VarType::Object: AppendText(out, DefaultValue(v)); return;
    default: out += CStr(v);
  }
}

Variant Concat(const Variant& a, const Variant& b) {
  if (a.IsNull() && b.IsNull()) return Variant::Null();
  if (a.IsObject() || b.IsObject()) return Concat(DefaultValue(a), DefaultValue(b));
  std::string s;
  if (a.IsString()) {
    s.reserve(a.RawString().size() + (b.IsString() ? b.RawString().size() : 16));
    s = a.RawString();
  } else {
    AppendText(s, a);
  }
  AppendText(s, b);
  return Variant(std::move(s));
}

int CompareValues(const Variant& a, const Variant& b, bool text) {
  if (a.IsObject() || b.IsObject()) return CompareValues(DefaultValue(a), DefaultValue(b), text);
  if (a.IsNull() || b.IsNull()) Raise(94);
  if (a.IsArray() || b.IsArray()) TypeMismatch();
  const bool as = a.IsString(), bs = b.IsString();
  if (as && bs) return CompareText(a.RawString(), b.RawString(), text);
  if (as || bs) {
    const Variant& other = as ? b : a;
    if (other.IsEmpty()) {
      const std::string& s = as ? a.RawString() : b.RawString();
      const int c = s.empty() ? 0 : 1;
      return as ? c : -c;
    }
    // A number is less than a string.
    return as ? 1 : -1;
  }
  if (a.IsEmpty() && b.IsEmpty()) return 0;
  const Num x = ToNum(a), y = ToNum(b);
  if (x.rank <= kLong && y.rank <= kLong) return x.i < y.i ? -1 : x.i > y.i ? 1 : 0;
  if (x.rank == kCurrency && y.rank == kCurrency) return x.i < y.i ? -1 : x.i > y.i ? 1 : 0;
  return Sign(AsDouble(x) - AsDouble(y));
}

Variant Compare(const Variant& a, const Variant& b, CompareOp op) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  if ((a.IsObject() || b.IsObject())) {
    const Variant x = DefaultValue(a), y = DefaultValue(b);
    return Compare(x, y, op);
  }
  const int c = CompareValues(a, b);
  switch (op) {
    case CompareOp::Eq: return Variant(c == 0);
    case CompareOp::Ne: return Variant(c != 0);
    case CompareOp::Lt: return Variant(c < 0);
    case CompareOp::Le: return Variant(c <= 0);
    case CompareOp::Gt: return Variant(c > 0);
    case CompareOp::Ge: return Variant(c >= 0);
  }
  return Variant(false);
}

Variant And(const Variant& a, const Variant& b) { return Logical(a, b, Logic::And); }
Variant Or(const Variant& a, const Variant& b) { return Logical(a, b, Logic::Or); }
Variant Xor(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  return Logical(a, b, Logic::Xor);
}
Variant Eqv(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  return Logical(a, b, Logic::Eqv);
}
Variant Imp(const Variant& a, const Variant& b) { return Logical(a, b, Logic::Imp); }

Variant Not(const Variant& a) {
  switch (a.type()) {
    case VarType::Null: return a;
    case VarType::Boolean: return Variant(!a.RawBoolean());
    case VarType::Empty: return Variant(int16_t{-1});
    case VarType::Byte: return Variant::Byte(static_cast<uint8_t>(~a.RawByte()));
    case VarType::Integer: return Variant(static_cast<int16_t>(~a.RawInteger()));
    case VarType::Object: return Not(DefaultValue(a));
    default: {
      const Bits b = ToBits(a);
      if (b.isBool) return Variant(b.v == 0);
      return Variant(static_cast<int32_t>(~b.v));
    }
  }
}

bool Is(const Variant& a, const Variant& b) {
  if (!a.IsObject() || !b.IsObject()) Raise(err::kObjectRequired);
  return a.RawObject() == b.RawObject();
}

bool Truth(const Variant& v) {
  switch (v.type()) {
    case VarType::Boolean: return v.RawBoolean();
    case VarType::Null:
    case VarType::Empty: return false;
    case VarType::Integer: return v.RawInteger() != 0;
    case VarType::Long: return v.RawLong() != 0;
    case VarType::Object: return Truth(DefaultValue(v));
    default: return CBool(v);
  }
}

}  // namespace zantrel::script
