// cRegistry as the engine uses it: what each stored type reads as, how a write
// picks the stored type from ValueType and the value, and the worded 26001
// errors for writes that fail.
#include "platform/registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "registry_fixture.h"

namespace zantrel {
namespace {

constexpr const char* kKey = "Software\\Zantrel\\3.1\\Settings";
const std::string kRoot = "-2147483647";  // HKEY_CURRENT_USER as the messages show it

class RegistryAccess : public testing::RegistryFolders {
 protected:
  void SetUp() override {
    RegistryFolders::SetUp();
    Context().SetService(std::make_unique<cRegistry>());
    reg().SectionKey = kKey;
  }
  static cRegistry& reg() { return Context().Service<cRegistry>(); }

  Variant Read(const std::string& name) {
    reg().ValueKey = name;
    return reg().Value();
  }
  void Write(const std::string& name, int32_t type, const Variant& value) {
    reg().ValueKey = name;
    reg().ValueType = type;
    reg().Value(value);
  }
  std::optional<RegValue> Stored(const std::string& name) const { return RegistryStore(UserFile()).Read(kKey, name); }

  // The 26001 error an operation raises, with its description.
  template <class F>
  static std::string RegistryErrorOf(F&& operation) {
    try {
      operation();
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), 26001);
      EXPECT_EQ(e.source(), "zantrel.cRegistry");
      return e.description();
    }
    return "no error";
  }
};

std::vector<uint8_t> BytesOf(const Variant& v) {
  std::vector<uint8_t> out;
  for (const Variant& item : v.AsArray().data()) out.push_back(item.AsByte());
  return out;
}

TEST_F(RegistryAccess, EachStoredTypeReadsAsTheEngineExpects) {
  setenv("ZT_REG_HOME", "/home/someone", 1);
  WriteText(UserFile(),
            "ZANTREL REGISTRY Version 1\n"
            "[Software\\Zantrel\\3.1\\Settings]\n"
            "\"Text\"=\"plain %ZT_REG_HOME%\"\n"
            "\"Path\"=str(2):\"%ZT_REG_HOME%/x\"\n"
            "\"Blob\"=hex:01,ff\n"
            "\"Count\"=dword:ffffffff\n"
            "\"BE\"=hex(5):00,00,01,02\n"
            "\"List\"=str(7):\"a\",\"\",\"b\"\n"
            "\"Qword\"=hex(b):2a,00\n");
  struct Expect {
    const char* name;
    int32_t type;
  };
  const Expect expected[] = {{"Text", 1}, {"Path", 2}, {"Blob", 3}, {"Count", 4}, {"BE", 5}, {"List", 7}, {"Qword", 11}};
  for (const Expect& e : expected) {
    reg().ValueType = 0;
    Read(e.name);
    EXPECT_EQ(reg().ValueType, e.type) << e.name;
  }
  EXPECT_EQ(Read("Text").AsString(), "plain %ZT_REG_HOME%");
  EXPECT_EQ(Read("Path").AsString(), "/home/someone/x");
  EXPECT_EQ(BytesOf(Read("Blob")), (std::vector<uint8_t>{0x01, 0xff}));
  EXPECT_EQ(Read("Count").type(), VarType::Long);
  EXPECT_EQ(Read("Count").AsLong(), -1);
  EXPECT_EQ(Read("BE").AsLong(), 0x102);
  EXPECT_EQ(Read("List").AsString(), std::string("a\0\0b", 4));
  EXPECT_EQ(BytesOf(Read("Qword")), (std::vector<uint8_t>{0x2a, 0x00}));
  EXPECT_EQ(Read("Qword").AsArray().data()[0].type(), VarType::Byte);
  unsetenv("ZT_REG_HOME");
}

TEST_F(RegistryAccess, MissingValueGivesDefaultAndKeepsValueType) {
  Write("Present", 1, Variant("x"));
  reg().Default = Variant("fallback");
  reg().ValueType = 4;
  EXPECT_EQ(Read("Absent").AsString(), "fallback");
  reg().SectionKey = "Software\\Nowhere";
  EXPECT_EQ(Read("Present").AsString(), "fallback");
  EXPECT_EQ(reg().ValueType, 4);
  EXPECT_EQ(reg().LastProblem(), "");
}

