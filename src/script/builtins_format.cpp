// FormatNumber, FormatCurrency, FormatPercent and FormatDateTime in the en-US
// locale: two decimals, a leading zero, "," between thousands, "$" and
// parentheses around negative currency.
#include <array>
#include <cmath>
#include <cstdio>

#include "core/convert.h"
#include "core/error.h"
#include "script/builtins.h"

namespace zantrel::script {
namespace {

constexpr int kUseDefault = -2;

// An argument left out (FormatNumber(x, 2, , , False)) arrives as Empty and takes the default.
bool Omitted(Args a, std::size_t i) { return i >= a.size() || a[i].IsEmpty(); }

int Tristate(Args a, std::size_t i, int dflt) {
  if (Omitted(a, i)) return dflt;
  const int32_t v = CLng(a[i]);
  if (v == kUseDefault) return dflt;
  return v != 0 ? 1 : 0;
}

std::string Grouped(const std::string& digits) {
  std::string out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

// The number text without sign: "1,234.50".
std::string Body(double v, int digits, bool leadingZero, bool group) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", digits, std::fabs(v));
  std::string s = buf;
  const std::size_t dot = s.find('.');
  std::string whole = s.substr(0, dot), frac = dot == std::string::npos ? "" : s.substr(dot);
  if (whole == "0" && !leadingZero && !frac.empty()) whole.clear();
  if (group) whole = Grouped(whole);
  return whole + frac;
}

std::string Format(const Variant& value, Args a, std::size_t first, int defaultDigits, std::string_view prefix,
                   std::string_view suffix, bool defaultParens, double scale) {
  const double v = CDbl(value) * scale;
  int digits = Omitted(a, first) ? -1 : CLng(a[first]);
  if (digits == -1) digits = defaultDigits;
  if (digits < -1 || digits > 255) Raise(err::kInvalidCall);
  const bool leading = Tristate(a, first + 1, 1);
  const bool parens = Tristate(a, first + 2, defaultParens ? 1 : 0);
  const bool group = Tristate(a, first + 3, 1);
  const double rounded = std::round(std::fabs(v) * std::pow(10.0, digits)) / std::pow(10.0, digits);
  const bool negative = v < 0 && rounded != 0;
  std::string body = std::string(prefix) + Body(rounded, digits, leading, group) + std::string(suffix);
  if (!negative) return body;
  return parens ? "(" + body + ")" : "-" + body;
}

Variant FormatNumber(BuiltinContext&, Args a) {
  if (a[0].IsNull()) Raise(err::kTypeMismatch);
  return Variant(Format(a[0], a, 1, 2, "", "", false, 1));
}
Variant FormatCurrency(BuiltinContext&, Args a) {
  if (a[0].IsNull()) Raise(err::kTypeMismatch);
  return Variant(Format(a[0], a, 1, 2, "$", "", true, 1));
}
Variant FormatPercent(BuiltinContext&, Args a) {
  if (a[0].IsNull()) Raise(err::kTypeMismatch);
  return Variant(Format(a[0], a, 1, 2, "", "%", false, 100));
}

Variant FormatDateTime(BuiltinContext&, Args a) {
  if (a[0].IsNull()) Raise(err::kTypeMismatch);
  static constexpr std::array<std::string_view, 12> kMonths = {"January", "February", "March", "April", "May", "June", "July",
                                                               "August", "September", "October", "November", "December"};
  static constexpr std::array<std::string_view, 7> kDays = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday",
                                                            "Friday", "Saturday"};
  const double d = CDate(a[0]);
  const int format = a.size() > 1 ? CLng(a[1]) : 0;
  const DateParts p = SplitDate(d);
  char buf[96];
  switch (format) {
    case 0: return Variant(FormatDate(d));
    case 1:
      std::snprintf(buf, sizeof buf, "%s, %s %d, %d", std::string(kDays[p.weekday - 1]).c_str(),
                    std::string(kMonths[p.month - 1]).c_str(), p.day, p.year);
      return Variant(std::string(buf));
    case 2:
      std::snprintf(buf, sizeof buf, "%d/%d/%d", p.month, p.day, p.year);
      return Variant(std::string(buf));
    case 3:
      std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", p.hour % 12 == 0 ? 12 : p.hour % 12, p.minute, p.second,
                    p.hour < 12 ? "AM" : "PM");
      return Variant(std::string(buf));
    case 4:
      std::snprintf(buf, sizeof buf, "%02d:%02d", p.hour, p.minute);
      return Variant(std::string(buf));
    default: Raise(err::kInvalidCall);
  }
}

constexpr std::array kFormatBuiltins = {
    Builtin{"FormatNumber", FormatNumber, 1, 5},
    Builtin{"FormatCurrency", FormatCurrency, 1, 5},
    Builtin{"FormatPercent", FormatPercent, 1, 5},
    Builtin{"FormatDateTime", FormatDateTime, 1, 2},
};

}  // namespace

std::span<const Builtin> FormatBuiltins() { return kFormatBuiltins; }

}  // namespace zantrel::script
