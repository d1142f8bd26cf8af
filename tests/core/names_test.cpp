// Case-insensitive names: equality, ordering and hashing must agree with each
// other for ASCII, non-ASCII and malformed UTF-8, and the UTF-8 helpers must
// round-trip and reject bad sequences.
#include <gtest/gtest.h>

#include <string>
#include <unordered_set>

#include "core/names.h"

namespace zantrel {
namespace {

struct EqualsRow {
  const char* a;
  const char* b;
  bool equal;
};

const EqualsRow kEqualsRows[] = {
    {"abc", "ABC", true},
    {"", "", true},
    {"abc", "abd", false},
    {"abc", "abcd", false},
    {"abcd", "abc", false},
    {"CustomerName_ID", "customername_id", true},        // crosses an 8-byte word
    {"customername_iD", "customername_iX", false},       // differs in the tail after a word
    {"customerXame_id", "customername_id", false},       // differs inside the first word
    {"ZZZZZZZZzzzz", "zzzzzzzzZZZZ", true},
    {"@@@@@@@@", "````````", false},                      // 0x40/0x60 are not letters
    {"[[[[[[[[\\\\", "{{{{{{{{||", false},                 // 0x5B../0x7B.. are not letters
    {"ÉCOLE", "école", true},
    {"TableÉcoleName", "tableécolename", true},          // ASCII word, then non-ASCII
    {"ΑΒΓΔ", "αβγδ", true},
    {"Straße", "STRASSE", false},                         // simple folding: ß is one letter
    {"STRAẞE", "straße", true},                           // capital sharp s folds to ß
    {"\xE2\x84\xAA", "k", true},                          // Kelvin sign folds to ASCII k
    {"\xE2\x84\xAA" "elvin", "KELVIN", true},
    {"a\xff", "A\xff", true},
    {"\xff", "\xfe", false},                              // distinct malformed bytes stay distinct
    {"\xff", "\xEF\xBF\xBD", false},                      // a malformed byte is not U+FFFD
};

TEST(Names, EqualsHashAndCompareAgree) {
  for (const EqualsRow& row : kEqualsRows) {
    SCOPED_TRACE(std::string(row.a) + " | " + row.b);
    EXPECT_EQ(NameEquals(row.a, row.b), row.equal);
    EXPECT_EQ(NameEquals(row.b, row.a), row.equal);
    EXPECT_EQ(NameCompare(row.a, row.b) == 0, row.equal);
    EXPECT_EQ(NameCompare(row.a, row.b), -NameCompare(row.b, row.a));
    if (row.equal) {
      EXPECT_EQ(NameHash(row.a), NameHash(row.b));
      EXPECT_EQ(FoldName(row.a), FoldName(row.b));
    }
  }
}

TEST(Names, CompareOrdersByFoldedCodePoints) {
  struct Row {
    const char* a;
    const char* b;
    int sign;
  };
  const Row rows[] = {
      {"apple", "Banana", -1},  // binary order would put "B" first
      {"Zebra", "apple", 1},
      {"ab", "ABC", -1},        // prefix sorts first
      {"école", "ECOLF", 1},    // é (U+00E9) sorts after every ASCII letter
      {"Ärger", "ärgern", -1},
      {"same", "SAME", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.a) + " | " + row.b);
    const int c = NameCompare(row.a, row.b);
    EXPECT_EQ((c > 0) - (c < 0), row.sign);
  }
}

TEST(Names, HashSpreadsDistinctNames) {
  std::unordered_set<std::size_t> hashes;
  for (int i = 0; i < 2000; ++i) hashes.insert(NameHash("Field" + std::to_string(i)));
  EXPECT_GT(hashes.size(), 1990u);
  EXPECT_NE(NameHash("ab"), NameHash("ba"));
  EXPECT_NE(NameHash("abcdefgh"), NameHash("abcdefgh "));
}

TEST(Names, NameMapFindsKeysInAnyCase) {
  NameMap<int> map;
  map.emplace("CustomerID", 1);
  map.emplace("école", 2);
  EXPECT_EQ(map.at(std::string("CUSTOMERID")), 1);
  auto it = map.find(std::string_view("ÉCOLE"));
  ASSERT_NE(it, map.end());
  EXPECT_EQ(it->second, 2);
  EXPECT_FALSE(map.emplace("customerid", 3).second);
  EXPECT_EQ(map.find(std::string_view("Customer")), map.end());
}

TEST(Names, FoldCodePoint) {
  struct Row {
    char32_t in, out;
  };
  const Row rows[] = {{U'A', U'a'}, {U'z', U'z'}, {U'@', U'@'}, {U'[', U'['}, {U'É', U'é'},
                      {U'Ω', U'ω'}, {U'Д', U'д'}, {U'ß', U'ß'}, {U'ẞ', U'ß'}, {U'1', U'1'}};
  for (const Row& row : rows) EXPECT_EQ(FoldCodePoint(row.in), row.out) << static_cast<uint32_t>(row.in);
}

TEST(Names, UpperAndLowerText) {
  struct Row {
    const char* in;
    const char* lower;
    const char* upper;
  };
  const Row rows[] = {
      {"Hello World", "hello world", "HELLO WORLD"},
      {"école ÀÉÎ", "école àéî", "ÉCOLE ÀÉÎ"},
      {"straße", "straße", "STRAßE"},
      {"a\xff" "b", "a\xff" "b", "A\xff" "B"},  // malformed bytes pass through
      {"", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    EXPECT_EQ(ToLowerText(row.in), row.lower);
    EXPECT_EQ(ToUpperText(row.in), row.upper);
  }
}

TEST(Names, DecodeUtf8) {
  struct Row {
    const char* bytes;
    char32_t cp;
    std::size_t next;
  };
  const Row rows[] = {
      {"A", U'A', 1},
      {"é", U'é', 2},
      {"€", U'€', 3},
      {"😀", U'😀', 4},
      {"\xC3", 0xFFFD, 1},              // truncated
      {"\xC0\x80", 0xFFFD, 1},          // overlong
      {"\xED\xA0\x80", 0xFFFD, 1},      // surrogate
      {"\xF4\x90\x80\x80", 0xFFFD, 1},  // beyond U+10FFFF
      {"\xE2\x28\xA1", 0xFFFD, 1},      // bad continuation
      {"\x80", 0xFFFD, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    std::size_t pos = 0;
    EXPECT_EQ(DecodeUtf8(row.bytes, pos), row.cp);
    EXPECT_EQ(pos, row.next);
  }
}

TEST(Names, AppendUtf8RoundTrips) {
  for (char32_t c : {U'\0', U'A', U'\u007f', U'\u0080', U'é', U'\u07ff', U'\u0800', U'€', U'\uffff',
                     U'\U00010000', U'😀', U'\U0010ffff'}) {
    std::string s;
    AppendUtf8(s, c);
    std::size_t pos = 0;
    EXPECT_EQ(DecodeUtf8(s, pos), c);
    EXPECT_EQ(pos, s.size());
  }
  std::string bad;
  AppendUtf8(bad, 0xD800);
  AppendUtf8(bad, 0x110000);
  EXPECT_EQ(bad, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace zantrel
