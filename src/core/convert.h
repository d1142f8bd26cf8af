// VBScript's conversion rules in one place: the C… conversion functions, the text
// forms of numbers, dates and booleans, number parsing, banker's rounding, and the
// conversions the model applies by setting type. Every failure raises the numbered
// error VBScript raises (13 Type mismatch, 6 Overflow, 94 Invalid use of Null).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/variant.h"

namespace zantrel {

// Round half to even, as CInt, CLng and Round do.
double BankersRound(double v);

// Parses a VBScript number text: surrounding spaces, sign, decimals, exponent,
// &H and &O forms. Returns nothing when the text is not a number.
std::optional<double> ParseNumber(std::string_view text);

// Parses a date text: ISO forms (2026-12-05, 2026-12-05 15:04:05, 2026-12-05T15:04),
// US month/day/year with an optional time, and times alone ("3:04 PM", "15:04:05").
std::optional<double> ParseDate(std::string_view text);

// The serial date of a calendar date and time; days normalise like DateSerial.
double DateFromParts(int year, int month, int day, int hour = 0, int minute = 0, double second = 0);
struct DateParts {
  int year, month, day, hour, minute, second, weekday;  // weekday: 1 = Sunday
};
DateParts SplitDate(double serial);

std::string CStr(const Variant& v);
bool CBool(const Variant& v);
uint8_t CByte(const Variant& v);
int16_t CInt(const Variant& v);
int32_t CLng(const Variant& v);
double CDbl(const Variant& v);
float CSng(const Variant& v);  // Raise 6 beyond the Single's range
int64_t CCur(const Variant& v);  // scaled by 10,000
double CDate(const Variant& v);

// Text forms used by CStr.
std::string FormatDouble(double v);        // up to 15 significant digits
std::string FormatSingle(float v);         // up to 7
std::string FormatSignificant(double v, int digits);
std::string FormatCurrency(int64_t scaled);
std::string FormatDate(double serial);     // en-US general date: 12/5/2026 3:04:05 PM
inline std::string_view FormatBoolean(bool b) { return b ? "True" : "False"; }

// TypeName and VarType of a value, as the script functions report them.
std::string TypeName(const Variant& v);
int32_t VarTypeNumber(const Variant& v);

// Conversion by the name of a setting type ("Boolean", "Integer", "Long",
// "String"): the lowercased name selects the conversion; a value that does not
// convert gives Empty; an unknown type name leaves the value as it is.
Variant ConvertByTypeName(const Variant& value, std::string_view typeName);

// Text trimmed of blanks and of matching outer quotes, repeatedly (" 'a' " -> "a").
std::string StripQuotes(std::string_view text);

}  // namespace zantrel