TEST_F(RegistryAccess, TextNamingTheEnvironmentIsStoredExpandable) {
  struct Case {
    const char* text;
    uint32_t stored;
  };
  const Case cases[] = {{"%A%", kRegExpandSz}, {"%HOME%/x", kRegExpandSz}, {"a%bc%", kRegExpandSz},
                        {"%%%", kRegExpandSz}, {"%", kRegSz},  {"%%", kRegSz},
                        {"100%", kRegSz},      {"%a", kRegSz},          {"plain", kRegSz}};
  for (const Case& c : cases) {
    for (int32_t valueType : {1, 2}) {
      Write("T", valueType, Variant(c.text));
      const std::optional<RegValue> stored = Stored("T");
      ASSERT_TRUE(stored.has_value()) << c.text;
      EXPECT_EQ(stored->type, c.stored) << c.text << " as type " << valueType;
      EXPECT_EQ(stored->text, c.text);
    }
  }
  Write("N", 1, Variant(int32_t{42}));
  EXPECT_EQ(Stored("N"), RegValue::String("42"));
}

TEST_F(RegistryAccess, NumbersAreStoredAsDwords) {
  Write("Long", 4, Variant(int32_t{-5}));
  Write("Int", 5, Variant(int16_t{7}));
  EXPECT_EQ(Stored("Long"), RegValue::Number(0xfffffffbu));
  EXPECT_EQ(Stored("Int"), RegValue::Number(7));  // type 4, not big-endian
  reg().ValueType = 0;
  EXPECT_EQ(Read("Long").AsLong(), -5);
}

TEST_F(RegistryAccess, NumberTypeWithAnotherKindOfValueWritesNothing) {
  for (const Variant& v : {Variant("12"), Variant(1.5), Variant(true), Variant::Byte(1), Variant()}) {
    Write("Count", 4, v);
    Write("Count", 5, v);
  }
  EXPECT_FALSE(std::filesystem::exists(UserFile()));
}

TEST_F(RegistryAccess, BinaryTakesAnArrayOfBytes) {
  Write("Bytes", 3, Variant(SafeArray::FromVector({Variant::Byte(0), Variant::Byte(255)})));
  Write("Numbers", 3, Variant(SafeArray::FromVector({Variant(int16_t{1}), Variant(int32_t{200}), Variant(3.0)})));
  Write("None", 3, Variant(SafeArray::FromVector({})));
  EXPECT_EQ(Stored("Bytes"), RegValue::Binary({0, 255}));
  EXPECT_EQ(Stored("Numbers"), RegValue::Binary({1, 200, 3}));
  EXPECT_EQ(Stored("None"), RegValue::Binary({}));

  const std::string prefix = "Failed to set registry value Key: '" + kRoot + "',Section: '" + kKey + "',Key: 'Bad' to value: '";
  EXPECT_EQ(RegistryErrorOf([&] { Write("Bad", 3, Variant("0102")); }), prefix + "0102'");
  EXPECT_EQ(RegistryErrorOf([&] { Write("Bad", 3, Variant(SafeArray::FromVector({Variant(int32_t{256})}))); }),
            prefix + "'");
  EXPECT_EQ(RegistryErrorOf([&] { Write("Bad", 3, Variant(SafeArray::FromVector({Variant("1")}))); }), prefix + "'");
  EXPECT_FALSE(Stored("Bad").has_value());
}

TEST_F(RegistryAccess, UnsupportedValueTypeRaisesWithoutWriting) {
  EXPECT_EQ(RegistryErrorOf([&] { Write("List", 7, Variant("a")); }),
            "Failed to set registry value Key: '-2147483647',Section: 'Software\\Zantrel\\3.1\\Settings',Key: 'List' "
            "to value: 'a'");
  EXPECT_NE(RegistryErrorOf([&] { Write("Other", 11, Variant("a")); }), "no error");
  EXPECT_FALSE(std::filesystem::exists(UserFile()));
}

