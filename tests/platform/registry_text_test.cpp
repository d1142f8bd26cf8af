// The .reg text form: every value type and string escape survives a trip through
// the file, the file reads the way a person wrote it, and damaged files are
// reported with their file, line and the fault.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/registry_store.h"
#include "registry_fixture.h"

namespace zantrel {
namespace {

using testing::RegistryFolders;

constexpr const char* kKey = "Software\\Zantrel\\3.1\\Settings";

struct Named {
  std::string name;
  RegValue value;
};

std::vector<Named> EveryType() {
  return {
      {"Name", RegValue::String("plain text")},
      {"Empty", RegValue::String("")},
      {"Path", RegValue::String("%HOME%/x", kRegExpandSz)},
      {"Blob", RegValue::Binary({0x01, 0xff, 0x00})},
      {"NoBytes", RegValue::Binary({})},
      {"Count", RegValue::Number(0x1f)},
      {"Max", RegValue::Number(0xffffffffu)},
      {"BE", RegValue::Number(0x01020304, kRegDwordBigEndian)},
      {"List", RegValue::MultiString({"first", "second"})},
      {"NoStrings", RegValue::MultiString({})},
      {"OneEmpty", RegValue::MultiString({""})},
      {"Qword", RegValue::Binary({1, 2, 3, 4, 5, 6, 7, 8}, 11)},
      {"None", RegValue::Binary({}, 0)},
      {"Odd", RegValue::Binary({0xab}, 0x12345678)},
      {"", RegValue::String("the key's default value")},
  };
}

TEST_F(RegistryFolders, EveryValueTypeRoundTripsThroughTheFile) {
  RegistryStore writer(UserFile());
  for (const Named& n : EveryType()) writer.Write(kKey, n.name, n.value);

  const RegistryStore reader(UserFile());
  for (const Named& n : EveryType()) {
    SCOPED_TRACE("value '" + n.name + "'");
    const std::optional<RegValue> back = reader.Read(kKey, n.name);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->type, n.value.type);
    EXPECT_EQ(*back, n.value);
  }
  EXPECT_EQ(reader.ValueNames(kKey).size(), EveryType().size());
}

TEST(RegistryText, WritesTheRegeditLikeLayout) {
  RegDocument doc;
  doc.SetValue(kKey, "Name", RegValue::String("text with \"quotes\" and \\ backslashes"));
  doc.SetValue(kKey, "Count", RegValue::Number(31));
  doc.SetValue(kKey, "Blob", RegValue::Binary({0x01, 0xff, 0x00}));
  doc.SetValue(kKey, "Path", RegValue::String("%HOME%/x", kRegExpandSz));
  doc.SetValue(kKey, "List", RegValue::MultiString({"first", "second"}));
  doc.SetValue(kKey, "BE", RegValue::Number(1, kRegDwordBigEndian));
  doc.SetValue(kKey, "Q", RegValue::Binary({0x2a}, 11));
  doc.SetValue(kKey, "", RegValue::String("the key's default value"));
  EXPECT_EQ(FormatRegistryText(doc),
            "ZANTREL REGISTRY Version 1\n"
            "\n"
            "[Software\\Zantrel\\3.1\\Settings]\n"
            "\"Name\"=\"text with \\\"quotes\\\" and \\\\ backslashes\"\n"
            "\"Count\"=dword:0000001f\n"
            "\"Blob\"=hex:01,ff,00\n"
            "\"Path\"=str(2):\"%HOME%/x\"\n"
            "\"List\"=str(7):\"first\",\"second\"\n"
            "\"BE\"=hex(5):00,00,00,01\n"
            "\"Q\"=hex(b):2a\n"
            "@=\"the key's default value\"\n");
}

TEST_F(RegistryFolders, EscapedTextRoundTripsOneLinePerValue) {
  const std::vector<std::string> texts = {
      "quote \" inside", "back\\slash", "ends with backslash\\", "\\\"", "line\nbreak\r\n",
      "tab\there",       "bell\x07",    "Grüße, 東京",            "\"", "a\",\"b"};
  RegistryStore store(UserFile());
  for (std::size_t i = 0; i < texts.size(); ++i)
    store.Write(kKey, "name \"" + std::to_string(i) + "\"\\\n", RegValue::String(texts[i]));
  store.Write(kKey, "list", RegValue::MultiString(texts));

  const RegistryStore reader(UserFile());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::optional<RegValue> back = reader.Read(kKey, "name \"" + std::to_string(i) + "\"\\\n");
    ASSERT_TRUE(back.has_value()) << i;
    EXPECT_EQ(back->text, texts[i]);
  }
  EXPECT_EQ(reader.Read(kKey, "list")->strings, texts);
  // Header, blank, section, and one line per value: no raw line break escaped the quotes.
  const std::string file = ReadText(UserFile());
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), static_cast<long>(3 + texts.size() + 1));
}

