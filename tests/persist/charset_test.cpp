#include <gtest/gtest.h>

#include "persist/charset.h"
#include "platform/text_encoding.h"

using namespace zantrel;

namespace {

TEST(Charset, CodePageLookup) {
  struct Row {
    std::string_view codePage;
    const char* charset;
  } rows[] = {
      {"437", "iso-8859-1"},        {"850", "iso-8859-1"},       {" 1252 ", "iso-8859-1"},
      {std::string_view("1252\0\0", 6), "iso-8859-1"},           {"01252", ""},
      {"1252.0", ""},               {"", ""},                    {"20838", "windows-874"},
      {"949", "euc-kr"},            {"1201", "utf-16"},          {"57002", ""},
      {"57011", ""},                {"65001", "utf-8"},          {"28605", "iso-8859-15"},
      {"870", "iso-8859-2"},        {"38598", "iso-8859-8"},     {"99999", ""},
  };
  for (const Row& r : rows) EXPECT_EQ(CharsetForCodePage(r.codePage), r.charset) << r.codePage;
}

TEST(Charset, LocaleCodesets) {
  EXPECT_EQ(CodePageForCodeset("UTF-8"), 65001);
  EXPECT_EQ(CodePageForCodeset("utf8"), 65001);
  EXPECT_EQ(CodePageForCodeset("ISO-8859-1"), 28591);
  EXPECT_EQ(CodePageForCodeset("ISO-8859-15"), 28605);
  EXPECT_EQ(CodePageForCodeset("CP1252"), 1252);
  EXPECT_EQ(CodePageForCodeset("ANSI_X3.4-1968"), 20127);
  EXPECT_EQ(CodePageForCodeset("no-such-set"), 0);
  EXPECT_EQ(CharsetForCodePage(std::to_string(CodePageForCodeset("ISO-8859-15"))), "iso-8859-15");
}

TEST(TextEncoding, UnrepresentableCharactersBecomeReferences) {
  EXPECT_EQ(EncodeForXml("caf\xC3\xA9", "iso-8859-1"), "caf\xE9");
  EXPECT_EQ(EncodeForXml("\xE4\xB8\xAD", "iso-8859-1"), "&#20013;");
  EXPECT_EQ(EncodeForXml("a\xE2\x82\xAC" "b", "iso-8859-15"), "a\xA4" "b");
  EXPECT_EQ(DecodeToUtf8("caf\xE9", "iso-8859-1"), "caf\xC3\xA9");
  EXPECT_THROW(EncodeForXml("x", "no-such-charset"), EncodingError);
  EXPECT_THROW(DecodeToUtf8("\xFF\xFF", "utf-16le-nope"), EncodingError);
}

}  // namespace
