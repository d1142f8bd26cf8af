// VBScript conversion rules: rounding, ranges and the error each bad input
// raises, number text in both directions, TypeName/VarType and the conversion
// by setting type name.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/dispatch.h"
#include "core_test_util.h"

namespace zantrel {
namespace {

using testing::Describe;
using testing::RaisedNumber;

Variant Long(int32_t v) { return Variant(v); }
Variant Int(int16_t v) { return Variant(v); }

TEST(Convert, BankersRound) {
  const std::pair<double, double> rows[] = {
      {2.5, 2},    {3.5, 4},   {-2.5, -2}, {-3.5, -4},     {0.5, 0},       {1.5, 2},
      {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e300, 1e300}, {4503599627370497.0, 4503599627370497.0}};
  for (auto [in, out] : rows) EXPECT_EQ(BankersRound(in), out) << in;
}

// Expected value of an integer conversion, or the error it raises.
struct IntRow {
  const char* label;
  Variant in;
  int64_t value;
  int32_t error;
};

void CheckIntRows(const std::vector<IntRow>& rows, int64_t (*convert)(const Variant&)) {
  for (const IntRow& row : rows) {
    SCOPED_TRACE(row.label);
    int64_t got = 0;
    EXPECT_EQ(RaisedNumber([&] { got = convert(row.in); }), row.error);
    if (row.error == 0) {
      EXPECT_EQ(got, row.value);
    }
  }
}

TEST(Convert, CInt) {
  const std::vector<IntRow> rows = {
      {"2.5 rounds to even", Variant(2.5), 2, 0},
      {"3.5 rounds to even", Variant(3.5), 4, 0},
      {"-2.5 rounds to even", Variant(-2.5), -2, 0},
      {"2.6", Variant(2.6), 3, 0},
      {"32767.4", Variant(32767.4), 32767, 0},
      {"32767.5 rounds out of range", Variant(32767.5), 0, 6},
      {"-32768.5 rounds to even, in range", Variant(-32768.5), -32768, 0},
      {"-32769", Long(-32769), 0, 6},
      {"40000", Long(40000), 0, 6},
      {"Empty", Variant(), 0, 0},
      {"Null", Variant::Null(), 0, 94},
      {"True", Variant(true), -1, 0},
      {"Currency 2.5", Variant::Currency(25000), 2, 0},
      {"Currency 3.5", Variant::Currency(35000), 4, 0},
      {"Date 2.5", Variant::Date(2.5), 2, 0},
      {"text with spaces", Variant(" 12 "), 12, 0},
      {"text 1e3", Variant("1e3"), 1000, 0},
      {"text &H10", Variant("&H10"), 16, 0},
      {"text 2.5", Variant("2.5"), 2, 0},
      {"empty text", Variant(""), 0, 13},
      {"spaces only", Variant("   "), 0, 13},
      {"word", Variant("abc"), 0, 13},
      {"date text", Variant("12/5/2026"), 0, 13},
      {"Nothing", Variant::Nothing(), 0, 13},
      {"array", Variant(SafeArray::FromVector({})), 0, 13},
  };
  CheckIntRows(rows, [](const Variant& v) -> int64_t { return CInt(v); });
}

TEST(Convert, CLngAndCByte) {
  const std::vector<IntRow> longs = {
      {"2147483647.4", Variant(2147483647.4), 2147483647, 0},
      {"2147483647.5", Variant(2147483647.5), 0, 6},
      {"-2147483648.5 rounds to even", Variant(-2147483648.5), -2147483648LL, 0},
      {"1e10", Variant(1e10), 0, 6},
      {"thousands separators", Variant("1,234,567"), 1234567, 0},
      {"&HFFFFFFFF", Variant("&HFFFFFFFF"), -1, 0},
      {"Integer", Int(-7), -7, 0},
      {"False", Variant(false), 0, 0},
      {"Null", Variant::Null(), 0, 94},
  };
  CheckIntRows(longs, [](const Variant& v) -> int64_t { return CLng(v); });
  const std::vector<IntRow> bytes = {
      {"254.5 rounds to even", Variant(254.5), 254, 0},
      {"255.5 rounds out of range", Variant(255.5), 0, 6},
      {"-0.5 rounds to zero", Variant(-0.5), 0, 0},
      {"-1", Long(-1), 0, 6},
      {"True is -1", Variant(true), 0, 6},
      {"text", Variant("200"), 200, 0},
  };
  CheckIntRows(bytes, [](const Variant& v) -> int64_t { return CByte(v); });
}

TEST(Convert, CBool) {
  struct Row {
    const char* label;
    Variant in;
    bool value;
    int32_t error;
  };
  const Row rows[] = {
      {"true", Variant("true"), true, 0},
      {"FALSE", Variant("FALSE"), false, 0},
      {"TrUe", Variant("TrUe"), true, 0},
      {"numeric text 0", Variant("0"), false, 0},
      {"numeric text -1", Variant("-1"), true, 0},
      {"numeric text 0.001", Variant("0.001"), true, 0},
      {"yes", Variant("yes"), false, 13},
      {"empty text", Variant(""), false, 13},
      {"Empty", Variant(), false, 0},
      {"Null", Variant::Null(), false, 94},
      {"0.1", Variant(0.1), true, 0},
      {"Integer 0", Int(0), false, 0},
      {"Currency 0.0001", Variant::Currency(1), true, 0},
      {"Date 0", Variant::Date(0), false, 0},
      {"Nothing", Variant::Nothing(), false, 13},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    bool got = !row.value;
    EXPECT_EQ(RaisedNumber([&] { got = CBool(row.in); }), row.error);
    if (row.error == 0) {
      EXPECT_EQ(got, row.value);
    }
  }
}

TEST(Convert, CDblAndNumberText) {
  struct Row {
    const char* text;
    double value;
    bool valid;
  };
  const Row rows[] = {
      {"1", 1, true},          {" 1 ", 1, true},           {"\t-1.5 ", -1.5, true},
      {"+2", 2, true},         {"1e3", 1000, true},        {"1E-2", 0.01, true},
      {"2.5e+2", 250, true},   {".5", 0.5, true},          {"5.", 5, true},
      {"1,234.5", 1234.5, true}, {"&H10", 16, true},       {"&hff", 255, true},
      {"&HFFFF", 65535, true}, {"&H7FFFFFFF", 2147483647, true}, {"&H80000000", -2147483648.0, true},
      {"&O17", 15, true},      {"&o777", 511, true},
      {"", 0, false},          {" ", 0, false},            {"-", 0, false},
      {".", 0, false},         {"1e", 0, false},           {"e3", 0, false},
      {"--1", 0, false},       {"1 2", 0, false},          {"1.2.3", 0, false},
      {"12abc", 0, false},     {",1", 0, false},           {"&H", 0, false},
      {"&HG", 0, false},       {"&O8", 0, false},          {"&H100000000", 0, false},
      {"1e999", 0, false},     {"inf", 0, false},          {"nan", 0, false},
      {"0x10", 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const auto parsed = ParseNumber(row.text);
    EXPECT_EQ(parsed.has_value(), row.valid);
    if (row.valid && parsed) {
      EXPECT_DOUBLE_EQ(*parsed, row.value);
    }
    double got = 0;
    EXPECT_EQ(RaisedNumber([&] { got = CDbl(Variant(row.text)); }), row.valid ? 0 : 13);
    if (row.valid) {
      EXPECT_DOUBLE_EQ(got, row.value);
    }
  }
}

TEST(Convert, CDblOfOtherTypes) {
  EXPECT_EQ(CDbl(Variant::Currency(12345)), 1.2345);
  EXPECT_EQ(CDbl(Variant(true)), -1);
  EXPECT_EQ(CDbl(Variant::Date(45000.5)), 45000.5);
  EXPECT_EQ(CDbl(Variant()), 0);
  EXPECT_EQ(RaisedNumber([] { CDbl(Variant::Null()); }), 94);
  EXPECT_EQ(RaisedNumber([] { CDbl(Variant::Nothing()); }), 13);
}

TEST(Convert, CCur) {
  const std::vector<IntRow> rows = {
      {"1.5", Variant(1.5), 15000, 0},
      {"Long", Long(3), 30000, 0},
      {"text", Variant("-2.25"), -22500, 0},
      {"rounds at the fourth decimal", Variant(1.23456), 12346, 0},
      {"rounds down at the fourth decimal", Variant(-1.23454), -12345, 0},
      {"Currency passes through", Variant::Currency(std::numeric_limits<int64_t>::min()),
       std::numeric_limits<int64_t>::min(), 0},
      {"1e15 overflows", Variant(1e15), 0, 6},
      {"Null", Variant::Null(), 0, 94},
      {"word", Variant("x"), 0, 13},
  };
  CheckIntRows(rows, [](const Variant& v) -> int64_t { return CCur(v); });
}

TEST(Convert, FormatDouble) {
  const std::pair<double, const char*> rows[] = {
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {919.9999999999999, "920"},
      {100, "100"},
      {-1.5, "-1.5"},
      {1234567.5, "1234567.5"},
      {-0.0, "0"},
      {0.5, "0.5"},
      {123456789012345.0, "123456789012345"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1E+15"},
      {1e20, "1E+20"},
      {-1.5e20, "-1.5E+20"},
      {1234567890123456789.0, "1.23456789012346E+18"},
      {1e100, "1E+100"},
      {0.001, "0.001"},
      {1.5e-7, "0.00000015"},
      {1e-15, "0.000000000000001"},
      {1e-16, "1E-16"},
      {1.5e-15, "1.5E-15"},
      {0.0199999997764826, "1.99999997764826E-02"},  // 15 digits after one leading zero
      {1.0 / 300, "3.33333333333333E-03"},
      {1e-300, "1E-300"},
  };
  for (auto [value, text] : rows) EXPECT_EQ(FormatDouble(value), text) << value;
}

TEST(Convert, FormatCurrency) {
  const std::pair<int64_t, const char*> rows[] = {
      {0, "0"},
      {10000, "1"},
      {12345, "1.2345"},
      {15000, "1.5"},
      {10010, "1.001"},
      {-5, "-0.0005"},
      {-123450000, "-12345"},
      {std::numeric_limits<int64_t>::max(), "922337203685477.5807"},
      {std::numeric_limits<int64_t>::min(), "-922337203685477.5808"},
  };
  for (auto [scaled, text] : rows) EXPECT_EQ(FormatCurrency(scaled), text) << scaled;
}

class Widget : public Dispatch {
 public:
  std::string_view TypeName() const override { return "Widget"; }
  DispId MemberId(std::string_view) const override { return kDispUnknown; }
  Variant Invoke(DispId, InvokeKind, Args) override { return {}; }
};

TEST(Convert, CStr) {
  struct Row {
    Variant in;
    const char* text;
    int32_t error;
  };
  const Row rows[] = {
      {Variant(), "", 0},
      {Variant::Null(), "", 94},
      {Variant(true), "True", 0},
      {Variant(false), "False", 0},
      {Int(-32768), "-32768", 0},
      {Long(2147483647), "2147483647", 0},
      {Variant::Byte(255), "255", 0},
      {Variant(0.1 + 0.2), "0.3", 0},
      {Variant::Currency(12345), "1.2345", 0},
      {Variant::Date(46361 + 0.5), "12/5/2026 12:00:00 PM", 0},
      {Variant("text"), "text", 0},
      {Variant(Ref<Dispatch>(new Widget)), "", 13},
      {Variant::Nothing(), "", 13},
      {Variant(SafeArray::FromVector({})), "", 13},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(TypeName(row.in));
    std::string got;
    EXPECT_EQ(RaisedNumber([&] { got = CStr(row.in); }), row.error);
    EXPECT_EQ(got, row.text);
  }
}

TEST(Convert, TypeNameAndVarType) {
  struct Row {
    Variant in;
    const char* name;
    int32_t varType;
  };
  const Row rows[] = {
      {Variant(), "Empty", 0},
      {Variant::Null(), "Null", 1},
      {Int(1), "Integer", 2},
      {Long(1), "Long", 3},
      {Variant(1.0), "Double", 5},
      {Variant::Currency(1), "Currency", 6},
      {Variant::Date(1), "Date", 7},
      {Variant("s"), "String", 8},
      {Variant::Nothing(), "Nothing", 9},
      {Variant(Ref<Dispatch>(new Widget)), "Widget", 9},
      {Variant(true), "Boolean", 11},
      {Variant::Byte(1), "Byte", 17},
      {Variant(SafeArray::FromVector({Long(1)})), "Variant()", 8204},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TypeName(row.in), row.name);
    EXPECT_EQ(VarTypeNumber(row.in), row.varType) << row.name;
  }
}

TEST(Convert, ConvertByTypeName) {
  struct Row {
    const char* type;
    Variant in;
    const char* out;  // Describe() of the result
  };
  const Row rows[] = {
      {"Boolean", Variant("true"), "Boolean:True"},
      {"BOOLEAN", Long(0), "Boolean:False"},
      {"boolean", Variant("yes"), "Empty:"},
      {"Integer", Variant("12"), "Integer:12"},
      {"integer", Variant(2.5), "Integer:2"},
      {"Integer", Long(40000), "Empty:"},
      {"Integer", Variant(""), "Empty:"},
      {"Long", Long(40000), "Long:40000"},
      {"long", Variant("abc"), "Empty:"},
      {"String", Long(12), "String:12"},
      {"string", Variant("\"quoted\""), "String:quoted"},
      {"String", Variant(true), "String:True"},
      {"String", Variant::Null(), "Empty:"},
      {"String", Variant::Nothing(), "Empty:"},
      {"Double", Variant("x"), "String:x"},
      {"Date", Long(5), "Long:5"},
      {"", Variant("y"), "String:y"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.type) + " <- " + Describe(row.in));
    EXPECT_EQ(Describe(ConvertByTypeName(row.in, row.type)), row.out);
  }
}

TEST(Convert, StripQuotes) {
  const std::pair<const char*, const char*> rows[] = {
      {"\"a\"", "a"}, {"\"\"", ""}, {"\"", "\""}, {"a\"", "a\""}, {"\"a", "\"a"},
      {"\"\"a\"\"", "a"}, {"plain", "plain"}, {"", ""}, {" ' x ' ", "x"}, {"'a\"", "'a\""},
  };
  for (auto [in, out] : rows) EXPECT_EQ(StripQuotes(in), out) << in;
}

}  // namespace
}  // namespace zantrel