TEST(RegistryText, ReadsWhatAPersonMightWrite) {
  const RegDocument doc = ParseRegistryText(
      "\xEF\xBB\xBFZANTREL REGISTRY Version 1\r\n"
      "; my settings\r\n"
      "[Software\\App]  \r\n"
      "  \"Small\" = dword:0000001F\r\n"
      "\"Bytes\"=hex:01, 0A ,ff\r\n"
      "\"List\"=str(7): \"a\" , \"b\"\r\n"
      "\"Wide\"=HEX(B):00\r\n"
      "\"Same\"=hex(3):07\r\n"
      "\t;indented comment\n"
      "\"small\"=dword:00000002\n"
      "[software\\app]\n"
      "\"More\"=\"x\"\n");
  ASSERT_EQ(doc.keys().size(), 1u);  // the second section is the same key
  EXPECT_EQ(doc.keys()[0].path, "Software\\App");
  EXPECT_EQ(doc.ValueNames("SOFTWARE\\APP"), (std::vector<std::string>{"Small", "Bytes", "List", "Wide", "Same", "More"}));
  EXPECT_EQ(*doc.FindValue("Software\\App", "SMALL"), RegValue::Number(2));  // the later line wins
  EXPECT_EQ(*doc.FindValue("Software\\App", "Bytes"), RegValue::Binary({0x01, 0x0a, 0xff}));
  EXPECT_EQ(*doc.FindValue("Software\\App", "List"), RegValue::MultiString({"a", "b"}));
  EXPECT_EQ(*doc.FindValue("Software\\App", "Wide"), RegValue::Binary({0}, 11));
  EXPECT_EQ(*doc.FindValue("Software\\App", "Same"), RegValue::Binary({7}));
}

TEST(RegistryText, EmptyFileIsAnEmptyRegistry) {
  EXPECT_TRUE(ParseRegistryText("").keys().empty());
  EXPECT_TRUE(ParseRegistryText(" \n\n").keys().empty());
  EXPECT_TRUE(ParseRegistryText("ZANTREL REGISTRY Version 1").keys().empty());
}

struct Damage {
  const char* body;  // after the header line
  int line;
  const char* reason;
};

class DamagedFile : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedFile, ReportsFileLineAndFault) {
  const std::string text = std::string("ZANTREL REGISTRY Version 1\n\n[Software\\App]\n") + GetParam().body;
  try {
    ParseRegistryText(text, "/home/u/.config/zantrel/user.reg");
    FAIL() << "parsed: " << GetParam().body;
  } catch (const RegistryError& e) {
    const std::string expected =
        "/home/u/.config/zantrel/user.reg:" + std::to_string(GetParam().line) + ": " + GetParam().reason;
    EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected) << e.what();
    EXPECT_EQ(e.line(), GetParam().line);
  }
}

INSTANTIATE_TEST_SUITE_P(
    RegistryText, DamagedFile,
    ::testing::Values(
        Damage{"\"A\"=\"1\"\n\"Name\"=\"abc\n", 5, "unterminated string"},
        Damage{"\"Name\"=\"ends in escape\\", 4, "unterminated string"},
        Damage{"\"Name=\"abc\"\n", 4, "expected '=' after the value name"},
        Damage{"\"N\"=dword:xyz\n", 4, "bad dword 'xyz'"},
        Damage{"\"N\"=dword:123456789\n", 4, "bad dword"},
        Damage{"\"N\"=dword:\n", 4, "bad dword"},
        Damage{"\"N\"=dword:1f\n", 4, "bad dword '1f' (expected 8 hex digits)"},
        Damage{"\"N\"=dword:00000012 34\n", 4, "unexpected text after the value"},
        Damage{"[Software\\Other\n", 4, "missing ']'"},
        Damage{"[Software\\Other] x\n", 4, "unexpected text after ']'"},
        Damage{"[Software\\\\Other]\n", 4, "invalid key path"},
        Damage{"[]\n", 4, "invalid key path"},
        Damage{"\n\nhello world\n", 6, "expected a [key], a value or a ; comment"},
        Damage{"\"N\"=hex:01,zz\n", 4, "bad hex byte 'zz'"},
        Damage{"\"N\"=hex:01,\n", 4, "bad hex byte"},
        Damage{"\"N\"=hex:0102\n", 4, "bad hex byte"},
        Damage{"\"N\"=hex:01,2\n", 4, "bad hex byte '2' (expected 2 hex digits)"},
        Damage{"\"N\"=hex(5):00,01,02\n", 4, "a big-endian dword needs exactly 4 bytes"},
        Damage{"\"N\"=hex(4):01,00,00,00\n", 4, "type 4 is written as dword:"},
        Damage{"\"N\"=hex(1):41\n", 4, "type 1 is written as a quoted string"},
        Damage{"\"N\"=qword:1\n", 4, "unknown value type 'qword:'"},
        Damage{"\"N\"=1\n", 4, "expected a quoted string or a type"},
        Damage{"\"N\"=\"a\\q\"\n", 4, "unknown escape '\\q'"},
        Damage{"\"N\"=\"a\" \"b\"\n", 4, "unexpected text after the value"},
        Damage{"\"N\"=str(7):\"a\" \"b\"\n", 4, "expected ',' between strings"},
        Damage{"\"N\"=str(2):plain\n", 4, "expected a quoted string"}));

