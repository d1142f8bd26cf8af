// VBScript's conversions between Variant types: number and date parsing, the
// text forms CStr produces, the C… functions with their rounding, range and
// error rules, TypeName/VarType, and the conversion by setting type name.
#include "core/convert.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/dispatch.h"
#include "core/error.h"
#include "core/names.h"
#include "core/text.h"

namespace zantrel {
namespace {

constexpr int32_t kInvalidUseOfNull = 94;
constexpr double kSecondsPerDay = 86400.0;
constexpr int kSignificantDigits = 15;
// The Date range: 100-01-01 to 9999-12-31 23:59:59.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958465.0 + 86399.0 / kSecondsPerDay;
// Days from 1970-01-01 back to the serial epoch 1899-12-30.
constexpr int64_t kEpochDays = -25569;

[[noreturn]] void RaiseTypeMismatch() { Raise(err::kTypeMismatch); }
[[noreturn]] void RaiseOverflow() { Raise(err::kOverflow); }
[[noreturn]] void RaiseNull() { Raise(kInvalidUseOfNull); }

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// --- Calendar arithmetic on the proleptic Gregorian calendar ---

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// --- Date text parsing ---

struct MonthName {
  std::string_view name;
  int month;
};
constexpr std::array kMonthNames = {
    MonthName{"january", 1}, MonthName{"february", 2}, MonthName{"march", 3},   MonthName{"april", 4},
    MonthName{"may", 5},     MonthName{"june", 6},     MonthName{"july", 7},    MonthName{"august", 8},
    MonthName{"september", 9}, MonthName{"october", 10}, MonthName{"november", 11}, MonthName{"december", 12},
    MonthName{"jan", 1},     MonthName{"feb", 2},      MonthName{"mar", 3},     MonthName{"apr", 4},
    MonthName{"jun", 6},     MonthName{"jul", 7},      MonthName{"aug", 8},     MonthName{"sep", 9},
    MonthName{"sept", 9},    MonthName{"oct", 10},     MonthName{"nov", 11},    MonthName{"dec", 12},
};

int MonthFromName(std::string_view word) {
  for (const MonthName& m : kMonthNames)
    if (NameEquals(word, m.name)) return m.month;
  return 0;
}

class Scanner {
 public:
  explicit Scanner(std::string_view s) : s_(s) {}
  bool AtEnd() const { return pos_ >= s_.size(); }
  char Peek() const { return AtEnd() ? '\0' : s_[pos_]; }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  bool SkipSpaces() {
    const std::size_t start = pos_;
    while (IsSpace(Peek())) ++pos_;
    return pos_ > start;
  }
  // A run of minDigits..maxDigits digits; *count receives how many were read.
  std::optional<int> Int(int minDigits, int maxDigits, int* count = nullptr) {
    int value = 0, n = 0;
    for (; n < maxDigits && IsDigit(Peek()); ++n) value = value * 10 + (s_[pos_++] - '0');
    if (count) *count = n;
    if (n < minDigits || IsDigit(Peek())) return std::nullopt;
    return value;
  }
  std::string_view Word() {
    const std::size_t start = pos_;
    while (IsAlpha(Peek())) ++pos_;
    return s_.substr(start, pos_ - start);
  }
  // The digits after a decimal point, as a fraction.
  double Fraction() {
    double value = 0, scale = 0.1;
    for (; IsDigit(Peek()); ++pos_, scale /= 10) value += scale * (s_[pos_] - '0');
    return value;
  }

