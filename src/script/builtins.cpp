// The merged table of built-in functions and the vb… constants, looked up by
// name once at compile time (and by late binding).
#include "script/builtins.h"

#include <array>
#include <vector>

#include "core/names.h"
#include "script/text.h"

namespace zantrel::script {
namespace {

struct Table {
  std::vector<Builtin> all;
  NameMap<int32_t> index;
  NameMap<Variant> constants;

  Table() {
    for (auto part : {StringBuiltins(), ConversionBuiltins(), MathBuiltins(), DateBuiltins(), FormatBuiltins(),
                      MiscBuiltins()})
      for (const Builtin& b : part) {
        index.emplace(std::string(b.name), static_cast<int32_t>(all.size()));
        all.push_back(b);
      }
    for (const BuiltinConstant& c : BuiltinConstants()) constants.emplace(std::string(c.name), c.make());
  }
};

const Table& TheTable() {
  static const Table table;
  return table;
}

Variant I(int16_t v) { return Variant(v); }
Variant L(int32_t v) { return Variant(v); }

constexpr std::array kConstants = {
    BuiltinConstant{"vbCrLf", [] { return Variant("\r\n"); }},
    BuiltinConstant{"vbCr", [] { return Variant("\r"); }},
    BuiltinConstant{"vbLf", [] { return Variant("\n"); }},
    BuiltinConstant{"vbNewLine", [] { return Variant("\r\n"); }},
    BuiltinConstant{"vbTab", [] { return Variant("\t"); }},
    BuiltinConstant{"vbBack", [] { return Variant("\b"); }},
    BuiltinConstant{"vbFormFeed", [] { return Variant("\f"); }},
    BuiltinConstant{"vbVerticalTab", [] { return Variant("\v"); }},
    BuiltinConstant{"vbNullChar", [] { return Variant(std::string(1, '\0')); }},
    BuiltinConstant{"vbNullString", [] { return Variant(""); }},
    BuiltinConstant{"vbObjectError", [] { return L(static_cast<int32_t>(0x80040000u)); }},
    BuiltinConstant{"vbTrue", [] { return I(-1); }},
    BuiltinConstant{"vbFalse", [] { return I(0); }},
    BuiltinConstant{"vbUseDefault", [] { return I(-2); }},
    BuiltinConstant{"vbBinaryCompare", [] { return I(0); }},
    BuiltinConstant{"vbTextCompare", [] { return I(1); }},
    BuiltinConstant{"vbDatabaseCompare", [] { return I(2); }},
    BuiltinConstant{"vbUseSystemDayOfWeek", [] { return I(0); }},
    BuiltinConstant{"vbSunday", [] { return I(1); }},
    BuiltinConstant{"vbMonday", [] { return I(2); }},
    BuiltinConstant{"vbTuesday", [] { return I(3); }},
    BuiltinConstant{"vbWednesday", [] { return I(4); }},
    BuiltinConstant{"vbThursday", [] { return I(5); }},
    BuiltinConstant{"vbFriday", [] { return I(6); }},
    BuiltinConstant{"vbSaturday", [] { return I(7); }},
    BuiltinConstant{"vbUseSystem", [] { return I(0); }},
    BuiltinConstant{"vbFirstJan1", [] { return I(1); }},
    BuiltinConstant{"vbFirstFourDays", [] { return I(2); }},
    BuiltinConstant{"vbFirstFullWeek", [] { return I(3); }},
    BuiltinConstant{"vbGeneralDate", [] { return I(0); }},
    BuiltinConstant{"vbLongDate", [] { return I(1); }},
    BuiltinConstant{"vbShortDate", [] { return I(2); }},
    BuiltinConstant{"vbLongTime", [] { return I(3); }},
    BuiltinConstant{"vbShortTime", [] { return I(4); }},
    BuiltinConstant{"vbEmpty", [] { return I(0); }},
    BuiltinConstant{"vbNull", [] { return I(1); }},
    BuiltinConstant{"vbInteger", [] { return I(2); }},
    BuiltinConstant{"vbLong", [] { return I(3); }},
    BuiltinConstant{"vbSingle", [] { return I(4); }},
    BuiltinConstant{"vbDouble", [] { return I(5); }},
    BuiltinConstant{"vbCurrency", [] { return I(6); }},
    BuiltinConstant{"vbDate", [] { return I(7); }},
    BuiltinConstant{"vbString", [] { return I(8); }},
    BuiltinConstant{"vbObject", [] { return I(9); }},
    BuiltinConstant{"vbError", [] { return I(10); }},
    BuiltinConstant{"vbBoolean", [] { return I(11); }},
    BuiltinConstant{"vbVariant", [] { return I(12); }},
    BuiltinConstant{"vbDataObject", [] { return I(13); }},
    BuiltinConstant{"vbDecimal", [] { return I(14); }},
    BuiltinConstant{"vbByte", [] { return I(17); }},
    BuiltinConstant{"vbArray", [] { return I(8192); }},
    BuiltinConstant{"vbOKOnly", [] { return I(0); }},
    BuiltinConstant{"vbOKCancel", [] { return I(1); }},
    BuiltinConstant{"vbAbortRetryIgnore", [] { return I(2); }},
    BuiltinConstant{"vbYesNoCancel", [] { return I(3); }},
    BuiltinConstant{"vbYesNo", [] { return I(4); }},
    BuiltinConstant{"vbRetryCancel", [] { return I(5); }},
    BuiltinConstant{"vbCritical", [] { return I(16); }},
    BuiltinConstant{"vbQuestion", [] { return I(32); }},
    BuiltinConstant{"vbExclamation", [] { return I(48); }},
    BuiltinConstant{"vbInformation", [] { return I(64); }},
    BuiltinConstant{"vbDefaultButton1", [] { return I(0); }},
    BuiltinConstant{"vbDefaultButton2", [] { return I(256); }},
    BuiltinConstant{"vbDefaultButton3", [] { return I(512); }},
    BuiltinConstant{"vbDefaultButton4", [] { return I(768); }},
    BuiltinConstant{"vbApplicationModal", [] { return I(0); }},
    BuiltinConstant{"vbSystemModal", [] { return I(4096); }},
    BuiltinConstant{"vbMsgBoxHelpButton", [] { return L(16384); }},
    BuiltinConstant{"vbMsgBoxSetForeground", [] { return L(65536); }},
    BuiltinConstant{"vbMsgBoxRight", [] { return L(524288); }},
    BuiltinConstant{"vbMsgBoxRtlReading", [] { return L(1048576); }},
    BuiltinConstant{"vbOK", [] { return I(1); }},
    BuiltinConstant{"vbCancel", [] { return I(2); }},
    BuiltinConstant{"vbAbort", [] { return I(3); }},
    BuiltinConstant{"vbRetry", [] { return I(4); }},
    BuiltinConstant{"vbIgnore", [] { return I(5); }},
    BuiltinConstant{"vbYes", [] { return I(6); }},
    BuiltinConstant{"vbNo", [] { return I(7); }},
    BuiltinConstant{"vbBlack", [] { return L(0); }},
    BuiltinConstant{"vbRed", [] { return L(0xFF); }},
    BuiltinConstant{"vbGreen", [] { return L(0xFF00); }},
    BuiltinConstant{"vbYellow", [] { return L(0xFFFF); }},
    BuiltinConstant{"vbBlue", [] { return L(0xFF0000); }},
    BuiltinConstant{"vbMagenta", [] { return L(0xFF00FF); }},
    BuiltinConstant{"vbCyan", [] { return L(0xFFFF00); }},
    BuiltinConstant{"vbWhite", [] { return L(0xFFFFFF); }},
};

}  // namespace

std::span<const BuiltinConstant> BuiltinConstants() { return kConstants; }

int32_t FindBuiltin(std::string_view name) {
  const Table& t = TheTable();
  auto it = t.index.find(name);
  return it == t.index.end() ? -1 : it->second;
}

const Builtin& BuiltinAt(int32_t index) { return TheTable().all[index]; }

const Variant* FindConstant(std::string_view name) {
  const Table& t = TheTable();
  auto it = t.constants.find(name);
  return it == t.constants.end() ? nullptr : &it->second;
}

std::u32string DecodeText(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) out.push_back(DecodeUtf8(s, i));
  return out;
}

std::string EncodeText(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) AppendUtf8(out, c);
  return out;
}

}  // namespace zantrel::script