TEST(RegistryText, DamagedHeaderOrValueOutsideAKey) {
  const auto reason = [](const std::string& text) {
    try {
      ParseRegistryText(text, "f.reg");
    } catch (const RegistryError& e) {
      return std::string(e.what());
    }
    return std::string("parsed");
  };
  EXPECT_EQ(reason("REGEDIT4\n"), "f.reg:1: missing the header 'ZANTREL REGISTRY Version 1'");
  EXPECT_EQ(reason("ZANTREL REGISTRY Version 2\n"), "f.reg:1: unsupported version '2'");
  EXPECT_EQ(reason("ZANTREL REGISTRY Version 1\n\"A\"=\"1\"\n"), "f.reg:2: value outside a [key] section");
}

// Cutting a good file anywhere gives either a file that parses or a clean error.
TEST(RegistryText, TruncatedFileParsesOrFailsCleanly) {
  RegDocument doc;
  for (const Named& n : EveryType()) doc.SetValue(kKey, n.name, n.value);
  const std::string text = FormatRegistryText(doc);
  int failures = 0;
  for (std::size_t cut = 0; cut < text.size(); ++cut) {
    try {
      ParseRegistryText(text.substr(0, cut), "t.reg");
    } catch (const RegistryError& e) {
      ++failures;
      EXPECT_EQ(std::string(e.what()).substr(0, 6), "t.reg:") << cut;
    }
  }
  EXPECT_GT(failures, 0);
}

TEST(RegistryText, FormattingKeepsCommentsAndDropsCarriageReturns) {
  const std::string text =
      "ZANTREL REGISTRY Version 1\n"
      "; top comment\n"
      "\n"
      "[A]\n"
      "; about x\n"
      "\"x\"=dword:00000001\n"
      "\n"
      "  ; indented\n"
      "[A\\B]\n"
      "\"y\"=str(7):\n"
      "; trailing\n";
  EXPECT_EQ(FormatRegistryText(ParseRegistryText(text)), text);
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(FormatRegistryText(ParseRegistryText(crlf)), text);
}

TEST(RegistryText, ValueDataAloneParsesAndFormats) {
  EXPECT_EQ(ParseValueData("dword:0000001f"), RegValue::Number(31));
  EXPECT_EQ(ParseValueData(" str(7):\"a\",\"\" "), RegValue::MultiString({"a", ""}));
  EXPECT_EQ(FormatValueData(RegValue::Binary({1, 2}, 0x1f)), "hex(1f):01,02");
  EXPECT_THROW(ParseValueData("dword:"), RegistryError);
}

TEST(RegistryText, TypeTableNamesMatchTheCommandLine) {
  for (const char* name : {"sz", "expand_sz", "dword", "binary", "multi_sz"}) {
    const RegTypeInfo* info = FindRegTypeByName(name);
    ASSERT_NE(info, nullptr) << name;
    EXPECT_EQ(FindRegType(info->type), info);
  }
  EXPECT_EQ(FindRegTypeByName("DWORD")->type, kRegDword);
  EXPECT_EQ(FindRegTypeByName("qword"), nullptr);
  EXPECT_EQ(EncodingOf(11), RegEncoding::Bytes);
}

TEST(RegistryText, ExpandsKnownEnvironmentNames) {
  setenv("ZT_EXPAND_A", "1", 1);
  setenv("ZT_EXPAND_B", "two", 1);
  unsetenv("ZT_EXPAND_MISSING");
  EXPECT_EQ(ExpandEnvironment("%ZT_EXPAND_A%-%ZT_EXPAND_B%/x"), "1-two/x");
  EXPECT_EQ(ExpandEnvironment("%ZT_EXPAND_A%%ZT_EXPAND_B%"), "1two");
  EXPECT_EQ(ExpandEnvironment("%ZT_EXPAND_MISSING%/x"), "%ZT_EXPAND_MISSING%/x");
  EXPECT_EQ(ExpandEnvironment("100% sure"), "100% sure");
  EXPECT_EQ(ExpandEnvironment("%%"), "%%");
  EXPECT_EQ(ExpandEnvironment("50% of %ZT_EXPAND_A%"), "50% of 1");
  EXPECT_EQ(ExpandEnvironment("%ZT_EXPAND_A"), "%ZT_EXPAND_A");
  unsetenv("ZT_EXPAND_A");
  unsetenv("ZT_EXPAND_B");
}

}  // namespace
}  // namespace zantrel