 private:
  std::string_view s_;
  std::size_t pos_ = 0;
};

struct YMD {
  int year, month, day;
};

// Two-digit years fall in 1930..2029.
int WindowYear(int year, int digits) {
  if (digits > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

std::optional<YMD> IsoDate(Scanner& sc) {
  const auto y = sc.Int(4, 4);
  if (!y || !sc.Take('-')) return std::nullopt;
  const auto m = sc.Int(1, 2);
  if (!m || !sc.Take('-')) return std::nullopt;
  const auto d = sc.Int(1, 2);
  if (!d) return std::nullopt;
  return YMD{*y, *m, *d};
}

// m/d/y (or m-d-y); a first number that cannot be a month is taken as the day.
std::optional<YMD> NumericDate(Scanner& sc) {
  const auto m = sc.Int(1, 2);
  const char sep = sc.Peek();
  if (!m || (sep != '/' && sep != '-')) return std::nullopt;
  sc.Take(sep);
  const auto d = sc.Int(1, 2);
  if (!d || !sc.Take(sep)) return std::nullopt;
  int digits = 0;
  const auto y = sc.Int(1, 4, &digits);
  if (!y) return std::nullopt;
  if (*m > 12 && *d <= 12) return YMD{WindowYear(*y, digits), *d, *m};
  return YMD{WindowYear(*y, digits), *m, *d};
}

// "Dec 5, 2026" and "December 5 2026".
std::optional<YMD> MonthFirstDate(Scanner& sc) {
  const int m = MonthFromName(sc.Word());
  sc.SkipSpaces();
  const auto d = sc.Int(1, 2);
  if (!m || !d) return std::nullopt;
  sc.Take(',');
  sc.SkipSpaces();
  int digits = 0;
  const auto y = sc.Int(1, 4, &digits);
  if (!y) return std::nullopt;
  return YMD{WindowYear(*y, digits), m, *d};
}

// "5 Dec 2026" and "5-Dec-2026".
std::optional<YMD> DayFirstDate(Scanner& sc) {
  const auto d = sc.Int(1, 2);
  if (!d || !(sc.SkipSpaces() || sc.Take('-'))) return std::nullopt;
  const int m = MonthFromName(sc.Word());
  if (!m || !(sc.SkipSpaces() || sc.Take('-'))) return std::nullopt;
  int digits = 0;
  const auto y = sc.Int(1, 4, &digits);
  if (!y) return std::nullopt;
  return YMD{WindowYear(*y, digits), m, *d};
}

bool ValidDate(const YMD& d) {
  return d.year >= 100 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= DaysInMonth(d.year, d.month);
}

std::optional<YMD> DatePart(Scanner& sc) {
  using Form = std::optional<YMD> (*)(Scanner&);
  static constexpr std::array<Form, 4> kForms = {IsoDate, NumericDate, MonthFirstDate, DayFirstDate};
  for (Form form : kForms) {
    Scanner attempt = sc;
    const auto date = form(attempt);
    if (date && ValidDate(*date)) {
      sc = attempt;
      return date;
    }
  }
  return std::nullopt;
}

// h:mm[:ss[.fff]] with an optional AM/PM, or h AM/PM; the seconds since midnight.
std::optional<double> TimePart(Scanner& sc) {
  const auto h = sc.Int(1, 2);
  if (!h) return std::nullopt;
  int minute = 0;
  double second = 0;
  const bool colon = sc.Take(':');
  if (colon) {
    const auto mi = sc.Int(1, 2);
    if (!mi) return std::nullopt;
    minute = *mi;
    if (sc.Take(':')) {
      const auto s = sc.Int(1, 2);
      if (!s) return std::nullopt;
      second = *s;
      if (sc.Take('.')) second += sc.Fraction();
    }
  }
  Scanner afterTime = sc;
  afterTime.SkipSpaces();
  const std::string_view suffix = afterTime.Word();
  const bool am = NameEquals(suffix, "am"), pm = NameEquals(suffix, "pm");
  if (am || pm) sc = afterTime;
  if (!colon && !am && !pm) return std::nullopt;
  int hour = *h;
  if (am || pm) {
    if (hour > 12) return std::nullopt;
    hour = hour % 12 + (pm ? 12 : 0);
  }
  if (hour > 23 || minute > 59 || second >= 60) return std::nullopt;
  return hour * 3600.0 + minute * 60.0 + second;
}

// --- Number text ---

std::optional<double> ParseRadix(std::string_view digits, int radix) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    int d = -1;
    if (IsDigit(c)) d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0 || d >= radix) return std::nullopt;
    value = value * radix + d;
    if (value > 0xffffffffull) return std::nullopt;
  }
  // Hex and octal text is a 32-bit pattern: &HFFFFFFFF is -1.
  return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

// Sign, digits (thousands commas allowed), decimals and exponent, copied into
// the plain form from_chars reads; nothing when the syntax is wrong.
std::optional<std::string> PlainDecimal(std::string_view s) {
  std::string plain;
  std::size_t i = 0;
  const auto takeSign = [&] {
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
      if (s[i] == '-') plain.push_back('-');
      ++i;
    }
  };
  const auto takeDigits = [&](bool commas) {
    const std::size_t start = plain.size();
    for (; i < s.size(); ++i) {
      if (IsDigit(s[i])) plain.push_back(s[i]);
      else if (!(commas && s[i] == ',' && plain.size() > start)) break;
    }
    return plain.size() - start;
  };
  takeSign();
  std::size_t digits = takeDigits(true);
  if (i < s.size() && s[i] == '.') {
    plain.push_back(s[i++]);
    digits += takeDigits(false);
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    plain.push_back('e');
    ++i;
    takeSign();
    if (takeDigits(false) == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  return plain;
}

// --- Text forms ---

std::string TwoDigits(int v) {
  std::string s = std::to_string(v);
  return v < 10 ? "0" + s : s;
}

std::string FormatTime(const DateParts& p) {
  const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
  return std::to_string(hour12) + ":" + TwoDigits(p.minute) + ":" + TwoDigits(p.second) +
         (p.hour < 12 ? " AM" : " PM");
}

// --- Numeric value of a variant for the C… functions ---

double NumberOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Null: RaiseNull();
    case VarType::Boolean: return v.AsBoolean() ? -1 : 0;
    case VarType::Byte: return v.AsByte();
    case VarType::Integer: return v.AsInteger();
    case VarType::Long: return v.AsLong();
    case VarType::Double:
    case VarType::Date: return v.AsDouble();
    case VarType::Currency: return static_cast<double>(v.AsCurrency()) / 10000.0;
    case VarType::String: {
      const auto n = ParseNumber(v.AsString());
      if (!n) RaiseTypeMismatch();
      return *n;
    }
    default: RaiseTypeMismatch();
  }
}

template <class T>
T RoundInRange(const Variant& v) {
  const double r = BankersRound(NumberOf(v));
  if (!(r >= std::numeric_limits<T>::min() && r <= std::numeric_limits<T>::max())) RaiseOverflow();
  return static_cast<T>(r);
}

}  // namespace

