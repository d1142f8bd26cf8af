// Date and time functions over the serial dates of core/convert.h: parts,
// names, DateAdd (clamping to the month's end), DateDiff (counting boundaries
// crossed), DatePart, DateSerial/TimeSerial (normalising overflow) and the clock.
#include <array>
#include <chrono>
#include <cmath>
#include <ctime>

#include "core/convert.h"
#include "core/error.h"
#include "core/names.h"
#include "script/builtins.h"

namespace zantrel::script {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {"January", "February", "March",     "April",   "May",      "June",
                                                     "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kDays = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

double Serial(const Variant& v) {
  if (v.IsNull()) Raise(94);
  return CDate(v);
}

int32_t Whole(const Variant& v) {
  if (v.IsNull()) Raise(94);
  return CLng(v);
}

double NowSerial() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return DateFromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec + ms / 1000.0);
}

double DatePartOf(double serial) { return std::trunc(serial); }
double TimePartOf(double serial) { return std::fabs(serial - std::trunc(serial)); }

Variant Now(BuiltinContext&, Args) {
  const DateParts p = SplitDate(NowSerial());
  return Variant::Date(DateFromParts(p.year, p.month, p.day, p.hour, p.minute, p.second));
}
Variant Date(BuiltinContext&, Args) { return Variant::Date(DatePartOf(NowSerial())); }
Variant Time(BuiltinContext&, Args) {
  const DateParts p = SplitDate(NowSerial());
  return Variant::Date(DateFromParts(1899, 12, 30, p.hour, p.minute, p.second));
}
Variant Timer(BuiltinContext&, Args) {
  const double s = NowSerial();
  return Variant::Single(static_cast<float>(std::round(TimePartOf(s) * 86400.0 * 100.0) / 100.0));
}

template <int DateParts::*Field>
Variant Part(BuiltinContext&, Args a) {
  if (a[0].IsNull()) return a[0];
  return Variant(static_cast<int16_t>(SplitDate(Serial(a[0])).*Field));
}

int WeekdayFrom(int weekday, int first) {
  if (first == 0) first = 1;
  return (weekday - first + 7) % 7 + 1;
}

Variant Weekday(BuiltinContext&, Args a) {
  const int first = a.size() > 1 ? Whole(a[1]) : 1;
  if (first < 0 || first > 7) Raise(err::kInvalidCall);
  if (a[0].IsNull()) return a[0];
  return Variant(static_cast<int16_t>(WeekdayFrom(SplitDate(Serial(a[0])).weekday, first)));
}

Variant WeekdayName(BuiltinContext&, Args a) {
  const int n = Whole(a[0]);
  const bool abbreviate = a.size() > 1 && CBool(a[1]);
  int first = a.size() > 2 ? Whole(a[2]) : 1;
  if (first == 0) first = 1;
  if (n < 1 || n > 7 || first < 1 || first > 7) Raise(err::kInvalidCall);
  const std::string_view name = kDays[(n - 1 + first - 1) % 7];
  return Variant(std::string(abbreviate ? name.substr(0, 3) : name));
}

Variant MonthName(BuiltinContext&, Args a) {
  const int n = Whole(a[0]);
  if (n < 1 || n > 12) Raise(err::kInvalidCall);
  const bool abbreviate = a.size() > 1 && CBool(a[1]);
  return Variant(std::string(abbreviate ? kMonths[n - 1].substr(0, 3) : kMonths[n - 1]));
}

int DaysIn(int y, int m) { return SplitDate(DateFromParts(y, m + 1, 0)).day; }

double AddMonths(double serial, int64_t months) {
  const DateParts p = SplitDate(serial);
  int64_t total = static_cast<int64_t>(p.year) * 12 + (p.month - 1) + months;
  const int year = static_cast<int>(total / 12), month = static_cast<int>(total % 12) + 1;
  if (year < 100 || year > 9999) Raise(err::kInvalidCall);
  const int day = std::min(p.day, DaysIn(year, month));
  return DateFromParts(year, month, day, p.hour, p.minute, p.second);
}

