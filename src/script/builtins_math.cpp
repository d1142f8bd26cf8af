// Math functions, Rnd and Randomize. Abs keeps its operand's type; the
// transcendental functions give Doubles and raise 5 outside their domain.
#include <array>
#include <chrono>
#include <cmath>
#include <cstring>

#include "core/convert.h"
#include "core/error.h"
#include "script/builtins.h"
#include "script/runtime.h"

namespace zantrel::script {
namespace {

Variant Abs(BuiltinContext&, Args a) {
  const Variant& v = a[0];
  switch (v.type()) {
    case VarType::Null: return v;
    case VarType::Empty: return Variant(int16_t{0});
    case VarType::Byte: return v;
    case VarType::Integer:
      if (v.RawInteger() == -32768) return Variant(int32_t{32768});
      return Variant(static_cast<int16_t>(std::abs(v.RawInteger())));
    case VarType::Long:
      if (v.RawLong() == INT32_MIN) return Variant(2147483648.0);
      return Variant(static_cast<int32_t>(std::abs(v.RawLong())));
    case VarType::Boolean: return Variant(static_cast<int16_t>(v.RawBoolean() ? 1 : 0));
    case VarType::Currency: return Variant::Currency(std::llabs(v.RawCurrency()));
    case VarType::Date: return Variant::Date(std::fabs(v.RawDouble()));
    case VarType::Single: return Variant::Single(static_cast<float>(std::fabs(v.RawDouble())));
    default: return Variant(std::fabs(CDbl(v)));
  }
}

Variant Sgn(BuiltinContext&, Args a) {
  const double d = CDbl(a[0]);  // Null raises 94
  return Variant(static_cast<int16_t>(d > 0 ? 1 : d < 0 ? -1 : 0));
}

double Number(const Variant& v) {
  if (v.IsNull()) Raise(94);
  return CDbl(v);
}

Variant Checked(double r) {
  if (std::isnan(r)) Raise(err::kInvalidCall);
  if (std::isinf(r)) Raise(err::kOverflow);
  return Variant(r);
}

Variant Sqr(BuiltinContext&, Args a) {
  const double d = Number(a[0]);
  if (d < 0) Raise(err::kInvalidCall);
  return Variant(std::sqrt(d));
}
Variant Exp(BuiltinContext&, Args a) { return Checked(std::exp(Number(a[0]))); }
Variant Log(BuiltinContext&, Args a) {
  const double d = Number(a[0]);
  if (d <= 0) Raise(err::kInvalidCall);
  return Variant(std::log(d));
}
Variant Sin(BuiltinContext&, Args a) { return Checked(std::sin(Number(a[0]))); }
Variant Cos(BuiltinContext&, Args a) { return Checked(std::cos(Number(a[0]))); }
Variant Tan(BuiltinContext&, Args a) { return Checked(std::tan(Number(a[0]))); }
Variant Atn(BuiltinContext&, Args a) { return Checked(std::atan(Number(a[0]))); }

// Rnd: a negative argument reseeds from it, zero repeats the last number.
Variant Rnd(BuiltinContext& cx, Args a) {
  const double n = a.empty() ? 1.0 : Number(a[0]);
  float& last = cx.rt.LastRnd();
  if (n == 0) return Variant::Single(last);
  if (n < 0) {
    double bits = n;
    uint64_t seed = 0;
    std::memcpy(&seed, &bits, sizeof seed);
    cx.rt.Rng().seed(static_cast<uint32_t>(seed ^ (seed >> 32)));
  }
  last = static_cast<float>(std::uniform_real_distribution<double>(0.0, 1.0)(cx.rt.Rng()));
  if (last >= 1.0f) last = 0.0f;
  return Variant::Single(last);
}

Variant Randomize(BuiltinContext& cx, Args a) {
  uint32_t seed;
  if (a.empty()) seed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  else seed = static_cast<uint32_t>(static_cast<int64_t>(Number(a[0]) * 1000.0));
  cx.rt.Rng().seed(seed);
  return {};
}

constexpr std::array kMathBuiltins = {
    Builtin{"Abs", Abs, 1, 1}, Builtin{"Sgn", Sgn, 1, 1}, Builtin{"Sqr", Sqr, 1, 1}, Builtin{"Exp", Exp, 1, 1},
    Builtin{"Log", Log, 1, 1}, Builtin{"Sin", Sin, 1, 1}, Builtin{"Cos", Cos, 1, 1}, Builtin{"Tan", Tan, 1, 1},
    Builtin{"Atn", Atn, 1, 1}, Builtin{"Rnd", Rnd, 0, 1}, Builtin{"Randomize", Randomize, 0, 1},
};

}  // namespace

std::span<const Builtin> MathBuiltins() { return kMathBuiltins; }

}  // namespace zantrel::script