double BankersRound(double v) {
  if (!std::isfinite(v) || std::fabs(v) >= 4503599627370496.0) return v;  // 2^52: already whole
  const double floor = std::floor(v);
  const double diff = v - floor;
  if (diff != 0.5) return diff < 0.5 ? floor : floor + 1;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

std::optional<double> ParseNumber(std::string_view text) {
  const std::string_view s = TrimBlanks(text);
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'h' || s[1] == 'H') return ParseRadix(s.substr(2), 16);
    if (s[1] == 'o' || s[1] == 'O') return ParseRadix(s.substr(2), 8);
    return std::nullopt;
  }
  const auto plain = PlainDecimal(s);
  if (!plain) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(plain->data(), plain->data() + plain->size(), value);
  if (ec != std::errc() || end != plain->data() + plain->size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> ParseDate(std::string_view text) {
  Scanner sc(TrimBlanks(text));
  const auto date = DatePart(sc);
  std::optional<double> seconds = 0.0;
  if (!date) {
    seconds = TimePart(sc);
  } else if (!sc.AtEnd()) {
    if (!sc.Take('T') && !sc.SkipSpaces()) return std::nullopt;
    seconds = TimePart(sc);
  }
  if (!seconds || !sc.AtEnd()) return std::nullopt;
  if (!date) return *seconds / kSecondsPerDay;
  return DateFromParts(date->year, date->month, date->day, 0, 0, *seconds);
}

// Months and days beyond their range carry into the year and month, as
// DateSerial does; the time carries into the day. Before the epoch the time
// is stored as a positive fraction subtracted from the negative day.
double DateFromParts(int year, int month, int day, int hour, int minute, double second) {
  const int64_t m0 = static_cast<int64_t>(month) - 1;
  const int64_t yearCarry = m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
  const int64_t monthInYear = m0 - yearCarry * 12 + 1;
  int64_t days = DaysFromCivil(year + yearCarry, monthInYear, 1) - kEpochDays + (static_cast<int64_t>(day) - 1);
  const double total = hour * 3600.0 + minute * 60.0 + second;
  const double dayCarry = std::floor(total / kSecondsPerDay);
  days += static_cast<int64_t>(dayCarry);
  const double time = (total - dayCarry * kSecondsPerDay) / kSecondsPerDay;
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

DateParts SplitDate(double serial) {
  if (std::isnan(serial)) serial = 0;
  serial = std::fmin(std::fmax(serial, kMinDate - 1), kMaxDate + 1);
  int64_t day = static_cast<int64_t>(std::trunc(serial));
  int64_t seconds = std::llround(std::fabs(serial - static_cast<double>(day)) * kSecondsPerDay);
  if (seconds >= 86400) seconds -= 86400, ++day;
  DateParts p{};
  CivilFromDays(day + kEpochDays, p.year, p.month, p.day);
  p.hour = static_cast<int>(seconds / 3600);
  p.minute = static_cast<int>(seconds / 60 % 60);
  p.second = static_cast<int>(seconds % 60);
  p.weekday = static_cast<int>(((day + 6) % 7 + 7) % 7 + 1);
  return p;
}

std::string FormatDouble(double v) {
  if (v == 0) return "0";
  if (std::isnan(v)) return "-1.#IND";
  if (std::isinf(v)) return v < 0 ? "-1.#INF" : "1.#INF";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*e", kSignificantDigits - 1, std::fabs(v));
  // buf is d.dddddddddddddde±x…
  std::string digits(1, buf[0]);
  digits.append(buf + 2, kSignificantDigits - 1);
  const int exponent = std::atoi(buf + kSignificantDigits + 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int n = static_cast<int>(digits.size());

  std::string out = v < 0 ? "-" : "";
  // Fixed notation while the digits from the first nonzero one to the last fit in
  // the 15 shown; otherwise d.dddE±xx.
  const bool fixed = exponent >= 0 ? exponent < kSignificantDigits : n - exponent - 1 <= kSignificantDigits;
  if (fixed && exponent >= 0) {
    if (n <= exponent + 1) return out + digits + std::string(exponent + 1 - n, '0');
    return out + digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
  }
  if (fixed) return out + "0." + std::string(-exponent - 1, '0') + digits;
  out += digits.substr(0, 1);
  if (n > 1) out += "." + digits.substr(1);
  const int e = exponent < 0 ? -exponent : exponent;
  return out + (exponent < 0 ? "E-" : "E+") + TwoDigits(e);
}

std::string FormatCurrency(int64_t scaled) {
  const uint64_t magnitude = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  std::string out = (scaled < 0 ? "-" : "") + std::to_string(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction == 0) return out;
  std::string decimals = std::to_string(fraction);
  decimals.insert(0, 4 - decimals.size(), '0');
  while (decimals.back() == '0') decimals.pop_back();
  return out + "." + decimals;
}

std::string FormatDate(double serial) {
  const DateParts p = SplitDate(serial);
  const bool timeOnly = p.year == 1899 && p.month == 12 && p.day == 30;
  if (timeOnly) return FormatTime(p);
  std::string date = std::to_string(p.month) + "/" + std::to_string(p.day) + "/" + std::to_string(p.year);
  if (p.hour == 0 && p.minute == 0 && p.second == 0) return date;
  return date + " " + FormatTime(p);
}

std::string CStr(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return {};
    case VarType::Null: RaiseNull();
    case VarType::Boolean: return std::string(FormatBoolean(v.AsBoolean()));
    case VarType::Byte: return std::to_string(v.AsByte());
    case VarType::Integer: return std::to_string(v.AsInteger());
    case VarType::Long: return std::to_string(v.AsLong());
    case VarType::Double: return FormatDouble(v.AsDouble());
    case VarType::Currency: return FormatCurrency(v.AsCurrency());
    case VarType::Date: return FormatDate(v.AsDouble());
    case VarType::String: return v.AsString();
    default: RaiseTypeMismatch();
  }
}

bool CBool(const Variant& v) {
  switch (v.type()) {
    case VarType::Boolean: return v.AsBoolean();
    case VarType::Currency: return v.AsCurrency() != 0;
    case VarType::String: {
      const std::string_view s = TrimBlanks(v.AsString());
      if (NameEquals(s, "true")) return true;
      if (NameEquals(s, "false")) return false;
      return NumberOf(v) != 0;
    }
    default: return NumberOf(v) != 0;
  }
}

uint8_t CByte(const Variant& v) { return RoundInRange<uint8_t>(v); }
int16_t CInt(const Variant& v) { return RoundInRange<int16_t>(v); }
int32_t CLng(const Variant& v) { return RoundInRange<int32_t>(v); }

double CDbl(const Variant& v) { return NumberOf(v); }

int64_t CCur(const Variant& v) {
  if (v.type() == VarType::Currency) return v.AsCurrency();
  const double scaled = BankersRound(NumberOf(v) * 10000.0);
  if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0)) RaiseOverflow();
  return static_cast<int64_t>(scaled);
}