enum class Unit { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Unit ParseUnit(const Variant& v) {
  struct Name {
    std::string_view text;
    Unit unit;
  };
  static constexpr std::array kUnits = {Name{"yyyy", Unit::Year}, Name{"q", Unit::Quarter}, Name{"m", Unit::Month},
                                        Name{"y", Unit::DayOfYear}, Name{"d", Unit::Day}, Name{"w", Unit::Weekday},
                                        Name{"ww", Unit::Week}, Name{"h", Unit::Hour}, Name{"n", Unit::Minute},
                                        Name{"s", Unit::Second}};
  const std::string s = CStr(v);
  for (const Name& n : kUnits)
    if (NameEquals(s, n.text)) return n.unit;
  Raise(err::kInvalidCall);
}

Variant DateAdd(BuiltinContext&, Args a) {
  const Unit u = ParseUnit(a[0]);
  const double n = std::trunc(CDbl(a[1]));  // Null raises 94, as a Null date does
  const double d = Serial(a[2]);
  double r;
  switch (u) {
    case Unit::Year: r = AddMonths(d, static_cast<int64_t>(n) * 12); break;
    case Unit::Quarter: r = AddMonths(d, static_cast<int64_t>(n) * 3); break;
    case Unit::Month: r = AddMonths(d, static_cast<int64_t>(n)); break;
    case Unit::Week: r = d + n * 7; break;
    case Unit::Hour:
    case Unit::Minute:
    case Unit::Second: {
      const DateParts p = SplitDate(d);
      const double secs = u == Unit::Hour ? n * 3600 : u == Unit::Minute ? n * 60 : n;
      r = DateFromParts(p.year, p.month, p.day, p.hour, p.minute, p.second + secs);
      break;
    }
    default: {
      const DateParts p = SplitDate(d);
      if (std::fabs(n) > 4e6) Raise(err::kInvalidCall);
      r = DateFromParts(p.year, p.month, p.day + static_cast<int>(n), p.hour, p.minute, p.second);
    }
  }
  if (!(r >= -657434.0 && r < 2958466.0)) Raise(err::kInvalidCall);
  return Variant::Date(r);
}

// Days since the epoch of a serial's calendar day, and seconds since then.
int64_t DayNumber(double serial) {
  const DateParts p = SplitDate(serial);
  return static_cast<int64_t>(DateFromParts(p.year, p.month, p.day));
}
int64_t SecondNumber(double serial) {
  const DateParts p = SplitDate(serial);
  return DayNumber(serial) * 86400 + p.hour * 3600 + p.minute * 60 + p.second;
}

Variant DateDiff(BuiltinContext&, Args a) {
  const Unit u = ParseUnit(a[0]);
  if (a[1].IsNull() || a[2].IsNull()) return Variant::Null();
  const double d1 = Serial(a[1]), d2 = Serial(a[2]);
  int first = a.size() > 3 ? Whole(a[3]) : 1;
  if (first == 0) first = 1;
  const DateParts p1 = SplitDate(d1), p2 = SplitDate(d2);
  int64_t r = 0;
  switch (u) {
    case Unit::Year: r = p2.year - p1.year; break;
    case Unit::Quarter: r = (p2.year * 4 + (p2.month - 1) / 3) - (p1.year * 4 + (p1.month - 1) / 3); break;
    case Unit::Month: r = (p2.year * 12 + p2.month) - (p1.year * 12 + p1.month); break;
    case Unit::DayOfYear:
    case Unit::Day: r = DayNumber(d2) - DayNumber(d1); break;
    case Unit::Weekday: r = (DayNumber(d2) - DayNumber(d1)) / 7; break;
    case Unit::Week: {
      // Boundaries crossed: the first day of the week starts a new one.
      const int64_t s1 = DayNumber(d1) - (WeekdayFrom(p1.weekday, first) - 1);
      const int64_t s2 = DayNumber(d2) - (WeekdayFrom(p2.weekday, first) - 1);
      r = (s2 - s1) / 7;
      break;
    }
    case Unit::Hour: r = SecondNumber(d2) / 3600 - SecondNumber(d1) / 3600; break;
    case Unit::Minute: r = SecondNumber(d2) / 60 - SecondNumber(d1) / 60; break;
    case Unit::Second: r = SecondNumber(d2) - SecondNumber(d1); break;
  }
  if (r < INT32_MIN || r > INT32_MAX) return Variant(static_cast<double>(r));
  return Variant(static_cast<int32_t>(r));
}

Variant DatePartFn(BuiltinContext&, Args a) {
  const Unit u = ParseUnit(a[0]);
  if (a[1].IsNull()) return Variant::Null();
  const double d = Serial(a[1]);
  int first = a.size() > 2 ? Whole(a[2]) : 1;
  if (first == 0) first = 1;
  const DateParts p = SplitDate(d);
  int r = 0;
  switch (u) {
    case Unit::Year: r = p.year; break;
    case Unit::Quarter: r = (p.month - 1) / 3 + 1; break;
    case Unit::Month: r = p.month; break;
    case Unit::DayOfYear: r = static_cast<int>(DayNumber(d) - static_cast<int64_t>(DateFromParts(p.year, 1, 1))) + 1; break;
    case Unit::Day: r = p.day; break;
    case Unit::Weekday: r = WeekdayFrom(p.weekday, first); break;
    case Unit::Week: {
      const int64_t jan1 = static_cast<int64_t>(DateFromParts(p.year, 1, 1));
      const DateParts j = SplitDate(static_cast<double>(jan1));
      const int64_t offset = WeekdayFrom(j.weekday, first) - 1;
      r = static_cast<int>((DayNumber(d) - jan1 + offset) / 7) + 1;
      break;
    }
    case Unit::Hour: r = p.hour; break;
    case Unit::Minute: r = p.minute; break;
    case Unit::Second: r = p.second; break;
  }
  return Variant(static_cast<int16_t>(r));
}

// DateSerial and TimeSerial raise 94 for a Null part.
Variant DateSerial(BuiltinContext&, Args a) {
  int year = Whole(a[0]);
  if (year >= 0 && year < 30) year += 2000;
  else if (year >= 30 && year < 100) year += 1900;
  const double r = DateFromParts(year, Whole(a[1]), Whole(a[2]));
  if (!(r >= -657434.0 && r < 2958466.0)) Raise(err::kInvalidCall);
  return Variant::Date(r);
}

Variant TimeSerial(BuiltinContext&, Args a) {
  const double seconds = Whole(a[0]) * 3600.0 + Whole(a[1]) * 60.0 + Whole(a[2]);
  const double days = seconds / 86400.0;
  // Negative times count back from midnight as VBScript shows them.
  return Variant::Date(days >= 0 ? days : std::floor(days) - (days - std::floor(days)));
}

Variant DateValue(BuiltinContext&, Args a) {
  if (a[0].IsNull()) return a[0];
  return Variant::Date(DatePartOf(Serial(a[0])));
}

Variant TimeValue(BuiltinContext&, Args a) {
  if (a[0].IsNull()) return a[0];
  return Variant::Date(TimePartOf(Serial(a[0])));
}

constexpr std::array kDateBuiltins = {
    Builtin{"Now", Now, 0, 0},
    Builtin{"Date", Date, 0, 0},
    Builtin{"Time", Time, 0, 0},
    Builtin{"Timer", Timer, 0, 0},
    Builtin{"Year", Part<&DateParts::year>, 1, 1},
    Builtin{"Month", Part<&DateParts::month>, 1, 1},
    Builtin{"Day", Part<&DateParts::day>, 1, 1},
    Builtin{"Hour", Part<&DateParts::hour>, 1, 1},
    Builtin{"Minute", Part<&DateParts::minute>, 1, 1},
    Builtin{"Second", Part<&DateParts::second>, 1, 1},
    Builtin{"Weekday", Weekday, 1, 2},
    Builtin{"WeekdayName", WeekdayName, 1, 3},
    Builtin{"MonthName", MonthName, 1, 2},
    Builtin{"DateAdd", DateAdd, 3, 3},
    Builtin{"DateDiff", DateDiff, 3, 5},
    Builtin{"DatePart", DatePartFn, 2, 4},
    Builtin{"DateSerial", DateSerial, 3, 3},
    Builtin{"TimeSerial", TimeSerial, 3, 3},
    Builtin{"DateValue", DateValue, 1, 1},
    Builtin{"TimeValue", TimeValue, 1, 1},
};

}  // namespace

std::span<const Builtin> DateBuiltins() { return kDateBuiltins; }

}  // namespace zantrel::script
