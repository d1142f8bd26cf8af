// Field and table defaults from driver fields made by hand: the type rule, the
// HTML control and validation rules, ENUM/SET controls, captions and search
// operators.
#include "schema/driver.h"
#include "schema/field_defaults.h"
#include "schema/load.h"
#include "schema_test_support.h"

using namespace zantrel;
using namespace zantrel::test;

namespace {

class Defaults : public ProjectTest {
 protected:
  Ref<ObPField> Load(DriverField f) {
    auto field = MakeRef<ObPField>();
    LoadFieldFromDriver(*field, f);
    return field;
  }
  static DriverField Typed(const char* name, int32_t type, int32_t size = 0) {
    DriverField f;
    f.Name = name;
    f.ADODataType = type;
    f.Size = size;
    return f;
  }
};

TEST_F(Defaults, TypeRule) {
  struct Case {
    int32_t type;
    bool support;
    const char* quote;
  };
  const Case cases[] = {{20, true, ""}, {139, true, ""}, {11, true, ""}, {200, true, "'"}, {72, true, "'"},
                        {205, true, "'"}, {7, true, "'"}, {128, false, "keep"}, {204, false, "keep"}, {0, false, "keep"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    ObPField f;
    f.FldQuoteS("keep");
    SetFldType(f, c.type);
    EXPECT_EQ(f.FldType(), c.type);
    EXPECT_EQ(f.FldSupport(), c.support);
    EXPECT_EQ(f.FldQuoteS(), c.quote);
  }
}

TEST_F(Defaults, AutoIncrementKey) {
  DriverField d = Typed("id", 3);
  d.AutoIncrement = true;
  auto f = Load(d);
  EXPECT_EQ(f->FldHtmlTag(), "NO");
  EXPECT_FALSE(f->FldAdd());
  EXPECT_TRUE(f->FldEdit());
  EXPECT_EQ(f->FldValidate(), "INTEGER");
  EXPECT_EQ(f->FldSrchOpr(), "=");
  EXPECT_EQ(f->FldCaption(), "id");
  EXPECT_TRUE(f->FldColumnWrap());
  EXPECT_EQ(f->FldIncLeadDigit(), -2);
  EXPECT_EQ(f->FldFmtType(), "None");
}

TEST_F(Defaults, EnumAndSetControls) {
  struct Case {
    int32_t native;
    const char* tags;
    const char* tag;
  };
  const Case cases[] = {
      {247, "\"Y\",\"Y\"\r\n\"N\",\"N\"", "CHECKBOX"},
      {247, "\"N\",\"N\"\r\n\"Y\",\"Y\"\r\n", "CHECKBOX"},
      {247, "\"Y\",\"Y\"\n\"N\",\"N\"", "RADIO"},  // LF alone is not the yes/no pair
      {247, "\"a\",\"a\"\r\n\"b\",\"b\"\r\n\"c\",\"c\"", "RADIO"},
      {248, "\"red\",\"red\"", "CHECKBOX"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tags);
    DriverField d = Typed("e", 129, 1);
    d.NativeDataType = c.native;
    d.IsEnum = c.native == 247;
    d.IsSet = c.native == 248;
    d.FieldTagValues = c.tags;
    auto f = Load(d);
    EXPECT_EQ(f->FldType(), 202);
    EXPECT_TRUE(f->FldSupport());
    EXPECT_EQ(f->FldHtmlTag(), c.tag);
    EXPECT_EQ(f->FldTagSize(), 30) << "the text rule ran first";
    EXPECT_EQ(f->FldTagValues(), c.tags);
  }
}

TEST_F(Defaults, LongBinaryLinksToItself) {
  auto f = Load(Typed("photo", 205));
  EXPECT_FALSE(f->FldList());
  EXPECT_FALSE(f->FldSearch());
  EXPECT_EQ(f->FldHtmlTag(), "FILE");
  EXPECT_EQ(f->FldHrefFld(), "photo");
}

TEST_F(Defaults, DateFormats) {
  struct Case {
    int16_t format;
    const char* fmtType;
    const char* validate;
  };
  const Case cases[] = {{5, "Date/Time", "DATE"}, {6, "Date/Time", "USDATE"}, {7, "Date/Time", "EURODATE"}, {9, "None", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    Context().dateFormat = c.format;
    auto f = Load(Typed("born", 133));
    EXPECT_EQ(f->FldFmtType(), c.fmtType);
    EXPECT_EQ(f->FldValidate(), c.validate);
    EXPECT_EQ(f->FldDtFormat(), c.format == 9 ? 0 : c.format);
  }
  Context().dateFormat = 6;
  auto t = Load(Typed("alarm", 134));
  EXPECT_EQ(t->FldValidate(), "TIME");
  EXPECT_EQ(t->FldFmtType(), "None") << "times take no date format";
}

TEST_F(Defaults, UnsupportedType) {
  auto f = Load(Typed("raw", 128, 16));
  EXPECT_FALSE(f->FldSupport());
  EXPECT_FALSE(f->FldGenerate());
  EXPECT_FALSE(f->FldList());
  EXPECT_FALSE(f->FldEdit());
  EXPECT_FALSE(f->FldAdd());
  EXPECT_FALSE(f->FldView());
  EXPECT_FALSE(f->FldSearch());
  EXPECT_EQ(f->FldHtmlTag(), "TEXT");
  EXPECT_EQ(f->FldTagSize(), 30);
}

TEST_F(Defaults, BooleanTagsFollowDbms) {
  Context().dbmsName = "Orvel DB Driver";
  EXPECT_EQ(Load(Typed("b", 11))->FldTagValues(), "\"1\",\"Yes\"\r\n\"0\",\"No\"");
  Context().dbmsName = "ACCESS";
  EXPECT_EQ(Load(Typed("b", 11))->FldTagValues(), "\"Yes\",\"Yes\"\r\n\"No\",\"No\"");
  Context().dbmsName.clear();
}

TEST_F(Defaults, RequiredAndCaptionKept) {
  DriverField d = Typed("customerName", 200, 80);
  d.Required = true;
  auto f = MakeRef<ObPField>();
  f->FldCaption("Kept");
  LoadFieldFromDriver(*f, d);
  EXPECT_TRUE(f->FldRequired());
  EXPECT_EQ(f->FldCaption(), "Kept");
  EXPECT_EQ(f->FldTagMaxLength(), 80);
  EXPECT_EQ(Load(d)->FldCaption(), "customer Name");
}

TEST(MakeCaption, Rows) {
  const std::pair<const char*, const char*> rows[] = {
      {"customerName", "customer Name"}, {"order_id", "order id"}, {"CustomerID", "Customer ID"},
      {"field1", "field 1"},             {"order_Id", "order Id"}, {"a  b", "a b"},
      {"_lead", "lead"},                 {"ABC", "ABC"},           {"ärgerÄnde", "ärger Ände"},
      {"", ""},
  };
  for (auto [name, caption] : rows) EXPECT_EQ(MakeCaption(name), caption) << name;
}

TEST_F(Defaults, SearchOperators) {
  EXPECT_EQ(project->FldSrchOprs(11), "USER SELECT\r\n=\r\n<>");
  EXPECT_EQ(project->FldSrchOprs(200), "USER SELECT\r\n=\r\n<>\r\n<\r\n<=\r\n>\r\n>=\r\nLIKE\r\nNOT LIKE\r\nSTART WITH");
  EXPECT_EQ(project->FldSrchOprs(3), "USER SELECT\r\n=\r\n<>\r\n<\r\n<=\r\n>\r\n>=");
  EXPECT_EQ(project->FldSrchOprs(205), project->FldSrchOprs(133)) << "other classes share the ordering list";
}

TEST_F(Defaults, TableDefaultsByType) {
  struct Case {
    const char* type;
    bool pages;
    const char* search;
  };
  const Case cases[] = {{"TABLE", true, "BASIC"}, {"VIEW", false, "BASIC"}, {"CUSTOMVIEW", false, "BASIC"},
                        {"REPORT", false, "NONE"}};
  Context().secDefault = "Admin";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    ObPTable t;
    t.TblName("order items");
    t.TblType(c.type);
    LoadTableDefault(t);
    EXPECT_EQ(t.TblCaption(), "order items");
    EXPECT_EQ(t.TblVar(), "order_items");
    EXPECT_TRUE(t.TblList());
    EXPECT_EQ(t.TblAdd(), c.pages);
    EXPECT_EQ(t.TblCopy(), c.pages);
    EXPECT_EQ(t.TblDelete(), c.pages);
    EXPECT_EQ(t.TblSrchType(), c.search);
    EXPECT_EQ(t.TblSecurity(), "Admin");
    EXPECT_TRUE(t.TblOverwrite());
    EXPECT_TRUE(t.TblUseGlobal());
  }
  Context().secDefault.clear();
}

}  // namespace