double CDate(const Variant& v) {
  if (v.type() == VarType::String) {
    if (const auto date = ParseDate(v.AsString())) return *date;
  }
  const double serial = NumberOf(v);
  if (!(serial >= kMinDate && serial <= kMaxDate)) RaiseOverflow();
  return serial;
}

std::string TypeName(const Variant& v) {
  struct Name {
    VarType type;
    std::string_view name;
  };
  static constexpr std::array kNames = {
      Name{VarType::Empty, "Empty"},       Name{VarType::Null, "Null"},     Name{VarType::Boolean, "Boolean"},
      Name{VarType::Integer, "Integer"},   Name{VarType::Long, "Long"},     Name{VarType::Byte, "Byte"},
      Name{VarType::Double, "Double"},     Name{VarType::Currency, "Currency"}, Name{VarType::Date, "Date"},
      Name{VarType::String, "String"},     Name{VarType::Array, "Variant()"},
  };
  if (v.IsObject()) return v.AsObject() ? std::string(v.AsObject()->TypeName()) : "Nothing";
  for (const Name& n : kNames)
    if (n.type == v.type()) return std::string(n.name);
  return "Unknown";
}

int32_t VarTypeNumber(const Variant& v) {
  if (v.IsArray()) return static_cast<int32_t>(VarType::Array) | static_cast<int32_t>(VarType::Variant);
  return static_cast<int32_t>(v.type());
}

