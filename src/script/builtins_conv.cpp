// Conversion and test functions: the C… conversions from core/convert.h,
// Int/Fix/Round keeping their operand's type, and the Is… tests, TypeName and
// VarType.
#include <array>
#include <cmath>

#include "core/convert.h"
#include "core/dispatch.h"
#include "core/error.h"
#include "script/builtins.h"
#include "script/operators.h"

namespace zantrel::script {
namespace {

Variant CStrFn(BuiltinContext&, Args a) { return Variant(CStr(a[0])); }
Variant CIntFn(BuiltinContext&, Args a) { return Variant(CInt(a[0])); }
Variant CLngFn(BuiltinContext&, Args a) { return Variant(CLng(a[0])); }
Variant CDblFn(BuiltinContext&, Args a) { return Variant(CDbl(a[0])); }
Variant CSngFn(BuiltinContext&, Args a) { return Variant::Single(CSng(a[0])); }
Variant CBoolFn(BuiltinContext&, Args a) { return Variant(CBool(a[0])); }
// CByte(True) is 255: the Boolean's bits, not its value -1.
Variant CByteFn(BuiltinContext&, Args a) {
  if (a[0].type() == VarType::Boolean) return Variant::Byte(a[0].RawBoolean() ? 255 : 0);
  return Variant::Byte(CByte(a[0]));
}
Variant CCurFn(BuiltinContext&, Args a) { return Variant::Currency(CCur(a[0])); }
Variant CDateFn(BuiltinContext&, Args a) { return Variant::Date(CDate(a[0])); }

// Int and Fix: whole part, same type for numbers (Long for a string's Double).
Variant WholePart(const Variant& v, double (*f)(double)) {
  switch (v.type()) {
    case VarType::Null: return v;
    case VarType::Empty: return Variant(int16_t{0});
    case VarType::Boolean: return Variant(static_cast<int16_t>(v.RawBoolean() ? -1 : 0));
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long: return v;
    case VarType::Single: return Variant::Single(static_cast<float>(f(v.RawDouble())));
    case VarType::Double: return Variant(f(v.RawDouble()));
    case VarType::Date: return Variant::Date(f(v.RawDouble()));
    case VarType::Currency: return Variant::Currency(static_cast<int64_t>(f(v.RawCurrency() / 10000.0)) * 10000);
    default: return Variant(f(CDbl(v)));
  }
}

Variant IntFn(BuiltinContext&, Args a) { return WholePart(a[0], [](double d) { return std::floor(d); }); }
Variant FixFn(BuiltinContext&, Args a) { return WholePart(a[0], [](double d) { return std::trunc(d); }); }

Variant RoundFn(BuiltinContext&, Args a) {
  const Variant& v = a[0];
  if (v.IsNull()) return v;
  const int32_t digits = a.size() > 1 ? CLng(a[1]) : 0;
  if (digits < 0) Raise(err::kInvalidCall);
  if (v.type() == VarType::Integer || v.type() == VarType::Long || v.type() == VarType::Byte ||
      v.type() == VarType::Boolean)
    return v;
  if (v.IsEmpty()) return Variant(int16_t{0});
  const double d = CDbl(v);
  double r;
  if (digits == 0) {
    r = BankersRound(d);
  } else {
    const double p = std::pow(10.0, digits);
    const double scaled = d * p;
    // Decimal ties such as 2.675 are stored as 2.67499…; round the nearest decimal text instead.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", digits + 3, scaled);
    r = BankersRound(std::strtod(buf, nullptr)) / p;
    if (!std::isfinite(r)) r = d;
  }
  if (v.type() == VarType::Currency) return Variant::Currency(static_cast<int64_t>(std::llround(r * 10000.0)));
  if (v.type() == VarType::Date) return Variant::Date(r);
  if (v.type() == VarType::Single) return Variant::Single(static_cast<float>(r));
  return Variant(r);
}

Variant IsEmptyFn(BuiltinContext&, Args a) { return Variant(a[0].IsEmpty()); }
Variant IsNullFn(BuiltinContext&, Args a) { return Variant(a[0].IsNull()); }
Variant IsObjectFn(BuiltinContext&, Args a) { return Variant(a[0].IsObject()); }
Variant IsArrayFn(BuiltinContext&, Args a) { return Variant(a[0].IsArray()); }

// The value IsNumeric and IsDate test: an object's default value; false when it has none.
bool TestedValue(const Variant& arg, Variant& out) {
  if (!arg.IsObject()) {
    out = arg;
    return true;
  }
  if (!arg.RawObject()) return false;
  try {
    out = DefaultValue(arg);
  } catch (const Error&) {
    return false;
  }
  return true;
}

Variant IsNumericFn(BuiltinContext&, Args a) {
  Variant v;
  if (!TestedValue(a[0], v)) return Variant(false);
  if (v.IsEmpty()) return Variant(true);
  if (v.IsString()) return Variant(ParseNumber(v.RawString()).has_value());
  if (v.type() == VarType::Date) return Variant(false);
  return Variant(v.IsNumeric());
}

Variant IsDateFn(BuiltinContext&, Args a) {
  Variant v;
  if (!TestedValue(a[0], v)) return Variant(false);
  if (v.type() == VarType::Date) return Variant(true);
  if (v.IsString()) return Variant(ParseDate(v.RawString()).has_value());
  return Variant(false);
}

Variant TypeNameFn(BuiltinContext&, Args a) { return Variant(TypeName(a[0])); }
Variant VarTypeFn(BuiltinContext&, Args a) {
  const int32_t t = VarTypeNumber(a[0]);
  return Variant(static_cast<int16_t>(t));
}

constexpr std::array kConversionBuiltins = {
    Builtin{"CStr", CStrFn, 1, 1},    Builtin{"CInt", CIntFn, 1, 1},    Builtin{"CLng", CLngFn, 1, 1},
    Builtin{"CDbl", CDblFn, 1, 1},    Builtin{"CSng", CSngFn, 1, 1},    Builtin{"CBool", CBoolFn, 1, 1},
    Builtin{"CByte", CByteFn, 1, 1},  Builtin{"CCur", CCurFn, 1, 1},    Builtin{"CDate", CDateFn, 1, 1},
    Builtin{"Int", IntFn, 1, 1},      Builtin{"Fix", FixFn, 1, 1},      Builtin{"Round", RoundFn, 1, 2},
    Builtin{"IsEmpty", IsEmptyFn, 1, 1, kKeepObjects},
    Builtin{"IsNull", IsNullFn, 1, 1, kKeepObjects},
    Builtin{"IsObject", IsObjectFn, 1, 1, kKeepObjects},
    Builtin{"IsArray", IsArrayFn, 1, 1, kKeepObjects},
    Builtin{"IsNumeric", IsNumericFn, 1, 1, kKeepObjects},
    Builtin{"IsDate", IsDateFn, 1, 1, kKeepObjects},
    Builtin{"TypeName", TypeNameFn, 1, 1, kKeepObjects},
    Builtin{"VarType", VarTypeFn, 1, 1, kKeepObjects},
};

}  // namespace

std::span<const Builtin> ConversionBuiltins() { return kConversionBuiltins; }

}  // namespace zantrel::script