TEST_F(RegistryAccess, DamagedFileReadsDefaultAndFailsWritesWithTheReason) {
  const std::string text = "ZANTREL REGISTRY Version 1\n[Software\\Zantrel\\3.1\\Settings]\n\"A\"=\"1\"\n\"B\"=\"2\n";
  WriteText(UserFile(), text);
  const std::string reason = UserFile().string() + ":4: unterminated string";
  const std::string where = kRoot + "',Section: '" + kKey;

  reg().Default = Variant("d");
  EXPECT_EQ(Read("A").AsString(), "d");
  EXPECT_EQ(reg().LastProblem(), reason);
  EXPECT_FALSE(reg().KeyExists());
  std::vector<std::string> names{"stale"};
  int32_t count = 9;
  EXPECT_FALSE(reg().EnumerateValues(names, count));
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(count, 0);

  EXPECT_EQ(RegistryErrorOf([&] { Write("A", 1, Variant("new")); }),
            "Failed to set registry value Key: '" + where + "',Key: 'A' to value: 'new': " + reason);
  EXPECT_EQ(RegistryErrorOf([&] { reg().CreateKey(); }), "Failed to create registry Key: '" + std::string(kKey) + ": " + reason);
  EXPECT_EQ(RegistryErrorOf([&] { reg().DeleteKey(); }), "Failed to delete registry Key: '" + where + ": " + reason);
  reg().ValueKey = "A";
  EXPECT_EQ(RegistryErrorOf([&] { reg().DeleteValue(); }),
            "Failed to open key '" + where + "' for delete access: " + reason);
  EXPECT_EQ(reg().LastProblem(), "Failed to open key '" + where + "' for delete access: " + reason);
  EXPECT_EQ(ReadText(UserFile()), text);
}

TEST_F(RegistryAccess, KeysAndValuesCanBeListedAndDeleted) {
  EXPECT_FALSE(reg().KeyExists());
  EXPECT_TRUE(reg().CreateKey());
  EXPECT_TRUE(reg().KeyExists());
  EXPECT_TRUE(reg().CreateKey());
  Write("One", 4, Variant(int32_t{1}));
  Write("Two", 1, Variant("2"));
  Write("", 1, Variant("default"));
  reg().SectionKey = std::string(kKey) + "\\Sub";
  EXPECT_TRUE(reg().CreateKey());

  std::vector<std::string> names;
  int32_t count = -1;
  reg().SectionKey = kKey;
  EXPECT_TRUE(reg().EnumerateValues(names, count));
  EXPECT_EQ(names, (std::vector<std::string>{"One", "Two", ""}));
  EXPECT_EQ(count, 3);
  reg().SectionKey = "Software\\Zantrel";
  EXPECT_TRUE(reg().EnumerateSections(names, count));
  EXPECT_EQ(names, (std::vector<std::string>{"3.1"}));
  EXPECT_EQ(count, 1);
  EXPECT_TRUE(reg().EnumerateValues(names, count));  // exists, through its subkeys
  EXPECT_EQ(count, 0);
  reg().SectionKey = "Software\\Missing";
  EXPECT_FALSE(reg().EnumerateSections(names, count));
  EXPECT_EQ(count, 0);

  reg().SectionKey = kKey;
  reg().ValueKey = "two";
  EXPECT_TRUE(reg().DeleteValue());
  EXPECT_FALSE(reg().DeleteValue());
  reg().SectionKey = "Software\\Missing";
  EXPECT_FALSE(reg().DeleteValue());
  EXPECT_FALSE(reg().DeleteKey());
  reg().SectionKey = "software\\zantrel";
  EXPECT_TRUE(reg().DeleteKey());
  EXPECT_FALSE(RegistryStore(UserFile()).KeyExists(std::string(kKey) + "\\Sub"));
  EXPECT_FALSE(RegistryStore(UserFile()).KeyExists("Software"));
}

TEST_F(RegistryAccess, RootKeySelectsTheFile) {
  reg().ClassKey = kHKeyLocalMachine;
  Write("Where", 1, Variant("machine"));
  reg().ClassKey = kHKeyCurrentUser;
  Write("Where", 1, Variant("user"));
  EXPECT_EQ(RegistryStore(MachineFile()).Read(kKey, "Where"), RegValue::String("machine"));
  EXPECT_EQ(Stored("Where"), RegValue::String("user"));

  reg().ClassKey = static_cast<int32_t>(0x80000000u);  // HKEY_CLASSES_ROOT
  reg().Default = Variant("none");
  EXPECT_EQ(Read("Where").AsString(), "none");
  EXPECT_FALSE(reg().KeyExists());
  EXPECT_FALSE(reg().DeleteKey());
  const std::string error = RegistryErrorOf([&] { Write("Where", 1, Variant("x")); });
  EXPECT_EQ(error.substr(0, 50), "Failed to set registry value Key: '-2147483648',Se");
  EXPECT_NE(error.find("' to value: 'x': registry root key -2147483648 is not available"), std::string::npos) << error;
  EXPECT_NE(RegistryErrorOf([&] { reg().CreateKey(); }), "no error");
}

}  // namespace
}  // namespace zantrel