Variant ConvertByTypeName(const Variant& value, std::string_view typeName) {
  struct Conversion {
    std::string_view name;
    Variant (*convert)(const Variant&);
  };
  static constexpr std::array kConversions = {
      Conversion{"boolean", [](const Variant& v) { return Variant(CBool(v)); }},
      Conversion{"integer", [](const Variant& v) { return Variant(CInt(v)); }},
      Conversion{"long", [](const Variant& v) { return Variant(CLng(v)); }},
      Conversion{"string", [](const Variant& v) { return Variant(StripQuotes(CStr(v))); }},
  };
  for (const Conversion& c : kConversions) {
    if (!NameEquals(typeName, c.name)) continue;
    try {
      return c.convert(value);
    } catch (const Error&) {
      return {};
    }
  }
  return value;
}

// Trims blanks, then removes matching outer quotes (double or single) and trims
// again, as long as there are any.
std::string StripQuotes(std::string_view text) {
  auto trim = [](std::string_view s) {
    std::size_t a = s.find_first_not_of(' ');
    return a == std::string_view::npos ? std::string_view() : s.substr(a, s.find_last_not_of(' ') - a + 1);
  };
  text = trim(text);
  while (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
    text = trim(text.substr(1, text.size() - 2));
  return std::string(text);
}

}  // namespace zantrel
